#pragma once

#include "support/silentprompts.h"

#include <QObject>
#include <QString>
#include <memory>

class AnsiByteCounter;
class FRAmain;
class KeyStamp;
class QPlainTextEdit;
class RichTextBox;

// Answers every question with Yes (the whole-page case change asks first)
// and counts the questions.
class YesPrompts : public SilentPrompts {
public:
    int messageBox(const QString &, int, const QString &) override
    {
        ++asked;
        return AnswerYes;
    }
    int asked = 0;
};

// Time one keystroke spent in the editor's own handlers, in nanoseconds: the
// key preview and key commands (press), the completion search (release), the
// completion's change rule and the upkeep of the status line's byte count.
struct HandlerTimes {
    qint64 keyDown = 0;
    qint64 keyUp = 0;
    qint64 change = 0;
    qint64 status = 0;
    // False when the key filter kept a key from the editing area.
    bool passed = true;

    qint64 total() const { return keyDown + keyUp + change + status; }
};

// Where the carets went: the line typed on, and whether that line with a
// tag typed on it stays narrower than the widest line in view (typing on
// the widest line makes Qt measure every line again when it shrinks).
struct TypingSpot {
    int line = 0;
    bool narrower = false;
};

// A main window holding a generated page, and beside it a bare
// QPlainTextEdit without wrapping, of the editing area's size and font,
// holding the same text. The window's key filter, its change rule and its
// byte counter are bracketed by time stamps, so that what each keystroke
// spends in them is known.
//
// To bracket the byte count, the editing area's own counter is unhooked and
// a second one, hooked between two stamps, does its work; the status line
// still asks the first one, so its figures are stale while this page lives.
enum class PageShape { ManyLines, OneLine };

class TypingPage : public QObject {
public:
    explicit TypingPage(qsizetype pageBytes, PageShape shape = PageShape::ManyLines);
    ~TypingPage() override;

    // False when the word list could not be found: the list would not open.
    bool ready() const { return m_ready; }
    qsizetype pageBytes() const { return m_pageBytes; }
    PageShape shape() const { return m_shape; }
    // The page as the editing area holds it (line breaks as LF).
    const QString &text() const { return m_text; }

    FRAmain &window() const { return *m_window; }
    RichTextBox *box() const;
    QPlainTextEdit *bare() const { return m_bare.get(); }
    YesPrompts &prompts() { return m_prompts; }

    // Puts both carets at the end of the narrowest line in view once the
    // view is centred on targetLine, and makes sure the byte counter counts
    // line by line (as it does once the status line has been shown).
    TypingSpot placeCarets(int targetLine);

    // Clears the times before a keystroke; handlerTimes() after it.
    void startKeystroke();
    HandlerTimes handlerTimes() const;

    // Takes the editor's handlers out of the keystroke: key filter, change
    // rule and byte count. For good: the page is made anew to have them back.
    void removeHandlers();
    bool hasHandlers() const { return m_handlersOn; }

private:
    void bracketHandlers();

    qsizetype m_pageBytes;
    PageShape m_shape;
    bool m_ready = false;
    QString m_text;
    YesPrompts m_prompts;
    std::unique_ptr<FRAmain> m_window;
    std::unique_ptr<QPlainTextEdit> m_bare;
    QObject *m_filter = nullptr;
    KeyStamp *m_before = nullptr;
    KeyStamp *m_after = nullptr;
    AnsiByteCounter *m_counter = nullptr;
    HandlerTimes m_times;
    qint64 m_statusIn = -1;
    bool m_handlersOn = true;
};
