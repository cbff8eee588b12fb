#pragma once

#include <QString>

class Prompts;

// The open and save file dialogs as the document commands use them: set the
// properties, call ShowOpen or ShowSave, and read FileName and FileTitle
// after a confirmed dialog.
class OpenSaveDlg {
public:
    explicit OpenSaveDlg(Prompts &prompts);

    QString Filter;      // "description|pattern|...", a trailing "|" allowed
    int Flags = 0;       // Prompts::FileFlag values
    QString InitDir;     // "" for the platform's choice
    QString DialogTitle; // "" for "打开" or "保存"; reset after every dialog
    QString FileName;    // the suggested name before, the full path after
    QString FileTitle;   // the chosen file's name without folder

    bool ShowOpen();
    bool ShowSave();

private:
    bool show(bool save);

    Prompts &m_prompts;
};
