#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Every question the program puts to the user goes through this interface:
// message boxes, input boxes and the file and colour dialogs. The program uses
// QtPrompts; tests script the answers.
class Prompts {
public:
    // Message box styles and answers, with the values the program has always
    // used for them.
    enum Style {
        OkOnly = 0,
        YesNoCancel = 3,
        YesNo = 4,
        Exclamation = 48,
        Information = 64,
    };
    enum Answer {
        AnswerOk = 1,
        AnswerCancel = 2,
        AnswerYes = 6,
        AnswerNo = 7,
    };

    // The file dialog's OPENFILENAME-style flags that the program uses.
    enum FileFlag {
        OverwritePrompt = 2,
        HideReadOnly = 4,
        PathMustExist = 2048,
        FileMustExist = 4096,
    };

    struct FileRequest {
        QString title;    // dialog title
        QString filter;   // "description|pattern|description|pattern|..."
        int flags = 0;    // FileFlag values added together
        QString initDir;  // "" for the platform's choice
        QString fileName; // suggested name; may be a pattern such as "*.htm"
    };

    struct InputRequest {
        QString prompt;
        QString title;
        QString defaultText;
        std::optional<QPoint> position; // top-left corner in screen pixels
    };

    // A question with buttons of its own, optionally over a list of rows to
    // choose from (one column each of columns).
    struct ChoiceRequest {
        QString title;
        QString text;
        int style = 0;       // the icon, as for messageBox
        QStringList buttons; // left to right
        int defaultButton = 0;
        QStringList columns; // the list's column headers; none for no list
        QList<QStringList> rows;
    };
    struct Choice {
        int button = -1; // index into buttons; -1 when closed without one
        int row = -1;    // the row selected, -1 when none (or no list)
    };

    virtual ~Prompts() = default;

    // Shows text with the buttons and icon of style (0, 48, 52, 64, ...)
    // and returns the answer (AnswerOk, AnswerCancel, AnswerYes, AnswerNo).
    virtual int messageBox(const QString &text, int style, const QString &title) = 0;

    // The text entered, or nothing when the box was cancelled.
    virtual std::optional<QString> inputBox(const InputRequest &request) = 0;

    // The full path chosen, or nothing when the dialog was cancelled.
    virtual std::optional<QString> openFileName(const FileRequest &request) = 0;
    virtual std::optional<QString> saveFileName(const FileRequest &request) = 0;

    // A colour as a Windows colour value 0x00BBGGRR, or nothing when cancelled.
    virtual std::optional<quint32> chooseColor(quint32 initial) = 0;

    virtual Choice choose(const ChoiceRequest &request) = 0;
};

// The real dialogs, owned by the window given (may be null).
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget *owner = nullptr);

    void setOwner(QWidget *owner) { m_owner = owner; }

    int messageBox(const QString &text, int style, const QString &title) override;
    std::optional<QString> inputBox(const InputRequest &request) override;
    std::optional<QString> openFileName(const FileRequest &request) override;
    std::optional<QString> saveFileName(const FileRequest &request) override;
    std::optional<quint32> chooseColor(quint32 initial) override;
    Choice choose(const ChoiceRequest &request) override;

private:
    QWidget *m_owner;
};
