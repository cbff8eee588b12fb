#include "schemes/schemes.h"

#include "platform/twips.h"
#include "schemes/editorlook.h"
#include "schemes/toolbarchains.h"
#include "shell/settings.h"

#include <QAction>
#include <QWidget>

namespace {

// A flag that is neither a Boolean word nor a number counts as shown.
bool flagShown(const char *section, int flag)
{
    const QString stored =
        ReadSetting(QLatin1String(section), ToolbarChains::flagKey(flag), QStringLiteral("True"));
    return SettingValue::toBool(stored, true);
}

} // namespace

Schemes::Schemes(QAction *menfdafealt, QAction *menfdiy, Host host)
    : m_menfdafealt(menfdafealt)
    , m_menfdiy(menfdiy)
    , m_host(std::move(host))
{}

int Schemes::ButtonAdvance(bool visible, int widthTwips)
{
    return visible ? widthTwips - 15 : 0;
}

QString Schemes::customCaption(const QString &name)
{
    return name.left(4) + QStringLiteral("       F4");
}

void Schemes::menfdafealt_Click()
{
    m_menfdiy->setChecked(false);
    m_menfdafealt->setChecked(true);
    WriteSetting(QStringLiteral("Scheme"), QStringLiteral("faceing"), QStringLiteral("0"));
    setChainVisibility(false);
    SetScheme();
}

void Schemes::menfdiy_Click()
{
    m_menfdiy->setChecked(true);
    m_menfdafealt->setChecked(false);
    WriteSetting(QStringLiteral("Scheme"), QStringLiteral("faceing"), QStringLiteral("1"));
    setChainVisibility(true);
    SetScheme();
}

void Schemes::runStoredScheme()
{
    const QString stored =
        ReadSetting(QStringLiteral("scheme"), QStringLiteral("faceing"), QStringLiteral("0"));
    bool ok = false;
    const int faceing = stored.trimmed().toInt(&ok);
    if (ok && faceing != 0)
        menfdiy_Click();
    else
        menfdafealt_Click();
}

void Schemes::runActiveScheme()
{
    if (m_menfdiy->isChecked())
        menfdiy_Click();
    else
        menfdafealt_Click();
}

void Schemes::setChainVisibility(bool useFlags)
{
    const auto apply = [&](std::span<const ChainPlace> chain, const char *section) {
        for (const ChainPlace &place : chain) {
            if (QWidget *control = m_host.control(QLatin1String(place.control)))
                control->setVisible(!useFlags || flagShown(section, place.flag));
        }
    };
    apply(ToolbarChains::first(), ToolbarChains::kFirstSection);
    apply(ToolbarChains::second(), ToolbarChains::kSecondSection);
}

void Schemes::SetScheme()
{
    const QString name =
        ReadSetting(QStringLiteral("Scheme"), QStringLiteral("name"), QStringLiteral("自定义"));
    m_menfdiy->setText(customCaption(name));

    m_host.applyLook(EditorLook::fromSettings());
    m_host.showWindow();

    const auto pack = [&](std::span<const ChainPlace> chain) {
        int left = ToolbarChains::kChainStartTwips;
        for (const ChainPlace &place : chain) {
            QWidget *control = m_host.control(QLatin1String(place.control));
            if (!control)
                continue;
            control->move(Twips::toPixels(left), control->y());
            left += ButtonAdvance(!control->isHidden(), place.widthTwips);
        }
    };
    pack(ToolbarChains::first());
    pack(ToolbarChains::second());
}
