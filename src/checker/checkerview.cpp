#include "checker/checkerview.h"

#include "checker/checkrun.h"
#include "checker/errorlist.h"
#include "controls/clicklabel.h"
#include "controls/stabar.h"
#include "editor/richtextbox.h"
#include "platform/settingsfile.h"

#include <QAction>
#include <QEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>

namespace {

const QString kSection = QStringLiteral("WorkTable");
const char *const kNeedKeys[] = {"NeedDoctype", "NeedTitle", "NeedAlt", "NeedLang"};
const char *const kNeedCaptions[] = {"缺少 <!DOCTYPE html>", "缺少 <title>", "<img> 缺少 alt",
                                     "<html> 缺少 lang"};

bool storedSwitch(const char *key, bool fallback)
{
    return SettingValue::toBool(
        ReadSetting(kSection, QLatin1String(key), fallback ? "True" : "False"), fallback);
}

void storeSwitch(const char *key, bool on)
{
    WriteSetting(kSection, QLatin1String(key),
                 on ? QStringLiteral("True") : QStringLiteral("False"));
}

// A wavy line from x1 to x2 along y.
void drawWave(QPainter &painter, qreal x1, qreal x2, qreal y, const QColor &colour)
{
    QPainterPath path(QPointF(x1, y));
    bool up = true;
    for (qreal x = x1 + 2; x <= x2 + 2; x += 2, up = !up)
        path.lineTo(x, up ? y - 2 : y);
    painter.setPen(QPen(colour, 1));
    painter.drawPath(path);
}

// A shortcut of the window that acts wherever the focus is in it.
void addShortcut(QWidget *window, const QKeySequence &keys, std::function<void()> action)
{
    auto *shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
}

} // namespace

CheckerView::CheckerView(RichTextBox &richText, StaBar &statusBar, QWidget *window,
                         std::function<void()> relayout)
    : QObject(window)
    , m_richText(richText)
    , m_area(&richText)
    , m_statusBar(statusBar)
    , m_relayout(std::move(relayout))
    , m_run(new CheckRun(richText.document(), this))
    , m_list(new ErrorList(window))
    , m_counts(new ClickLabel(&statusBar))
    , m_menCheckErrors(new QAction(QStringLiteral("检查错误"), this))
    , m_menErrorList(new QAction(QStringLiteral("错误列表"), this))
    , m_needsMenu(new QMenu(QStringLiteral("检查页面要求"), window))
{
    m_menCheckErrors->setObjectName(QStringLiteral("menCheckErrors"));
    m_menErrorList->setObjectName(QStringLiteral("menErrorList"));
    m_needsMenu->setObjectName(QStringLiteral("menNeeds"));
    m_menCheckErrors->setCheckable(true);
    m_menErrorList->setCheckable(true);
    for (size_t i = 0; i < std::size(kNeedKeys); ++i) {
        QAction *item = m_needsMenu->addAction(QString::fromUtf8(kNeedCaptions[i]));
        item->setCheckable(true);
        item->setChecked(storedSwitch(kNeedKeys[i], true));
        connect(item, &QAction::toggled, this, [this, i](bool on) {
            storeSwitch(kNeedKeys[i], on);
            readNeeds();
            restart(0);
        });
        m_needItems.append(item);
    }
    connect(m_menCheckErrors, &QAction::toggled, this, [this](bool on) {
        storeSwitch("CheckErrors", on);
        setOn(on);
    });
    connect(m_menErrorList, &QAction::toggled, this, [this](bool shown) {
        storeSwitch("ErrorList", shown);
        setListShown(shown);
    });

    m_counts->setObjectName(QStringLiteral("ErrorCounts"));
    m_counts->setToolTip(QStringLiteral("单击显示错误列表"));
    m_counts->setAutoFillBackground(true);
    m_counts->setCursor(Qt::PointingHandCursor);
    m_counts->hide();
    connect(m_counts, &ClickLabel::clicked, this, [this] { m_menErrorList->setChecked(true); });
    statusBar.installEventFilter(this);

    m_list->hide();
    connect(m_list, &ErrorList::activated, this, &CheckerView::goTo);
    // Enter (or a double click) on a row goes on typing there.
    connect(m_list->table(), &QTreeWidget::itemActivated, &m_richText,
            [this] { m_richText.setFocus(); });
    connect(m_list, &ErrorList::fixRequested, this, &CheckerView::fix);
    connect(m_list, &ErrorList::fixAllRequested, this, &CheckerView::fixAll);
    // The first slice's problems show at once (the top of a page just
    // opened); the rest when the run is over.
    connect(m_run, &CheckRun::progressed, this, [this] {
        if (!m_run->isRunning() || !m_partialShown)
            publish();
        m_partialShown = true;
    });
    m_viewport = richText.viewport();
    m_viewport->installEventFilter(this);

    addShortcut(window, Qt::Key_F8, [this] { goToNext(true); });
    addShortcut(window, Qt::SHIFT | Qt::Key_F8, [this] { goToNext(false); });
    addShortcut(window, Qt::CTRL | Qt::Key_Period, [this] { fixAtCaret(); });

    readNeeds();
    setListShown(storedSwitch("ErrorList", false));
    setOn(storedSwitch("CheckErrors", true));
}

