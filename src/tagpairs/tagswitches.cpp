#include "tagpairs/tagswitches.h"

#include "platform/settingsfile.h"

namespace TagSwitches {

namespace {

const QString kSection = QStringLiteral("WorkTable");

bool read(const char *key, bool fallback)
{
    return SettingValue::toBool(
        ReadSetting(kSection, QLatin1String(key), SettingValue::fromBool(fallback)), fallback);
}

void store(const char *key, bool on)
{
    WriteSetting(kSection, QLatin1String(key), SettingValue::fromBool(on));
}

} // namespace

bool syncRename()
{
    return read("SyncTagRename", true);
}

void storeSyncRename(bool on)
{
    store("SyncTagRename", on);
}

bool autoClose()
{
    return read("AutoCloseTags", false);
}

void storeAutoClose(bool on)
{
    store("AutoCloseTags", on);
}

bool lineNumbers()
{
    return read("LineNumbers", false);
}

void storeLineNumbers(bool on)
{
    store("LineNumbers", on);
}

} // namespace TagSwitches
