#include "schemes/toolbarchains.h"

#include "platform/settingsfile.h"

namespace ToolbarChains {

namespace {

constexpr ChainPlace kFirst[] = {
    {"func(0)", 735, 0, "新建"},
    {"func(1)", 735, 1, "保存"},
    {"stolen", 735, 2, "偷窃"},
    {"noselect(0)", 735, 3, "大写"},
    {"noselect(1)", 735, 4, "小写"},
    {"ysjm(0)", 735, 5, "压缩"},
    {"noselbutton(8)", 735, 6, "时间"},
    {"toolbutt(2)", 735, 7, "查找"},
    {"selbutton(10)", 735, 8, "删除"},
    {"toolbutt(1)", 1095, 9, "Huevane"},
    {"toolbutt(0)", 1095, 10, "Ascii键值"},
};

constexpr ChainPlace kSecond[] = {
    {"shoot", 975, 0, "运行HTML"},       {"selbutton(0)", 375, 1, "链接"},
    {"selbutton(1)", 375, 2, "字体"},    {"selbutton(2)", 375, 3, "粗体"},
    {"selbutton(3)", 375, 4, "斜体"},    {"selbutton(4)", 375, 5, "下划线"},
    {"selbutton(5)", 375, 6, "删除线"},  {"selbutton(6)", 375, 7, "弱"},
    {"selbutton(7)", 375, 8, "强"},      {"selbutton(8)", 375, 9, "预格式"},
    {"selbutton(9)", 375, 10, "置中"},   {"noselbutton(7)", 375, 11, "注释"},
    {"noselbutton(0)", 495, 12, "换行"}, {"noselbutton(1)", 375, 13, "段落"},
    {"noselbutton(2)", 375, 14, "横线"}, {"noselbutton(3)", 495, 15, "图象"},
    {"noselbutton(4)", 615, 16, "表格"}, {"noselbutton(5)", 855, 17, "跑马灯"},
    {"insert1", 735, 18, "特殊标签"},    {"Combo1", 1455, 18, "特殊标签"},
};

} // namespace

std::span<const ChainPlace> first()
{
    return kFirst;
}
std::span<const ChainPlace> second()
{
    return kSecond;
}

QString flagKey(int flag)
{
    return QStringLiteral("Button") + QString::number(flag);
}

bool flagShown(const char *section, int flag)
{
    return SettingValue::toBool(
        ReadSetting(QLatin1String(section), flagKey(flag), QStringLiteral("True")), true);
}

} // namespace ToolbarChains