CheckerView::~CheckerView()
{
    // The window's children go in the order they came: the editing area
    // may be gone already.
    if (m_area)
        m_area->setOverlay({});
}

void CheckerView::readNeeds()
{
    Checker::NeedsOptions needs;
    bool *flags[] = {&needs.doctype, &needs.title, &needs.imgAlt, &needs.lang};
    for (qsizetype i = 0; i < m_needItems.size(); ++i)
        *flags[i] = m_needItems[i]->isChecked();
    m_run->setOptions(needs, m_encoding);
}

void CheckerView::setPageEncoding(const QString &encoding)
{
    if (encoding == m_encoding)
        return;
    m_encoding = encoding;
    readNeeds();
    restart(0);
}

void CheckerView::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    {
        const QSignalBlocker quiet(m_menCheckErrors);
        m_menCheckErrors->setChecked(on);
    }
    if (on) {
        m_changes = connect(m_richText.document(), &QTextDocument::contentsChange, this,
                            &CheckerView::textChanged);
        m_richText.setOverlay([this](QPainter &painter) { paint(painter); });
        restart(0);
    } else {
        disconnect(m_changes);
        m_run->stop();
        m_richText.setOverlay({});
        m_marks.clear();
        m_list->setProblems({});
    }
    showCounts();
}

void CheckerView::setListShown(bool shown)
{
    {
        const QSignalBlocker quiet(m_menErrorList);
        m_menErrorList->setChecked(shown);
    }
    m_list->setVisible(shown);
    if (m_relayout)
        m_relayout();
}

void CheckerView::restart(int delayMs)
{
    if (!m_on)
        return;
    m_partialShown = false;
    m_run->start(delayMs);
}

// The marks of the run so far, followed by those of the last run beyond
// where this one has read.
void CheckerView::publish()
{
    const int scanned = m_run->isRunning() ? m_run->scannedTo() : INT_MAX;
    std::vector<Mark> marks;
    for (const Checker::Problem &problem : m_run->problems()) {
        Mark mark;
        mark.from = m_run->positionOf(problem.pos);
        mark.length = int(problem.length);
        mark.problem = problem;
        for (const Checker::FixEdit &edit : problem.fix)
            mark.fix.push_back({m_run->positionOf(edit.pos), edit.length, edit.text});
        marks.push_back(std::move(mark));
    }
    for (Mark &old : m_marks) {
        if (!old.gone && old.from >= scanned)
            marks.push_back(std::move(old));
    }
    std::stable_sort(marks.begin(), marks.end(),
                     [](const Mark &a, const Mark &b) { return a.from < b.from; });
    m_marks = std::move(marks);
    if (!m_run->isRunning() || m_list->table()->topLevelItemCount() == 0) {
        std::vector<const Checker::Problem *> problems;
        for (const Mark &mark : m_marks)
            problems.push_back(&mark.problem);
        m_list->setProblems(problems);
    }
    showCounts();
    m_richText.viewport()->update();
}

