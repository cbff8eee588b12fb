#include "platform/settingsfile.h"

#include "platform/places.h"
#include "platform/profilefile.h"
#include "platform/prompts.h"

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

int WriteSetting(const QString &section, const QString &key, const QString &value, QString *error)
{
    return ProfileFile::write(SettingsPath(), section, key, value, error) ? 1 : 0;
}

void ReportSettingsWriteFailure(Prompts &prompts, const QString &reason)
{
    prompts.messageBox(QStringLiteral("设置保存失败：") + SettingsPath() + QStringLiteral("\r\n") +
                           reason,
                       Prompts::Exclamation, QStringLiteral("错误"));
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
