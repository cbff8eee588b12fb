#pragma once

#include "platform/htmlprescan.h"

#include <QString>
#include <QStringView>
#include <optional>

// The charset declaration in a page's own text (<meta charset=...>), as
// browsers find it, and how to make it name another encoding.
namespace CharsetDeclaration {

// Whether a page declaring `declared` and saved as `encoding` disagree: a
// browser would read it in another encoding. GBK and gb18030 agree (the one
// reads the other's pages), and a UTF-16 page's byte-order mark overrules
// any declaration.
bool disagrees(const QString &declared, const QString &encoding);

// The label written for an encoding: its name in lower case ("utf-8",
// "gbk", "shift_jis").
QString labelFor(const QString &encoding);

// The encoding named by an XML declaration at the start of the page
// (<?xml version="1.0" encoding="gb2312"?>, after blanks at most), for an
// encoding anyone knows.
std::optional<HtmlPrescan::Declaration> findXml(QStringView text);

} // namespace CharsetDeclaration
