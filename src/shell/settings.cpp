#include "shell/settings.h"

#include "platform/places.h"
#include "platform/profilefile.h"

QString SettingsPath()
{
    return Places::settingsFile();
}

QString ReadSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    QString value = ProfileFile::read(SettingsPath(), section, key, defaultValue, 256);
    value.remove(QChar(u'\0'));
    return value;
}

int WriteSetting(const QString &section, const QString &key, const QString &value)
{
    return ProfileFile::write(SettingsPath(), section, key, value) ? 1 : 0;
}

namespace SettingValue {

bool toBool(const QString &text, bool fallback)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (ok)
        return number != 0;
    return fallback;
}

double toNumber(const QString &text, double fallback)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return ok ? number : fallback;
}

QString fromNumber(double value)
{
    // Single precision, as the window rectangle has always been stored.
    return QString::number(static_cast<float>(value), 'g', 7);
}

} // namespace SettingValue
