#pragma once

#include "platform/safefile.h"

#include <QString>

// Pages on disk: ANSI text without byte-order mark. A saved page is the
// document's text followed by one CR LF; reading drops one line break at the
// very end again, so that opening and saving an unchanged page keeps it
// byte for byte.
namespace PageFile {

struct ReadResult {
    bool ok = false;
    QString text;  // the page as the editing area takes it
    QString error; // the reason, in words for the user, when ok is false
};

ReadResult read(const QString &path);

SafeFile::Result write(const QString &path, const QString &text);

} // namespace PageFile
