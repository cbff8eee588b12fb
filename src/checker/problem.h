#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QString>

// A problem the checker found in a page. Lines and columns are 0-based and
// count UTF-16 code units within the line, as the status line counts them
// (which adds 1 to both).
namespace Checker {

enum class Severity : quint8 { Error, Warning };

struct TextPos {
    int line = 0;
    qsizetype column = 0;
    friend bool operator==(const TextPos &, const TextPos &) = default;
    friend auto operator<=>(const TextPos &, const TextPos &) = default;
};

// One replacement of a fix: length characters at pos become text.
struct FixEdit {
    TextPos pos;
    qsizetype length = 0;
    QString text;
};

struct Problem {
    TextPos pos;
    qsizetype length = 1; // characters underlined, within the line
    Severity severity = Severity::Error;
    QLatin1StringView code; // stable, the standard's name where it has one
    QString message;        // for the user, naming the character or tag
    QList<FixEdit> fix;     // empty when there is no fix
};

// "错误" or "警告".
QString severityText(Severity severity);

} // namespace Checker
