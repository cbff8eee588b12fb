#include "editor/undocarets.h"

#include <QTextDocument>

UndoCarets::UndoCarets(QTextDocument *document)
    : QObject(document)
    , m_document(document)
{
    connect(document, &QTextDocument::undoCommandAdded, this, [this] { forgetFrom(steps()); });
}

int UndoCarets::steps() const
{
    return m_document->availableUndoSteps();
}

void UndoCarets::forgetFrom(int steps)
{
    m_steps.erase(m_steps.lower_bound(steps), m_steps.end());
}

void UndoCarets::record(int from, int before, int after)
{
    forgetFrom(from + 1);
    const int now = steps();
    if (now > from)
        m_steps[now] = {before, after};
}

int UndoCarets::beforeUndo() const
{
    const auto found = m_steps.find(steps());
    return found == m_steps.end() ? -1 : found->second.before;
}

int UndoCarets::afterRedo() const
{
    const auto found = m_steps.find(steps());
    return found == m_steps.end() ? -1 : found->second.after;
}
