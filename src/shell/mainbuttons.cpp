#include "shell/mainbuttons.h"

#include "platform/twips.h"

#include <QFontMetrics>
#include <QPushButton>

namespace {

QPushButton *makeButton(QWidget *strip, const QString &name, const QString &caption, int left,
                        int width, int height)
{
    auto *button = new QPushButton(caption, strip);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    // The editing area keeps the keyboard while buttons are clicked.
    button->setFocusPolicy(Qt::TabFocus);
    button->setGeometry(Twips::toPixels(left), 0, Twips::toPixels(width), Twips::toPixels(height));
    return button;
}

} // namespace

MainButtons MainButtons::create(QWidget *functionBar, QWidget *shortcutBar, QWidget *specialBar)
{
    MainButtons b;
    // The first toolbar: 320 twips high, at the places of its chain.
    b.func[0] = makeButton(functionBar, "func(0)", QStringLiteral("新建"), 120, 735, 320);
    b.func[1] = makeButton(functionBar, "func(1)", QStringLiteral("保存"), 840, 735, 320);
    b.stolen = makeButton(functionBar, "stolen", QStringLiteral("偷窃"), 1560, 735, 320);
    b.ysjm[0] = makeButton(functionBar, "ysjm(0)", QStringLiteral("压缩"), 3720, 735, 320);
    b.toolbutt[2] = makeButton(functionBar, "toolbutt(2)", QStringLiteral("查找"), 5160, 735, 320);
    b.toolbutt[1] =
        makeButton(functionBar, "toolbutt(1)", QStringLiteral("Huevane"), 6600, 1095, 320);
    b.toolbutt[0] =
        makeButton(functionBar, "toolbutt(0)", QStringLiteral("Ascii键值"), 7680, 1095, 320);

    // The preview button opens the shortcut bar, in its own colours.
    b.shoot = makeButton(shortcutBar, "shoot", QStringLiteral("运行HTML"), 120, 975, 300);
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
    b.func[2] = makeButton(specialBar, "func(2)", QStringLiteral("Html"), 120, 735, 300);
    b.ysjm[1] = makeButton(specialBar, "ysjm(1)", QStringLiteral("加/解密"), 7200, 735, 300);
    b.aboutb = makeButton(specialBar, "aboutb", QStringLiteral("关于"), 8880, 735, 300);
    return b;
}
