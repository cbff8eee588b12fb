#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The names browsers give encodings, and the labels pages use for them
// ("gb2312", "x-gbk" and "chinese" all name GBK; "latin1" names
// windows-1252).
namespace EncodingLabels {

// The encoding's name for a label, compared without regard to ASCII case and
// with surrounding ASCII white space ignored; "" for a label nobody knows.
// Some labels name "replacement", which stands for no usable encoding.
QString nameForLabel(QStringView label);

// Every encoding's name, in the order browsers list them.
QStringList names();

// An encoding's name as the user sees it, all in one style: "GB18030",
// "GBK", "UTF-8", "Big5", "Windows-1252".
QString displayName(const QString &name);

// The white space of labels and of the markup around them: tab, line feed,
// form feed, carriage return and space.
inline bool isAsciiWhitespace(char16_t c)
{
    return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

} // namespace EncodingLabels
