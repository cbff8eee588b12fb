#include "schemes/schemes.h"

#include "schemes/schemename.h"

#include "platform/settingsfile.h"
#include "platform/twips.h"
#include "schemes/editorlook.h"
#include "schemes/toolbarchains.h"

#include <QAction>
#include <QWidget>

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
    return SchemeName::cut(name) + QStringLiteral("       F4");
}

void Schemes::menfdafealt_Click()
{
    runScheme(false);
}

void Schemes::menfdiy_Click()
{
    runScheme(true);
}

void Schemes::runScheme(bool custom)
{
    m_menfdiy->setChecked(custom);
    m_menfdafealt->setChecked(!custom);
    WriteSetting(QStringLiteral("Scheme"), QStringLiteral("faceing"),
                 custom ? QStringLiteral("1") : QStringLiteral("0"));
    // The default scheme shows every control; the custom one what its flags say.
    const auto apply = [&](std::span<const ChainPlace> chain, const char *section) {
        for (const ChainPlace &place : chain) {
            if (QWidget *control = m_host.control(QLatin1String(place.control)))
                control->setVisible(!custom || ToolbarChains::flagShown(section, place.flag));
        }
    };
    apply(ToolbarChains::first(), ToolbarChains::kFirstSection);
    apply(ToolbarChains::second(), ToolbarChains::kSecondSection);
    SetScheme();
}

void Schemes::runStoredScheme()
{
    // A Boolean like every other flag: "True" or any number but 0 is the
    // custom scheme; text that is neither starts the default one.
    runScheme(SettingValue::toBool(
        ReadSetting(QStringLiteral("scheme"), QStringLiteral("faceing"), QStringLiteral("0")),
        false));
}

void Schemes::runActiveScheme()
{
    runScheme(m_menfdiy->isChecked());
}

void Schemes::SetScheme()
{
    m_menfdiy->setText(customCaption(SchemeName::stored()));

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
