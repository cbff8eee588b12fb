#include "document/encodingmenus.h"

#include "document/encodingcommands.h"
#include "platform/encodinglabels.h"

#include <QMenu>
#include <functional>

namespace {

using Command = std::function<void(const QString &encoding, bool byteOrderMark)>;

QMenu *makeMenu(const char *name, const QString &caption, QWidget *parent)
{
    auto *menu = new QMenu(caption, parent);
    menu->setObjectName(QLatin1String(name));
    menu->setAccessibleName(caption.trimmed());
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

void addEncoding(QMenu *menu, const QString &caption, const QString &encoding, bool mark,
                 const Command &command)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(encoding + (mark ? QStringLiteral("+BOM") : QString()));
    QObject::connect(action, &QAction::triggered, menu,
                     [command, encoding, mark] { command(encoding, mark); });
}

// The common encodings, then the others in a submenu; UTF-8 once more with
// a byte-order mark where offerMark.
void fill(QMenu *menu, bool offerMark, const Command &command)
{
    for (const QString &encoding : EncodingCommands::commonEncodings()) {
        addEncoding(menu, EncodingLabels::displayName(encoding), encoding, false, command);
        if (offerMark && encoding == QLatin1String("UTF-8"))
            addEncoding(menu, QStringLiteral("UTF-8 (带BOM)"), encoding, true, command);
    }
    QMenu *others = menu->addMenu(QStringLiteral("其他编码"));
    others->setObjectName(menu->objectName() + QStringLiteral("Others"));
    for (const QString &encoding : EncodingCommands::otherEncodings())
        addEncoding(others, EncodingLabels::displayName(encoding), encoding, false, command);
}

} // namespace

EncodingMenus::EncodingMenus(EncodingCommands &commands, QWidget *parent)
    : QObject(parent)
    , m_reopen(makeMenu("menreopen", QStringLiteral("  用编码重新打开"), parent))
    , m_save(makeMenu("mensaveas", QStringLiteral("  用编码保存"), parent))
    , m_both(new QMenu(parent))
{
    fill(m_reopen, false,
         [&commands](const QString &encoding, bool) { commands.ReopenWithEncoding(encoding); });
    fill(m_save, true, [&commands](const QString &encoding, bool mark) {
        commands.SaveWithEncoding(encoding, mark);
    });
    m_both->setObjectName(QStringLiteral("menencoding"));
    m_both->setAccessibleName(QStringLiteral("网页编码"));
    m_both->addMenu(m_reopen);
    m_both->addMenu(m_save);
}

void EncodingMenus::popup(const QPoint &globalPos)
{
    m_both->popup(globalPos);
}
