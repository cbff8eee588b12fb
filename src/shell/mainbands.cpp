#include "shell/mainbands.h"

#include "platform/twips.h"
#include "shell/bandlayout.h"
#include "shell/toolstrip.h"

#include <QToolButton>
#include <QWidget>

MainBands::MainBands(QWidget *window, QWidget *editingArea, QWidget *statusBar)
    : QObject(window)
    , m_window(window)
    , m_editingArea(editingArea)
    , m_statusBar(statusBar)
{
    for (int i = 0; i < 3; ++i)
        m_strips[size_t(i)] = new ToolStrip(i, window);

    m_comYuansuVisible = new QToolButton(m_strips[2]);
    m_comYuansuVisible->setObjectName(QStringLiteral("ComYuansuVisible"));
    m_comYuansuVisible->setAccessibleName(QStringLiteral("元素"));
    m_comYuansuVisible->setAutoRaise(true);
    m_comYuansuVisible->setArrowType(Qt::DownArrow);
    m_comYuansuVisible->setFocusPolicy(Qt::NoFocus);
    m_comYuansuVisible->resize(Twips::toPixels(300), Twips::toPixels(300));
}

void MainBands::setStripVisible(int index, bool visible)
{
    m_visible[size_t(index)] = visible;
    m_strips[size_t(index)]->setVisible(visible);
    layout();
}

void MainBands::layout()
{
    BandLayout::Input input;
    input.outerWidth = int(Twips::fromPixels(m_window->frameGeometry().width()));
    input.innerWidth = int(Twips::fromPixels(m_window->width()));
    input.innerHeight = int(Twips::fromPixels(m_window->height()));
    for (size_t i = 0; i < 3; ++i) {
        input.stripHeights[i] = ToolStrip::kHeightTwips;
        input.stripVisible[i] = m_visible[i];
    }
    input.statusHeight = kStatusHeightTwips;
    input.previousEditingArea = Twips::fromPixels(m_editingArea->geometry());

    const BandLayout::Result result = BandLayout::compute(input);
    for (size_t i = 0; i < 3; ++i)
        m_strips[i]->setGeometry(Twips::toPixels(result.strips[i]));
    QRect editingArea = Twips::toPixels(result.editingArea);
    if (m_lowerPanel && !m_lowerPanel->isHidden()) {
        const int height = qMin(160, editingArea.height() / 2);
        editingArea.setHeight(editingArea.height() - height);
        m_lowerPanel->setGeometry(editingArea.left(), editingArea.bottom() + 1, editingArea.width(),
                                  height);
    }
    m_editingArea->setGeometry(editingArea);
    m_statusBar->setGeometry(Twips::toPixels(result.statusBar));
    m_comYuansuVisible->move(Twips::toPixels(result.comYuansuLeft), 0);
}
