#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// Finds the encoding a page declares for itself, the way browsers look for
// it before they parse: <meta charset="..."> or <meta http-equiv=
// "Content-Type" content="...; charset=...">, skipping comments, other tags
// and their attributes, and taking the first declaration whose label names a
// known encoding. Unlike a browser it does not stop after the first 1024
// bytes: a browser that meets a declaration later changes its mind, so the
// whole page is searched.
namespace HtmlPrescan {

struct Declaration {
    // The encoding's name ("GBK", "UTF-8", ...). A declared UTF-16 counts as
    // UTF-8 and x-user-defined as windows-1252, as browsers take them.
    QString encoding;
    // Where the label stands in what was searched, without surrounding blanks.
    qsizetype labelStart = -1;
    qsizetype labelLength = 0;
};

std::optional<Declaration> find(QByteArrayView bytes);
// The same on text, for finding the declaration in a page being edited.
std::optional<Declaration> find(QStringView text);

} // namespace HtmlPrescan
