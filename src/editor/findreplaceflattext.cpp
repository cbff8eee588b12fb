#include "editor/findreplaceflattext.h"

#include "editor/inplaceedits.h"
#include "editor/linepieces.h"
#include "editor/richtextbox.h"

#include <QTextDocument>

FindReplaceFlatText::FindReplaceFlatText(RichTextBox &edit)
    : m_edit(edit)
{}

void FindReplaceFlatText::attach(QTextDocument *document)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    invalidate();
    if (document)
        connect(document, &QTextDocument::contentsChanged, this, &FindReplaceFlatText::invalidate);
}

void FindReplaceFlatText::invalidate()
{
    // Released at once: a stale copy of a large page is of no use.
    m_text = QString();
    m_valid = false;
}

QString FindReplaceFlatText::text()
{
    QTextDocument *document = m_edit.document();
    if (document != m_document)
        attach(document);
    if (!document)
        return {};
    // The length check guards against a change that raised no signal.
    const LinePieces &pieces = m_edit.pieces();
    if (!m_valid || m_text.size() != document->characterCount() - 1 - pieces.continuationCount()) {
        m_text = InPlaceEdits::documentText(m_edit);
        m_valid = true;
    }
    return m_text;
}
