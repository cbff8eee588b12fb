#pragma once

#include <QStringList>
#include <optional>

// Where the caret goes in the page opened at start-up: a 1-based line and
// column, counted as the status line counts them.
struct StartPlace {
    int line = 1;
    qint64 column = 1;
};

// "--goto LINE[:COLUMN]" at the start of the command line, followed by the
// page: takes the option and its value off arguments and gives the place.
// Nothing, and arguments as they were, for any other command line, a value
// that names no place included (the whole line then names a page).
std::optional<StartPlace> TakeStartPlace(QStringList &arguments);
