#include "schemes/editorlook.h"

#include "platform/settingsfile.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace {

// Sizes beyond this are no use for an editing area.
constexpr double kLargestSize = 1638;

bool fontAvailable(const QString &name)
{
    if (name.isEmpty())
        return false;
    if (QFontDatabase::hasFamily(name))
        return true;
    for (const QString &substitute : QFont::substitutes(name)) {
        if (QFontDatabase::hasFamily(substitute))
            return true;
    }
    return false;
}

} // namespace

EditorLook EditorLook::fromSettings()
{
    const QString section = QStringLiteral("WorkTable");
    EditorLook look;
    look.fontName =
        ReadSetting(section, QStringLiteral("fontname"), QString::fromUtf8(kDefaultFont));
    if (!fontAvailable(look.fontName))
        look.fontName = QString::fromUtf8(kDefaultFont);

    const double size = SettingValue::toNumber(
        ReadSetting(section, QStringLiteral("fontsize"), QStringLiteral("9")), kDefaultSize);
    look.fontSize = (std::isfinite(size) && size > 0 && size <= kLargestSize) ? size : kDefaultSize;

    bool ok = false;
    const qlonglong color =
        ReadSetting(section, QStringLiteral("TableColor"), QStringLiteral("11315101"))
            .trimmed()
            .toLongLong(&ok);
    look.backColor = (ok && color >= 0 && color <= 0xFFFFFFFFLL) ? quint32(color) : kDefaultColor;
    return look;
}

QFont EditorLook::font() const
{
    QFont font(fontName);
    font.setPointSizeF(fontSize);
    font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    return font;
}

void installFontSubstitutions()
{
    const QStringList serif = {QStringLiteral("Noto Serif CJK SC"),
                               QStringLiteral("Noto Sans CJK SC"), QStringLiteral("AR PL UMing CN"),
                               QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList sans = {QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("WenQuanYi Zen Hei"),
                              QStringLiteral("Noto Serif CJK SC")};
    const QStringList kai = {QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC"),
                             QStringLiteral("Noto Sans CJK SC")};
    for (const char *name :
         {"宋体", "新宋体", "SimSun", "NSimSun", "仿宋", "仿宋_GB2312", "FangSong"})
        QFont::insertSubstitutions(QString::fromUtf8(name), serif);
    for (const char *name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "幼圆", "YouYuan"})
        QFont::insertSubstitutions(QString::fromUtf8(name), sans);
    for (const char *name : {"楷体", "楷体_GB2312", "KaiTi"})
        QFont::insertSubstitutions(QString::fromUtf8(name), kai);
}
