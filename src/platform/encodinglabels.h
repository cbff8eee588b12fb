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

} // namespace EncodingLabels
