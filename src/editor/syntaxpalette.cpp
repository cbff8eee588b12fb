#include "editor/syntaxpalette.h"

#include <cmath>

namespace {

constexpr double kReadable = 4.5;

// The colour each kind has on white.
constexpr QRgb kHues[HtmlScanner::KindCount] = {
    0,        // plain text keeps the text colour
    0x0000CC, // tags: blue
    0xB0181B, // attribute names: red
    0x8B008B, // values: purple
    0x007A00, // comments: green
    0x6B6B6B, // declarations: grey
    0xB35900, // entities: brown
    0x8B008B, // strings: purple, as values
    0xB35900, // numbers: brown, as entities
    0x006F80, // keywords: teal
};

double luminance(const QColor &color)
{
    const auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

QColor mixed(const QColor &from, const QColor &to, double amount)
{
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * amount),
                            float(from.greenF() + (to.greenF() - from.greenF()) * amount),
                            float(from.blueF() + (to.blueF() - from.blueF()) * amount));
}

// The hue moved towards black or white just far enough to be readable.
QColor readableOn(const QColor &hue, const QColor &background)
{
    if (SyntaxPalette::contrast(hue, background) >= kReadable)
        return hue;
    const QColor target = SyntaxPalette::contrast(Qt::black, background) >=
                                  SyntaxPalette::contrast(Qt::white, background)
                              ? QColor(Qt::black)
                              : QColor(Qt::white);
    double low = 0;
    double high = 1;
    for (int step = 0; step < 16; ++step) {
        const double middle = (low + high) / 2;
        if (SyntaxPalette::contrast(mixed(hue, target, middle), background) >= kReadable)
            high = middle;
        else
            low = middle;
    }
    return mixed(hue, target, high);
}

} // namespace

SyntaxPalette::SyntaxPalette(const QColor &background)
    : m_background(background)
{
    for (int kind = HtmlScanner::Tag; kind < HtmlScanner::KindCount; ++kind)
        m_formats[size_t(kind)].setForeground(readableOn(QColor(kHues[kind]), background));
}

QColor SyntaxPalette::color(HtmlScanner::Kind kind) const
{
    return m_formats[kind].foreground().color();
}

double SyntaxPalette::contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}
