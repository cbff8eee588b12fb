#pragma once

#include <QString>

class Prompts;

// The settings file "zelmohtml.ini", where Places::settingsFile() puts it.
// Every reader and writer of a setting goes through these two calls; the file
// is opened afresh each time, so a value written anywhere is seen by the next
// read.

// Full path of the settings file, rebuilt on every call.
QString SettingsPath();

// The stored value (at most 255 bytes of it), or defaultValue when the file,
// the section or the key is missing.
QString ReadSetting(const QString &section, const QString &key, const QString &defaultValue);

// Stores the value; returns non-zero on success, else 0 with the reason in
// error (when given). Nothing is reported to the user here.
int WriteSetting(const QString &section, const QString &key, const QString &value,
                 QString *error = nullptr);

// Tells the user that a setting could not be stored: the settings file and
// the reason WriteSetting gave.
void ReportSettingsWriteFailure(Prompts &prompts, const QString &reason);

// Conversions the readers apply to stored text.
namespace SettingValue {
// "True"/"False" in any letter case, or a decimal number (0 false, else true).
// Returns fallback for anything else.
bool toBool(const QString &text, bool fallback);
// A decimal number; fallback when the text is not one.
double toNumber(const QString &text, double fallback);
// Text of a number the way it is stored.
QString fromNumber(double value);
inline QString fromBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
} // namespace SettingValue
