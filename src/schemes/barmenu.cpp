#include "schemes/barmenu.h"

#include <QAction>
#include <QMenu>

namespace {

QAction *addItem(QMenu *menu, const char *name, const QString &caption, bool checked)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

BarMenu::BarMenu(QWidget *parent, Host host)
    : QObject(parent)
    , m_poop(new QMenu(parent))
    , m_host(std::move(host))
{
    m_poop->setObjectName(QStringLiteral("poop"));
    menfangan = m_poop->addMenu(QStringLiteral("  方    案"));
    menfangan->setObjectName(QStringLiteral("menfangan"));
    menfdafealt = addItem(menfangan, "menfdafealt", QStringLiteral("默认       F3"), true);
    menfdiy = addItem(menfangan, "menfdiy", QStringLiteral("自定义     F4"), false);
    m_poop->addSeparator()->setObjectName(QStringLiteral("menaaaa"));
    mengongneng = addItem(m_poop, "mengongneng", QStringLiteral("  功 能 栏"), true);
    menshortcut = addItem(m_poop, "menshortcut", QStringLiteral("  快 捷 栏"), true);
    menespecial = addItem(m_poop, "menespecial", QStringLiteral("  特 殊 栏"), true);
    addEditorItems();
    m_poop->addSeparator()->setObjectName(QStringLiteral("menussss"));
    menueee = addItem(m_poop, "menueee", QStringLiteral("锁定<快捷编辑拦>"), true);
    menueee->setEnabled(false);
    m_poop->addSeparator()->setObjectName(QStringLiteral("menufff"));
    menuSETfavrit = m_poop->addAction(QStringLiteral("  设    置"));
    menuSETfavrit->setObjectName(QStringLiteral("menuSETfavrit"));

    // The check marks change only through the commands below.
    for (QAction *item :
         {menfdafealt, menfdiy, mengongneng, menshortcut, menespecial, menSyntaxColor}) {
        connect(item, &QAction::triggered, item, [item] { item->setChecked(!item->isChecked()); });
    }
    connect(menSyntaxColor, &QAction::triggered, this, &BarMenu::menSyntaxColor_Click);
    connect(menfdafealt, &QAction::triggered, this, [this] { m_host.defaultScheme(); });
    connect(menfdiy, &QAction::triggered, this, [this] { m_host.customScheme(); });
    connect(mengongneng, &QAction::triggered, this, &BarMenu::mengongneng_Click);
    connect(menshortcut, &QAction::triggered, this, &BarMenu::menshortcut_Click);
    connect(menespecial, &QAction::triggered, this, &BarMenu::menespecial_Click);
    connect(menuSETfavrit, &QAction::triggered, this, &BarMenu::menuSETfavrit_Click);
}

QAction *BarMenu::commandPlace()
{
    QAction *settingsSeparator = m_poop->actions().at(m_poop->actions().indexOf(menuSETfavrit) - 1);
    // The command menus form a group of their own.
    if (!m_commandMenus)
        m_commandMenus = m_poop->insertSeparator(settingsSeparator);
    return settingsSeparator;
}

void BarMenu::addCommandMenu(QMenu *menu)
{
    m_poop->insertMenu(commandPlace(), menu);
}

void BarMenu::addCommandItem(QAction *item)
{
    m_poop->insertAction(commandPlace(), item);
}

QAction *BarMenu::addEditorSwitch(const char *name, const QString &caption, bool checked,
                                  std::function<void(bool on)> switched)
{
    const QList<QAction *> items = m_poop->actions();
    QAction *after = m_lastSwitch ? m_lastSwitch : menSyntaxColor;
    QAction *before = items.value(items.indexOf(after) + 1);
    QAction *item = new QAction(caption, m_poop);
    item->setObjectName(QLatin1String(name));
    item->setCheckable(true);
    item->setChecked(checked);
    m_poop->insertAction(before, item);
    connect(item, &QAction::toggled, this, std::move(switched));
    m_lastSwitch = item;
    return item;
}

// The colouring switch and the tag-name case items, after the strip toggles.
QAction *BarMenu::addCommand(const QString &caption, const QString &name,
                             std::function<void()> command)
{
    auto *item = new QAction(caption, m_poop);
    item->setObjectName(name);
    m_poop->insertAction(commandPlace(), item);
    connect(item, &QAction::triggered, this, std::move(command));
    return item;
}

void BarMenu::addEditorItems()
{
    menSyntaxColor = addItem(m_poop, "menSyntaxColor", QStringLiteral("语法着色"), true);
    m_poop->addSeparator()->setObjectName(QStringLiteral("menTagCase"));
    menTagLower = m_poop->addAction(QStringLiteral("  标签名小写"));
    menTagLower->setObjectName(QStringLiteral("menTagLower"));
    menTagUpper = m_poop->addAction(QStringLiteral("  标签名大写"));
    menTagUpper->setObjectName(QStringLiteral("menTagUpper"));
    for (QAction *item : {menTagLower, menTagUpper}) {
        connect(item, &QAction::triggered, this, [this, item] {
            if (m_host.tagCase)
                m_host.tagCase(item == menTagUpper);
        });
    }
}

void BarMenu::menSyntaxColor_Click()
{
    menSyntaxColor->setChecked(!menSyntaxColor->isChecked());
    if (m_host.syntaxColor)
        m_host.syntaxColor(menSyntaxColor->isChecked());
}

void BarMenu::popup(const QPoint &globalPos)
{
    m_poop->popup(globalPos);
}

bool BarMenu::toggle(QAction *item, int strip)
{
    item->setChecked(!item->isChecked());
    m_host.setStripVisible(strip, item->isChecked());
    return item->isChecked();
}

void BarMenu::mengongneng_Click()
{
    if (toggle(mengongneng, 0)) {
        if (menfdafealt->isChecked())
            m_host.defaultScheme();
        else
            m_host.customScheme();
    }
}

void BarMenu::menshortcut_Click()
{
    if (toggle(menshortcut, 1)) {
        if (menfdiy->isChecked())
            m_host.customScheme();
        else
            m_host.defaultScheme();
    }
}

void BarMenu::menespecial_Click()
{
    toggle(menespecial, 2);
}

void BarMenu::menuSETfavrit_Click()
{
    if (m_host.openSettings)
        m_host.openSettings();
}
