#include "settings/setfavapply.h"

#include "platform/caption.h"
#include "platform/places.h"
#include "platform/prompts.h"
#include "platform/settingsfile.h"
#include "platform/statusline.h"
#include "settings/toolbarchoice.h"

#include <QFileInfo>
#include <cmath>
#include <exception>

namespace SetFavStore {

namespace {

const QString kSave = QStringLiteral("save");
const QString kWorkTable = QStringLiteral("WorkTable");

QString colorText(quint32 color)
{
    return QString::number(color);
}

// A setting that could not be stored: Apply stops there.
struct WriteFailed {
    QString reason;
};

void store(const QString &section, const QString &key, const QString &value)
{
    QString error;
    if (!WriteSetting(section, key, value, &error))
        throw WriteFailed{error};
}

void storeTicks(bool (*storeChain)(const QList<bool> &, QString *), const QList<bool> &ticks)
{
    QString error;
    if (!storeChain(ticks, &error))
        throw WriteFailed{error};
}

// The check value a stored number stands for: 0, 1 or 2 (grey).
int checkValue(const QString &text)
{
    const double number = SettingValue::toNumber(text, 0);
    const long long value = std::llround(number);
    return value >= 0 && value <= 2 ? int(value) : 0;
}

} // namespace

QString storedTimePath()
{
    return ReadSetting(kSave, QStringLiteral("timepath"), Places::autosaveFolder());
}

SavePageSettings readSavePage()
{
    SavePageSettings page;
    page.timePath = storedTimePath();
    page.saveMessage =
        checkValue(ReadSetting(kSave, QStringLiteral("saveflagd"), QStringLiteral("0")));
    page.timeFlag = SettingValue::toBool(
        ReadSetting(kSave, QStringLiteral("timeflag"), QStringLiteral("True")), true);
    return page;
}

QString storedFontName()
{
    return ReadSetting(kWorkTable, QStringLiteral("fontname"), QStringLiteral("宋体"));
}

QString storedFontSize()
{
    return ReadSetting(kWorkTable, QStringLiteral("fontsize"), QStringLiteral("9"));
}

quint32 storedTableColor()
{
    const double value = SettingValue::toNumber(
        ReadSetting(kWorkTable, QStringLiteral("TableColor"), colorText(kDefaultTableColor)),
        kDefaultTableColor);
    if (!(value >= 0 && value <= 4294967295.0))
        return kDefaultTableColor;
    return quint32(std::llround(value));
}

bool storedSaveMessageTicked()
{
    return readSavePage().saveMessage == 1;
}

bool folderExists(const QString &folder, bool *invalid)
{
    const bool bad = folder.isEmpty() || folder.contains(QChar(u'\0'));
    if (invalid)
        *invalid = bad;
    return !bad && QFileInfo(AddBackslash(folder)).isDir();
}

bool fontSizeUsable(const QString &size)
{
    bool ok = false;
    const double value = size.trimmed().toDouble(&ok);
    return ok && value >= 1 && value <= 1638;
}

ApplyResult Apply(const SetFavFields &fields, const SetFavHooks &hooks, Prompts &prompts,
                  StatusLine &status)
{
    const auto failed = [&status] {
        status.setText2(QStringLiteral("设置错误，改动不生效"));
        return ApplyResult::Failed;
    };
    // A size the editing area cannot take is refused before anything is
    // stored, so that the next start does not meet it either.
    if (!fontSizeUsable(fields.fontSize))
        return failed();

    try {
        bool invalid = false;
        if (folderExists(fields.timePath, &invalid)) {
            store(kSave, QStringLiteral("timepath"), fields.timePath);
        } else if (invalid) {
            const QString message = QStringLiteral("自动保存文件夹设置错误！");
            status.setText2(message);
            prompts.messageBox(message, Prompts::OkOnly, QStringLiteral("发生了一个错误"));
            return ApplyResult::FolderError;
        } else {
            prompts.messageBox(QStringLiteral("保存路径设置不正确,仍然使用") +
                                   QStringLiteral("\r\n") + storedTimePath(),
                               Prompts::OkOnly, ProductName());
        }

        if (hooks.setAutosaveEnabled)
            hooks.setAutosaveEnabled(fields.timeFlag);

        store(kSave, QStringLiteral("timeflag"), SettingValue::fromBool(fields.timeFlag));
        store(kSave, QStringLiteral("saveflagd"), QString::number(fields.saveMessage));

        store(kWorkTable, QStringLiteral("fontname"), fields.fontName);
        store(kWorkTable, QStringLiteral("fontsize"), fields.fontSize);
        store(kWorkTable, QStringLiteral("TableColor"), colorText(fields.tableColor));
        store(kWorkTable, QStringLiteral("tagColor"), colorText(fields.tagColor));
        store(kWorkTable, QStringLiteral("otherColor"), colorText(fields.otherColor));

        storeTicks(&ToolbarChoice::storeFirstTicks, fields.firstTicks);
        storeTicks(&ToolbarChoice::storeSecondTicks, fields.secondTicks);

        if (hooks.runActiveScheme)
            hooks.runActiveScheme();
    } catch (const WriteFailed &failure) {
        ReportSettingsWriteFailure(prompts, failure.reason);
        return failed();
    } catch (const std::exception &) {
        return failed();
    }

    status.setText2(QStringLiteral("设置正确，改动生效"));
    return ApplyResult::Applied;
}

} // namespace SetFavStore
