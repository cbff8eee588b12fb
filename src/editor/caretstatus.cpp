#include "editor/caretstatus.h"

#include "editor/richtextbox.h"
#include "platform/statusline.h"

namespace CaretStatus {

QString totalsText(int lines, qint64 bytes)
{
    return QStringLiteral("总共:    ") + QString::number(lines) + QStringLiteral("行数    ") +
           QString::number(bytes) + QStringLiteral("字节   ");
}

QString caretText(int lines, qint64 bytes, int line, qint64 column)
{
    return totalsText(lines, bytes) + QStringLiteral("当前:    Ln ") + QString::number(line) +
           QStringLiteral(",Col ") + QString::number(column);
}

void refreshWithCaret(const RichTextBox &richText, StatusLine &status)
{
    const int lines = richText.GetLineCount();
    const qint64 bytes = richText.ansiByteCount();
    const int line = richText.GetCurrentLine();
    // Lines are counted in full: pages beyond 32,768 lines are common enough.
    const qint64 column = richText.SelStart() - richText.GetLineStart(line - 1) + 1;
    status.setText(caretText(lines, bytes, line, column));
}

void refreshTotals(const RichTextBox &richText, StatusLine &status)
{
    status.setText(totalsText(richText.GetLineCount(), richText.ansiByteCount()));
}

} // namespace CaretStatus
