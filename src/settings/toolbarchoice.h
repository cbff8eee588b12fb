#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class Prompts;
class StatusLine;

// The custom scheme's buttons as the settings dialog lists them: one entry
// per flag of each toolbar chain, ticked when the flag is "True".
namespace ToolbarChoice {

// "新建" ... "Ascii键值" (11 entries) and "运行HTML" ... "特殊标签" (19).
QStringList firstNames();
QStringList secondNames();

// The stored flags of each chain, "Button0" ...; a missing flag counts as
// ticked. The store functions write them as "True" or "False" and stop at
// the first write that fails, returning false with its reason in error.
QList<bool> readFirstTicks();
QList<bool> readSecondTicks();
bool storeFirstTicks(const QList<bool> &ticks, QString *error = nullptr);
bool storeSecondTicks(const QList<bool> &ticks, QString *error = nullptr);

// Asks for the custom scheme's name with the input box at position (screen
// pixels) and stores its first four characters; an empty answer or a
// cancelled box stores nothing. Reports on the status line's message text;
// a name that cannot be stored is reported in a message box as well.
void NameCustomScheme(Prompts &prompts, StatusLine &status, std::optional<QPoint> position);

} // namespace ToolbarChoice
