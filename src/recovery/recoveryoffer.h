#pragma once

#include "recovery/journalfile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class DocumentSession;
class Prompts;
class RichText;
class WindowLock;

// At start-up: the journals that windows no longer running left behind are
// offered back in one list, each with the page's name and folder ("未命名"
// for an unnamed page), the time of its last journalled edit and its size.
// 恢复 takes the selected page into this window (the first one) or into a
// new window (any further one), 丢弃 deletes its journal, 以后再说 leaves
// the rest for the next start. A journal that cannot be read is set aside.
namespace RecoveryOffer {

struct Outcome {
    // The page to recover into this window; its journal is the window's own
    // from now on.
    std::optional<JournalFile::Entry> entry;
    // Journals that could not be read, where they were set aside.
    QStringList setAside;
};

// openElsewhere starts another window on a journal.
Outcome run(Prompts &prompts, WindowLock &lock,
            const std::function<void(const QString &journal)> &openElsewhere);

// The row the list shows for a journal.
QStringList rowOf(const JournalFile::Entry &entry);

// Puts a recovered page in the editing area as a modified page with its
// path and form; nothing is written to the page itself. True when the file
// on disk changed after the journal's note of it (the caller says so).
bool apply(const JournalFile::Entry &entry, RichText &richText, DocumentSession &session);

} // namespace RecoveryOffer
