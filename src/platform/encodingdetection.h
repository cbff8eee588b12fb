#pragma once

#include <QByteArrayView>
#include <QString>

// Which encoding a page's bytes are in, decided in this order: a byte-order
// mark; bytes that are valid UTF-8 and hold at least one non-ASCII character
// (a page moved to UTF-8 often keeps its old charset declaration); the
// page's own declaration; otherwise GBK.
namespace EncodingDetection {

struct Result {
    QString encoding;  // the encoding's name, as TextCodec::forName takes it
    int bomLength = 0; // bytes of the byte-order mark at the start
    // The encoding the page declares, when it declares one that the bytes
    // overrule (valid UTF-8 under a "gb2312" declaration, say); else "".
    QString overruledDeclaration;
};

Result detect(QByteArrayView bytes);

// The byte-order mark bytes start with, for the encoding given: its length,
// or 0 when they do not start with it.
int byteOrderMarkLength(QByteArrayView bytes, const QString &encoding);

} // namespace EncodingDetection