void CheckerView::showCounts()
{
    int errors = 0;
    int warnings = 0;
    for (const Mark &mark : m_marks) {
        if (!mark.gone)
            ++(mark.problem.severity == Checker::Severity::Error ? errors : warnings);
    }
    const QString text = QStringLiteral("%1 错误 %2 警告").arg(errors).arg(warnings);
    m_counts->setText(text);
    m_counts->setAccessibleName(text);
    m_counts->adjustSize();
    m_counts->setVisible(m_on);
    const QWidget *before =
        m_statusBar.thirdLabel()->isVisible() ? m_statusBar.thirdLabel() : m_statusBar.rightLabel();
    m_counts->move(before->x() - m_counts->width() - 12, before->y());
}

bool CheckerView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_statusBar && event->type() == QEvent::Resize) {
        showCounts();
    } else if (event->type() == QEvent::ToolTip && m_on && m_viewport && watched == m_viewport) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = markAt(m_richText.cursorForPosition(help->pos()).position());
        if (index < 0) {
            QToolTip::hideText();
            return false;
        }
        const Mark &mark = m_marks[size_t(index)];
        QString tip = Checker::severityText(mark.problem.severity) + QStringLiteral("：") +
                      mark.problem.message;
        if (!mark.fix.empty())
            tip += QStringLiteral("\n按 Ctrl+. 修正");
        QToolTip::showText(help->globalPos(), tip, m_richText.viewport());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CheckerView::textChanged(int position, int removed, int added)
{
    const int delta = added - removed;
    const int removedEnd = position + removed;
    for (Mark &mark : m_marks) {
        if (mark.gone)
            continue;
        if (mark.from >= removedEnd &&
            !(removed == 0 && mark.from == position && mark.length == 0)) {
            mark.from += delta;
        } else if (mark.from + mark.length <= position) {
            // before the edit
        } else if (removed == 0 && mark.from < position) {
            mark.length += added; // typed inside it
        } else {
            mark.gone = true;
        }
        for (Checker::TextEdit &edit : mark.fix) {
            if (edit.from >= removedEnd)
                edit.from += delta;
            else if (edit.from + edit.length > position)
                mark.fix.clear();
        }
    }
    // A page opened or a large paste is read at once; typing waits for a pause.
    restart(added > 10000 || m_richText.document()->characterCount() == added + 1
                ? 0
                : CheckRun::kQuietMs);
    showCounts();
}

void CheckerView::paint(QPainter &painter) const
{
    if (m_marks.empty())
        return;
    const QWidget *viewport = m_richText.viewport();
    const int top = m_richText.firstBlockInView().position();
    const int bottom =
        m_richText.cursorForPosition(QPoint(viewport->width(), viewport->height())).position();
    auto it = std::lower_bound(m_marks.begin(), m_marks.end(), top,
                               [](const Mark &mark, int position) { return mark.from < position; });
    QTextCursor cursor(m_richText.document());
    for (; it != m_marks.end() && it->from <= bottom; ++it) {
        if (it->gone)
            continue;
        cursor.setPosition(qMin(it->from, m_richText.document()->characterCount() - 1));
        const QRect start = m_richText.cursorRect(cursor);
        cursor.setPosition(
            qMin(it->from + it->length, m_richText.document()->characterCount() - 1));
        const QRect end = m_richText.cursorRect(cursor);
        const qreal x2 = end.top() == start.top() && end.left() > start.left() + 3
                             ? end.left()
                             : start.left() + 6;
        drawWave(painter, start.left(), x2, start.bottom(),
                 it->problem.severity == Checker::Severity::Error ? QColor(0xE0, 0x10, 0x10)
                                                                  : QColor(0xE0, 0x9A, 0x00));
    }
}

