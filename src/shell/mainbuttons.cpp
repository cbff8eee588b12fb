#include "shell/mainbuttons.h"

#include "shell/toolstrip.h"

#include <QFontMetrics>
#include <QPushButton>

MainButtons MainButtons::create(QWidget *functionBar, QWidget *shortcutBar, QWidget *specialBar)
{
    MainButtons b;
    // The first toolbar: 320 twips high, at the places of its chain.
    b.func[0] = addStripButton(functionBar, "func(0)", QStringLiteral("新建"), 120, 735, 320);
    b.func[1] = addStripButton(functionBar, "func(1)", QStringLiteral("保存"), 840, 735, 320);
    b.stolen = addStripButton(functionBar, "stolen", QStringLiteral("偷窃"), 1560, 735, 320);
    b.ysjm[0] = addStripButton(functionBar, "ysjm(0)", QStringLiteral("压缩"), 3720, 735, 320);
    b.toolbutt[2] =
        addStripButton(functionBar, "toolbutt(2)", QStringLiteral("查找"), 5160, 735, 320);
    b.toolbutt[1] =
        addStripButton(functionBar, "toolbutt(1)", QStringLiteral("Huevane"), 6600, 1095, 320);
    b.toolbutt[0] =
        addStripButton(functionBar, "toolbutt(0)", QStringLiteral("Ascii键值"), 7680, 1095, 320);

    // The preview button opens the shortcut bar, in its own colours.
    b.shoot = addStripButton(shortcutBar, "shoot", QStringLiteral("运行HTML"), 120, 975, 300);
    QFont shootFont(QStringLiteral("宋体"));
    shootFont.setPointSizeF(10.5);
    // Where "宋体" stands in for a wider font, the caption still fits.
    const int room = b.shoot->width() - 8;
    while (shootFont.pointSizeF() > 7 &&
           QFontMetrics(shootFont).horizontalAdvance(b.shoot->text()) > room)
        shootFont.setPointSizeF(shootFont.pointSizeF() - 0.5);
    b.shoot->setFont(shootFont);
    QPalette palette = b.shoot->palette();
    palette.setColor(QPalette::Button, QColor(255, 192, 192));
    b.shoot->setPalette(palette);
    b.shoot->setAutoFillBackground(true);

    // The special bar.
    b.func[2] = addStripButton(specialBar, "func(2)", QStringLiteral("Html"), 120, 735, 300);
    b.ysjm[1] = addStripButton(specialBar, "ysjm(1)", QStringLiteral("加/解密"), 7200, 735, 300);
    b.aboutb = addStripButton(specialBar, "aboutb", QStringLiteral("关于"), 8880, 735, 300);
    return b;
}
