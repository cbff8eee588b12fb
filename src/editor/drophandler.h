#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class FileCommands;
class Prompts;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class RichText;
class StatusLine;

// Drops on the editing area: the first of a list of files is opened as the
// document, plain text goes in at the caret (with Alt held also into a web
// search), anything else is refused with a message.
class DropHandler {
public:
    using OpenUrl = std::function<void(const QUrl &)>;

    DropHandler(RichText &richText, FileCommands &fileCommands, StatusLine &status,
                Prompts &prompts, OpenUrl openUrl);

    // A source that offers exactly move and link together is refused.
    void RichText_OLEDragOver(QDragMoveEvent *event);
    void RichText_OLEDragDrop(QDropEvent *event);

    // The drop itself: returns whether it was taken.
    bool drop(const QMimeData *data, Qt::KeyboardModifiers modifiers);

    // The search address for dropped words: the stored prefix followed by
    // the words as they are.
    static QString searchAddress(const QString &words);

private:
    // The drop is refused; why, when given, follows on the status line.
    void refuse(const QString &why = QString());

    RichText &m_richText;
    FileCommands &m_fileCommands;
    StatusLine &m_status;
    Prompts &m_prompts;
    OpenUrl m_openUrl;
};
