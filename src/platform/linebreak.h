#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

// The kinds of line break a page's file may hold, line by line.
enum class LineBreak : unsigned char { CrLf, Lf, Cr };

namespace LineBreaks {

constexpr int kKinds = 3;

QStringView text(LineBreak kind);
// "CRLF", "LF", "CR".
QString name(LineBreak kind);

// A line break of text whose kind is not the page's main one: the number of
// the line it ends (0 for the first) and its kind.
struct Odd {
    qsizetype line = 0;
    LineBreak kind = LineBreak::CrLf;
    bool operator==(const Odd &) const = default;
};

// Text as it was read, its line breaks of every kind turned into LF in
// place, and what the breaks were: the most common kind (CR LF where kinds
// tie or there is none) and every break of another kind. CR LF is one
// break, any other CR a break of its own.
struct Split {
    QString text;
    LineBreak main = LineBreak::CrLf;
    std::vector<Odd> odd;
    qsizetype breaks = 0;

    // Takes the line break at the very end off the text: its kind, or
    // nothing when the text does not end with one.
    std::optional<LineBreak> takeFinalBreak();
};
Split split(QString text);
// The inverse of split: the text with each LF turned back into its break's
// own kind.
QString joined(const Split &split);

} // namespace LineBreaks
