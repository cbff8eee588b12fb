#pragma once

#include <QByteArray>
#include <QString>

// A large GBK page for the benchmarks: about 125,000 lines of markup and text,
// a quarter of the characters Chinese, close to the size asked for. The same
// seed gives the same page.
QString makeBigPageText(qsizetype targetBytes = 10 * 1000 * 1000);

// The same markup and text as one single line, as minified and generated
// pages come.
QString makeOneLinePageText(qsizetype targetBytes);

// The page as it is stored (GBK, CR LF).
QByteArray makeBigPageBytes(qsizetype targetBytes = 10 * 1000 * 1000);

// Resident memory of this process in bytes.
qint64 residentBytes();
