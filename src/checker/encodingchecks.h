#pragma once

#include "checker/problem.h"

#include <QString>
#include <QStringView>
#include <vector>

// The page's encoding declaration against the encoding it is in: a
// declaration (<meta charset>, the http-equiv pragma, <?xml encoding>) that
// names another encoding, a page holding non-ASCII text that declares none,
// and a declaration beyond the first 1024 bytes, where browsers do not look.
namespace EncodingChecks {

// head is the start of the page (line breaks as "\n"); nonAscii whether the
// whole page holds a character beyond ASCII; encoding the page's own.
void check(QStringView head, bool nonAscii, const QString &encoding,
           std::vector<Checker::Problem> &out);

} // namespace EncodingChecks
