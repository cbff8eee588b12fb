#pragma once

#include "editor/htmlscanner.h"

#include <QColor>
#include <QTextCharFormat>
#include <array>

// The colours of the kinds of HTML source, chosen for the background they
// are shown on: each hue is darkened (on a light background) or lightened
// (on a dark one) until it stands out from the background at least as much
// as readable text must (a contrast ratio of 4.5). Only the text colour
// changes, never the font, so coloured lines keep their width.
class SyntaxPalette {
public:
    explicit SyntaxPalette(const QColor &background = Qt::white);

    const QColor &background() const { return m_background; }
    QColor color(HtmlScanner::Kind kind) const;
    // The format for the kind; plain text has none.
    const QTextCharFormat &format(HtmlScanner::Kind kind) const { return m_formats[kind]; }

    // The contrast ratio of two colours, 1 to 21.
    static double contrast(const QColor &a, const QColor &b);

private:
    QColor m_background;
    std::array<QTextCharFormat, HtmlScanner::KindCount> m_formats;
};
