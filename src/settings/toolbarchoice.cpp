#include "settings/toolbarchoice.h"

#include "schemes/schemename.h"

#include "platform/prompts.h"
#include "platform/settingsfile.h"
#include "platform/statusline.h"
#include "schemes/toolbarchains.h"

namespace ToolbarChoice {

namespace {

// One name per flag, in flag order; a flag shared by several places
// (the special-tag button and list) is listed once.
QStringList namesOf(std::span<const ChainPlace> chain, int flagCount)
{
    QStringList names(flagCount);
    for (const ChainPlace &place : chain) {
        if (place.flag >= 0 && place.flag < flagCount && names[place.flag].isEmpty())
            names[place.flag] = QString::fromUtf8(place.listEntry);
    }
    return names;
}

// The stored flags of a chain's section; a missing flag counts as ticked.
QList<bool> readTicks(const char *section, int count)
{
    QList<bool> ticks;
    ticks.reserve(count);
    for (int i = 0; i < count; ++i)
        ticks.append(ToolbarChains::flagShown(section, i));
    return ticks;
}

// Writes "Button0" ... as "True" or "False".
bool storeTicks(const char *section, const QList<bool> &ticks, QString *error)
{
    for (int i = 0; i < ticks.size(); ++i) {
        if (!WriteSetting(QLatin1String(section), ToolbarChains::flagKey(i),
                          SettingValue::fromBool(ticks[i]), error))
            return false;
    }
    return true;
}

} // namespace

QStringList firstNames()
{
    return namesOf(ToolbarChains::first(), ToolbarChains::kFirstFlagCount);
}

QStringList secondNames()
{
    return namesOf(ToolbarChains::second(), ToolbarChains::kSecondFlagCount);
}

QList<bool> readFirstTicks()
{
    return readTicks(ToolbarChains::kFirstSection, ToolbarChains::kFirstFlagCount);
}

QList<bool> readSecondTicks()
{
    return readTicks(ToolbarChains::kSecondSection, ToolbarChains::kSecondFlagCount);
}

bool storeFirstTicks(const QList<bool> &ticks, QString *error)
{
    return storeTicks(ToolbarChains::kFirstSection, ticks, error);
}

bool storeSecondTicks(const QList<bool> &ticks, QString *error)
{
    return storeTicks(ToolbarChains::kSecondSection, ticks, error);
}

void NameCustomScheme(Prompts &prompts, StatusLine &status, std::optional<QPoint> position)
{
    Prompts::InputRequest request;
    request.prompt = QStringLiteral("\r\r\r\r给自定义方案一个名字：");
    request.title = QStringLiteral("方案名称");
    request.defaultText = SchemeName::stored();
    request.position = position;
    const std::optional<QString> answer = prompts.inputBox(request);
    const QString notSaved = QStringLiteral("方案未保存");
    if (!answer || answer->isEmpty()) {
        status.setText2(notSaved);
        return;
    }
    QString error;
    if (!WriteSetting(QStringLiteral("Scheme"), QStringLiteral("name"), SchemeName::cut(*answer),
                      &error)) {
        ReportSettingsWriteFailure(prompts, error);
        status.setText2(notSaved);
        return;
    }
    status.setText2(QStringLiteral("方案保存成功"));
}

} // namespace ToolbarChoice
