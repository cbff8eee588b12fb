#include "editor/colouringlayout.h"

#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>

ColouringLayout::ColouringLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document)
{}

ColouringLayout *ColouringLayout::installIn(QPlainTextEdit *edit)
{
    auto *document = new QTextDocument(edit);
    auto *layout = new ColouringLayout(document);
    document->setDocumentLayout(layout);
    document->setDefaultFont(edit->font());
    edit->setDocument(document);
    return layout;
}

void ColouringLayout::formatsSet(const QTextBlock &block)
{
    const QScopedValueRollback settling(m_settling, true);
    document()->markContentsDirty(block.position(), block.length());
}

void ColouringLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    if (m_settling)
        return;
    if (layOutWithFormats(from, charsRemoved, charsAdded))
        return;
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    m_blockCount = document()->blockCount();
}

// What Qt's layout does with a change inside one laid-out block, the new
// formats set first: the block laid out, and repainted alone unless its
// height changed. Setting formats drops the block's lines (Qt's layout would
// take that for a wide change and repaint the whole view) and reports the
// block to the document as changed; that report joins the change being
// handled now, so no later change grows by it.
bool ColouringLayout::layOutWithFormats(int from, int charsRemoved, int charsAdded)
{
    const QTextDocument *doc = document();
    if (!m_editedFormats || doc->blockCount() != m_blockCount)
        return false;
    const QTextBlock block = doc->findBlock(from);
    if (!block.isValid() || block.layout()->lineCount() == 0)
        return false;
    // With as many blocks as before, text only put in or only taken out held
    // no line break.
    if (charsRemoved > 0 && charsAdded > 0 &&
        doc->findBlock(qMax(from, from + charsAdded - 1)) != block)
        return false;
    const std::optional<QList<QTextLayout::FormatRange>> formats = m_editedFormats(block);
    if (!formats)
        return false;
    const qreal height = blockBoundingRect(block).height();
    block.layout()->setFormats(*formats);
    if (blockBoundingRect(block).height() == height) // lays the block out
        emit updateBlock(block);
    else
        requestUpdate();
    return true;
}
