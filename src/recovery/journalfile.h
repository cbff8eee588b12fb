#pragma once

#include "document/pageformat.h"
#include "platform/fileidentity.h"
#include "platform/safefile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// One window's unsaved text as a journal file: the page's path (none for an
// unnamed page), its form, the caret, the time of the last edit, the page on
// disk as the window last read or wrote it, and the text as the page's file
// holds it (each line's own break; journals written before kept CR LF). The text is kept
// as UTF-16, so that every character the editing area can hold (the lone
// surrogates that stand for bytes of no character among them) comes back.
// A checksum over the whole tells a damaged or foreign file.
namespace JournalFile {

struct Entry {
    QString pagePath;
    PageFormat format;
    qsizetype caret = 0;
    QDateTime time;
    FileIdentity::Note pageNote;
    QString text;
};

QByteArray encode(const Entry &entry);
// Nothing for bytes that are not a whole journal.
std::optional<Entry> decode(const QByteArray &bytes);

// Replaces the file at path by bytes so that it is never torn: a temporary
// file beside it (for the user alone), synced, then renamed over it.
SafeFile::Result write(const QString &path, const QByteArray &bytes);

std::optional<Entry> read(const QString &path);

} // namespace JournalFile
