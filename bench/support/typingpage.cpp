#include "support/typingpage.h"

#include "editor/ansibytecounter.h"
#include "editor/keycommandsfilter.h"
#include "editor/keycommandswiring.h"
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "platform/places.h"
#include "shell/framain.h"
#include "support/bigpage.h"
#include "support/typingsamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

// Stamps the time at which key events pass it.
class KeyStamp : public QObject {
public:
    using QObject::QObject;

    qint64 press = -1;
    qint64 release = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            press = nowNs();
        else if (event->type() == QEvent::KeyRelease)
            release = nowNs();
        return QObject::eventFilter(watched, event);
    }
};

namespace {

// The word list beside the benchmark, or in the source tree above it.
QString findTagList()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/tags.dat");
    if (QFile::exists(beside))
        return beside;
    QDir folder(QCoreApplication::applicationDirPath());
    for (int up = 0; up < 5 && folder.cdUp(); ++up) {
        const QString candidate = folder.filePath(QStringLiteral("resources/tags.dat"));
        if (QFile::exists(candidate))
            return candidate;
    }
    return QString();
}

// A program folder of the benchmark's own with a copy of the word list,
// made once per process.
bool prepareProgramFolder()
{
    static QTemporaryDir folder;
    static const bool ready = [] {
        const QString tagList = findTagList();
        if (!folder.isValid() || tagList.isEmpty() ||
            !QFile::copy(tagList, folder.filePath(QStringLiteral("tags.dat"))))
            return false;
        Places::setProgramFolder(folder.path());
        return true;
    }();
    return ready;
}

void caretToLineEnd(QPlainTextEdit *edit, int line)
{
    QTextCursor cursor(edit->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::EndOfBlock);
    edit->setTextCursor(cursor);
}

void settle(QPlainTextEdit *edit)
{
    edit->viewport()->repaint();
    QCoreApplication::processEvents();
}

} // namespace

TypingPage::TypingPage(qsizetype pageBytes, PageShape shape)
    : m_pageBytes(pageBytes)
    , m_shape(shape)
    , m_ready(prepareProgramFolder())
    , m_text(RichTextBox::normalizedLineBreaks(shape == PageShape::OneLine
                                                   ? makeOneLinePageText(pageBytes)
                                                   : makeBigPageText(pageBytes)))
    , m_window(std::make_unique<FRAmain>(m_prompts))
    , m_bare(std::make_unique<QPlainTextEdit>())
{
    m_window->Form_Load({});
    RichTextBox *area = box();
    area->setText(m_text);
    settle(area);

    // Shown without taking the focus from the editing area.
    m_bare->setAttribute(Qt::WA_ShowWithoutActivating);
    m_bare->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_bare->setFont(area->font());
    m_bare->resize(area->size());
    m_bare->show();
    m_bare->setPlainText(m_text);
    settle(m_bare.get());

    bracketHandlers();
}

TypingPage::~TypingPage()
{
    // Each line carries a record that reports to its byte counter when the
    // line goes: the lines go first, while both counters are still there.
    box()->document()->clear();
    m_window.reset();
    m_bare.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

RichTextBox *TypingPage::box() const
{
    return m_window->richText();
}

void TypingPage::bracketHandlers()
{
    RichTextBox *area = box();
    QTextDocument *document = area->document();

    // The byte count: a counter of our own between two stamps, in place of
    // the editing area's.
    if (auto *own = document->findChild<AnsiByteCounter *>(QString(), Qt::FindDirectChildrenOnly))
        QObject::disconnect(document, nullptr, own, nullptr);
    connect(document, &QTextDocument::contentsChange, this, [this] { m_statusIn = nowNs(); });
    m_counter = new AnsiByteCounter(document);
    connect(document, &QTextDocument::contentsChange, this, [this] {
        if (m_statusIn >= 0)
            m_times.status += nowNs() - m_statusIn;
        m_statusIn = -1;
    });

    // The key filter between two stamps. Qt runs the filter installed last
    // first.
    m_filter = m_window->keyHandling().filter();
    area->removeEventFilter(m_filter);
    m_after = new KeyStamp(this);
    m_before = new KeyStamp(this);
    area->installEventFilter(m_after);
    area->installEventFilter(m_filter);
    area->installEventFilter(m_before);

    // The change rule, run as the key filter runs it for typed keys.
    disconnect(area, &RichTextBox::Change, m_filter, nullptr);
    connect(area, &RichTextBox::Change, this, [this] {
        if (!m_handlersOn)
            return;
        const qint64 start = nowNs();
        m_window->completion().RichText_Change();
        m_times.change += nowNs() - start;
    });
}

TypingSpot TypingPage::placeCarets(int targetLine)
{
    RichTextBox *area = box();
    const QTextDocument *document = area->document();
    targetLine = qBound(0, targetLine, document->blockCount() - 1);
    for (QPlainTextEdit *edit : {static_cast<QPlainTextEdit *>(area), m_bare.get()}) {
        caretToLineEnd(edit, targetLine);
        edit->centerCursor();
        settle(edit);
    }

    // The lines wholly in view.
    const int top = area->cursorForPosition(QPoint(0, 0)).blockNumber() + 1;
    const int bottom =
        area->cursorForPosition(QPoint(0, area->viewport()->height() - 1)).blockNumber() - 1;
    const QFontMetricsF metrics(area->font());
    TypingSpot spot;
    spot.line = targetLine;
    qreal narrowest = -1;
    qreal widest = 0;
    for (int line = top; line <= bottom; ++line) {
        const qreal width = metrics.horizontalAdvance(document->findBlockByNumber(line).text());
        widest = qMax(widest, width);
        if (narrowest < 0 || width < narrowest) {
            narrowest = width;
            spot.line = line;
        }
    }
    spot.narrower =
        narrowest >= 0 && narrowest + metrics.horizontalAdvance(QStringLiteral("<table")) < widest;

    for (QPlainTextEdit *edit : {static_cast<QPlainTextEdit *>(area), m_bare.get()}) {
        caretToLineEnd(edit, spot.line);
        settle(edit);
    }
    if (m_handlersOn)
        m_counter->bytes();
    return spot;
}

void TypingPage::startKeystroke()
{
    m_times = HandlerTimes();
    m_statusIn = -1;
    for (KeyStamp *stamp : {m_before, m_after})
        stamp->press = stamp->release = -1;
}

HandlerTimes TypingPage::handlerTimes() const
{
    HandlerTimes times = m_times;
    if (!m_handlersOn)
        return times;
    times.passed = m_after->press >= 0 && m_after->release >= 0;
    if (times.passed) {
        times.keyDown = m_after->press - m_before->press;
        times.keyUp = m_after->release - m_before->release;
    }
    return times;
}

void TypingPage::removeHandlers()
{
    if (!m_handlersOn)
        return;
    m_window->completion().close();
    m_handlersOn = false;
    box()->removeEventFilter(m_filter);
    QObject::disconnect(box()->document(), nullptr, m_counter, nullptr);
}
