#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <QWidget>
#include <iterator>

enum class KeyKind { Open, Letter, Back };

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char *text;
    KeyKind kind;
};

// One tag as it is typed: the "<" that opens the list, a slip put right with
// two Backspaces, the rest of the name. The list stays open on every letter.
inline const Key kWord[] = {
    {Qt::Key_Less, Qt::ShiftModifier, "<", KeyKind::Open},
    {Qt::Key_T, Qt::NoModifier, "t", KeyKind::Letter},
    {Qt::Key_A, Qt::NoModifier, "a", KeyKind::Letter},
    {Qt::Key_B, Qt::NoModifier, "b", KeyKind::Letter},
    {Qt::Key_E, Qt::NoModifier, "e", KeyKind::Letter},
    {Qt::Key_L, Qt::NoModifier, "l", KeyKind::Letter},
    {Qt::Key_Backspace, Qt::NoModifier, "\b", KeyKind::Back},
    {Qt::Key_Backspace, Qt::NoModifier, "\b", KeyKind::Back},
    {Qt::Key_L, Qt::NoModifier, "l", KeyKind::Letter},
    {Qt::Key_E, Qt::NoModifier, "e", KeyKind::Letter},
};
inline constexpr int kWordKeys = int(std::size(kWord));
inline const QString kWordText = QStringLiteral("<table");

// Press and release, delivered at once.
inline void sendKey(QWidget *target, const Key &key)
{
    const QString text = QString::fromLatin1(key.text);
    QKeyEvent press(QEvent::KeyPress, key.key, key.modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key.key, key.modifiers, text);
    QCoreApplication::sendEvent(target, &release);
}

// Takes away what was typed, outside the timing.
inline void eraseTyped(QPlainTextEdit *edit, int count)
{
    if (count <= 0)
        return;
    QTextCursor cursor = edit->textCursor();
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, count);
    cursor.removeSelectedText();
    edit->setTextCursor(cursor);
    edit->viewport()->repaint();
    QCoreApplication::processEvents();
}
