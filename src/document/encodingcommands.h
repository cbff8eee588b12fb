#pragma once

#include "platform/linebreak.h"

#include <QString>
#include <QStringList>

class DocumentSession;
class FileCommands;
class Prompts;
class RichText;

// Reading the page again in an encoding the user names, and saving it in
// another encoding.
class EncodingCommands {
public:
    EncodingCommands(RichText &richText, DocumentSession &session, FileCommands &fileCommands,
                     Prompts &prompts);

    // The encodings offered, the common ones first; then the others.
    static QStringList commonEncodings();
    static QStringList otherEncodings();

    // Reads the document's file again as encoding; a changed page is lost
    // by that, so the user is asked first.
    void ReopenWithEncoding(const QString &encoding);
    // Saves the page as encoding (UTF-16 always with its byte-order mark,
    // UTF-8 with one when asked).
    void SaveWithEncoding(const QString &encoding, bool byteOrderMark = false);
    // Makes every line break of the page of one kind.
    void UnifyLineBreaks(LineBreak to);

private:
    // Says so when the system has no converter for the encoding.
    bool isUsable(const QString &encoding);

    RichText &m_richText;
    DocumentSession &m_session;
    FileCommands &m_fileCommands;
    Prompts &m_prompts;
};