int CheckerView::markAt(int position) const
{
    for (size_t i = 0; i < m_marks.size(); ++i) {
        const Mark &mark = m_marks[i];
        if (!mark.gone && mark.from <= position && position <= mark.from + qMax(mark.length, 1))
            return int(i);
    }
    return -1;
}

void CheckerView::goTo(int markIndex)
{
    if (markIndex < 0 || markIndex >= int(m_marks.size()) || m_marks[size_t(markIndex)].gone)
        return;
    QTextCursor cursor = m_richText.textCursor();
    cursor.setPosition(
        qMin(m_marks[size_t(markIndex)].from, m_richText.document()->characterCount() - 1));
    m_richText.setTextCursor(cursor);
    m_richText.ensureCursorVisible();
    m_list->selectRow(markIndex);
    m_statusBar.setText2(m_marks[size_t(markIndex)].problem.message);
}

void CheckerView::goToNext(bool forward)
{
    const int caret = m_richText.textCursor().position();
    const int count = int(m_marks.size());
    int found = -1;
    for (int k = 0; k < count && found < 0; ++k) {
        const int i = forward ? k : count - 1 - k;
        const Mark &mark = m_marks[size_t(i)];
        if (!mark.gone && (forward ? mark.from > caret : mark.from < caret))
            found = i;
    }
    // Past the last (or before the first), it goes round.
    for (int k = 0; k < count && found < 0; ++k) {
        const int i = forward ? k : count - 1 - k;
        if (!m_marks[size_t(i)].gone)
            found = i;
    }
    goTo(found);
}

bool CheckerView::applyEdits(std::vector<Checker::TextEdit> edits)
{
    std::sort(
        edits.begin(), edits.end(),
        [](const Checker::TextEdit &a, const Checker::TextEdit &b) { return a.from > b.from; });
    QTextCursor cursor(m_richText.document());
    bool any = false;
    int keptFrom = INT_MAX;
    for (const Checker::TextEdit &edit : edits) {
        if (edit.from + edit.length > keptFrom)
            continue;
        cursor.setPosition(int(edit.from));
        cursor.setPosition(int(edit.from + edit.length), QTextCursor::KeepAnchor);
        // A fix never joins two blocks (the pieces of a long line).
        if (cursor.selectedText().contains(QChar::ParagraphSeparator))
            continue;
        if (!any)
            cursor.beginEditBlock();
        any = true;
        cursor.insertText(edit.text);
        keptFrom = int(edit.from);
    }
    if (any)
        cursor.endEditBlock();
    return any;
}

bool CheckerView::fix(int markIndex)
{
    if (markIndex < 0 || markIndex >= int(m_marks.size()))
        return false;
    const Mark &mark = m_marks[size_t(markIndex)];
    return !mark.gone && !mark.fix.empty() && applyEdits(mark.fix);
}

bool CheckerView::fixAtCaret()
{
    const int caret = m_richText.textCursor().position();
    for (size_t i = 0; i < m_marks.size(); ++i) {
        const Mark &mark = m_marks[i];
        if (!mark.gone && !mark.fix.empty() && mark.from <= caret &&
            caret <= mark.from + mark.length)
            return fix(int(i));
    }
    m_statusBar.setText2(QStringLiteral("光标处没有可以自动修正的问题"));
    return false;
}

int CheckerView::fixAll()
{
    std::vector<Checker::TextEdit> edits;
    int fixed = 0;
    for (const Mark &mark : m_marks) {
        if (mark.gone || mark.fix.empty())
            continue;
        edits.insert(edits.end(), mark.fix.begin(), mark.fix.end());
        ++fixed;
    }
    if (!applyEdits(edits))
        return 0;
    m_statusBar.setText2(QStringLiteral("已修正 %1 处全角字符错误").arg(fixed));
    return fixed;
}
