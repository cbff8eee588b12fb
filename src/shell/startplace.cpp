#include "shell/startplace.h"

std::optional<StartPlace> TakeStartPlace(QStringList &arguments)
{
    if (arguments.size() < 3 || arguments.first() != QLatin1String("--goto"))
        return std::nullopt;
    const QStringList parts = arguments.at(1).split(u':');
    if (parts.size() > 2)
        return std::nullopt;
    StartPlace place;
    bool lineOk = false;
    bool columnOk = true;
    place.line = parts.first().toInt(&lineOk);
    if (parts.size() == 2)
        place.column = parts.last().toLongLong(&columnOk);
    if (!lineOk || !columnOk || place.line < 1 || place.column < 1)
        return std::nullopt;
    arguments.remove(0, 2);
    return place;
}
