#pragma once

#include "schemes/editorlook.h"
#include "settings/setfavhooks.h"

#include <QList>
#include <QString>

class Prompts;
class StatusLine;

// Everything the settings dialog stores, as its fields show it.
struct SetFavFields {
    QString timePath;     // the autosave folder, as typed
    bool timeFlag = true; // autosave every five minutes
    int saveMessage = 0;  // the check value of "保存成功提示": 0, 1 (or 2, grey)
    QString fontName;
    QString fontSize;
    quint32 tableColor = 0;
    quint32 tagColor = 0;
    quint32 otherColor = 0;
    QList<bool> firstTicks;
    QList<bool> secondTicks;
};

// What the save page shows when it is loaded.
struct SavePageSettings {
    QString timePath;
    int saveMessage = 0;
    bool timeFlag = true;
};

namespace SetFavStore {

inline constexpr quint32 kDefaultTableColor = EditorLook::kDefaultColor;

SavePageSettings readSavePage();
// The stored autosave folder (Places::autosaveFolder() when none).
QString storedTimePath();
QString storedFontName();
QString storedFontSize();
quint32 storedTableColor();

// Whether "保存成功提示" is ticked when the dialog is loaded.
bool storedSaveMessageTicked();

// Whether folder names a folder that exists. invalid is set when the text
// cannot be a path at all (empty, or holding a NUL).
bool folderExists(const QString &folder, bool *invalid = nullptr);

// Whether the editing area can take size: a number from 1 to 1638.
bool fontSizeUsable(const QString &size);

enum class ApplyResult {
    Applied,     // all stored and applied: the dialog closes
    FolderError, // the folder text is no path: the dialog stays open
    Failed,      // a later step failed: the dialog closes, earlier steps stay done
};

// Stores the fields and applies them through the hooks, reporting on the
// status line and in message boxes.
ApplyResult Apply(const SetFavFields &fields, const SetFavHooks &hooks, Prompts &prompts,
                  StatusLine &status);

} // namespace SetFavStore
