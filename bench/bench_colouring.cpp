// What the HTML colouring costs, each figure with the colouring on and off
// side by side: opening a 10 MB page (the whole process to the first paint,
// and in process); keystrokes with the completion list open on a 10 KB and
// a 10 MB page; typing "<!--" on the first line of the 10 MB page; Ctrl+End
// on a freshly opened 10 MB page; scrolling down a screen at a time; and the
// tag names of the 10 MB page put in upper and lower case.
#include "editor/colouringlayout.h"
#include "editor/richtextbox.h"
#include "editor/syntaxblocks.h"
#include "editor/syntaxcolouring.h"
#include "shell/framain.h"
#include "snippets/tagcase.h"
#include "support/benchmain.h"
#include "support/bigpage.h"
#include "support/silentprompts.h"
#include "support/typingkeys.h"
#include "support/typingpage.h"
#include "support/typingsamples.h"
#include "support/wholeprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

// On and off, in that order.
struct Pair {
    Samples on;
    Samples off;
};

std::map<std::string, Pair> g_results;

SyntaxColouring *colouringOf(RichTextBox *box)
{
    return box->findChild<SyntaxColouring *>();
}

// Stamps the time at which paint events pass it.
class PaintStamp : public QObject {
public:
    using QObject::QObject;
    qint64 at = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            at = nowNs();
        return QObject::eventFilter(watched, event);
    }
};

// The time the colouring itself takes: its handler of the document's
// changes, its colouring of an edited line as the layout asks for it, and
// its hook before each paint, each between two time stamps. (Laying out the
// edited line is Qt's, with colouring off as well.)
class ColouringClock : public QObject {
public:
    explicit ColouringClock(RichTextBox *box)
        : m_box(box)
        , m_before(new PaintStamp(this))
        , m_after(new PaintStamp(this))
        , m_layout(qobject_cast<ColouringLayout *>(box->document()->documentLayout()))
        , m_colourEdited(m_layout->editedFormats())
    {
        m_layout->setEditedFormats([this](const QTextBlock &block) {
            const qint64 start = nowNs();
            auto formats = m_colourEdited(block);
            m_changeNs += nowNs() - start;
            return formats;
        });
    }
    // The window may have gone first, its layout with it.
    ~ColouringClock() override
    {
        if (m_layout)
            m_layout->setEditedFormats(m_colourEdited);
    }

    // Brackets the colouring as it is now (again after it was switched on).
    void bracket()
    {
        SyntaxColouring *colouring = colouringOf(m_box);
        QWidget *viewport = m_box->viewport();
        for (QObject *filter : {static_cast<QObject *>(m_before), static_cast<QObject *>(m_after)})
            viewport->removeEventFilter(filter);
        QObject::disconnect(m_change);
        if (!colouring->isOn())
            return;
        // Qt runs the filter installed last first.
        viewport->removeEventFilter(colouring);
        viewport->installEventFilter(m_after);
        viewport->installEventFilter(colouring);
        viewport->installEventFilter(m_before);
        SyntaxBlocks *blocks = colouring->blocks();
        QTextDocument *document = m_box->document();
        QObject::disconnect(document, &QTextDocument::contentsChange, blocks, nullptr);
        m_change = connect(document, &QTextDocument::contentsChange, this,
                           [this, blocks](int position, int removed, int added) {
                               const qint64 start = nowNs();
                               blocks->contentsChange(position, removed, added);
                               m_changeNs += nowNs() - start;
                           });
    }
    void reset()
    {
        m_changeNs = 0;
        m_before->at = m_after->at = -1;
    }
    qint64 change() const { return m_changeNs; }
    qint64 paintHook() const
    {
        return m_before->at >= 0 && m_after->at >= 0 ? m_after->at - m_before->at : 0;
    }

private:
    RichTextBox *m_box;
    PaintStamp *m_before;
    PaintStamp *m_after;
    QPointer<ColouringLayout> m_layout;
    ColouringLayout::EditedFormats m_colourEdited;
    QMetaObject::Connection m_change;
    qint64 m_changeNs = 0;
};

void setColouring(RichTextBox *box, bool on)
{
    colouringOf(box)->setOn(on);
    box->viewport()->repaint();
    QCoreApplication::processEvents();
}

// A 10 MB page as a file, made once.
struct PageFile {
    QTemporaryDir folder;
    QString path;
    PageFile()
    {
        path = folder.filePath(QStringLiteral("big.htm"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(makeBigPageBytes());
    }
};

PageFile &pageFile()
{
    static PageFile page;
    return page;
}

// A fresh main window with the 10 MB page, painted once.
std::unique_ptr<FRAmain> openWindow(SilentPrompts &prompts, bool colouring)
{
    auto window = std::make_unique<FRAmain>(prompts);
    colouringOf(window->richText())->setOn(colouring);
    window->Form_Load({pageFile().path});
    window->richText()->viewport()->repaint();
    QCoreApplication::processEvents();
    return window;
}

void closeWindow(std::unique_ptr<FRAmain> &window)
{
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void report(benchmark::State &state, const std::string &name)
{
    const Pair &pair = g_results[name];
    state.counters["on_mean_us"] = pair.on.meanUs();
    state.counters["off_mean_us"] = pair.off.meanUs();
}

// --- Opening ---------------------------------------------------------------

// A folder with a copy of the editor and its word list, and a settings file
// that switches the colouring off when asked.
QString editorCopy(QTemporaryDir &folder, bool colouring)
{
    const QString bin = QCoreApplication::applicationDirPath();
    const QString program = folder.filePath(QStringLiteral("zelmohtml"));
    QFile::copy(bin + QStringLiteral("/zelmohtml"), program);
    QFile::copy(bin + QStringLiteral("/tags.dat"), folder.filePath(QStringLiteral("tags.dat")));
    if (!colouring) {
        QFile ini(folder.filePath(QStringLiteral("zelmohtml.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[WorkTable]\r\nSyntaxColor=False\r\n");
    }
    return program;
}

void BM_OpenWholeProcess(benchmark::State &state)
{
    QTemporaryDir onFolder;
    QTemporaryDir offFolder;
    const QString on = editorCopy(onFolder, true);
    const QString off = editorCopy(offFolder, false);
    Pair &pair = g_results["open, whole process"];
    for (auto _ : state) {
        // Each goes first in every other round, so that neither gains from
        // the other's run: the page in the file cache, the processor's pace.
        for (int round = 0; round < 11; ++round) {
            const bool onFirst = round % 2 == 0;
            const double first = runToFirstPaint(onFirst ? on : off, {pageFile().path});
            const double second = runToFirstPaint(onFirst ? off : on, {pageFile().path});
            const double withColour = onFirst ? first : second;
            const double without = onFirst ? second : first;
            if (withColour < 0 || without < 0) {
                state.SkipWithError("the editor did not run");
                return;
            }
            pair.on.add(qint64(withColour * 1e9));
            pair.off.add(qint64(without * 1e9));
        }
        state.SetIterationTime(pair.on.meanUs() / 1e6);
    }
    report(state, "open, whole process");
}

void BM_OpenInProcess(benchmark::State &state)
{
    SilentPrompts prompts;
    Pair &pair = g_results["open, in process"];
    for (auto _ : state) {
        for (int round = 0; round < 3; ++round) {
            for (const bool colouring : {true, false}) {
                const qint64 start = nowNs();
                auto window = openWindow(prompts, colouring);
                (colouring ? pair.on : pair.off).add(nowNs() - start);
                closeWindow(window);
            }
        }
        state.SetIterationTime(pair.on.meanUs() / 1e6);
    }
    report(state, "open, in process");
}

// --- Typing ----------------------------------------------------------------

struct TypingFigures {
    Pair keyToPaint;
    Pair handlers;  // the editor's handlers, the colouring's included
    Samples change; // the colouring's part: its change handler
    Samples hook;   // and its paint hook
    Samples own;    // both together, key by key
};
std::map<std::string, TypingFigures> g_typing;

// The word typed 40 times with the colouring on and 40 times off, in turns.
void typeWords(benchmark::State &state, qsizetype bytes, const std::string &name)
{
    TypingPage page(bytes);
    if (!page.ready()) {
        state.SkipWithError("tags.dat not found: the completion list would not open");
        return;
    }
    RichTextBox *box = page.box();
    ColouringClock clock(box);
    page.placeCarets(box->document()->blockCount() / 2);
    TypingFigures &figures = g_typing[name];
    for (auto _ : state) {
        for (int round = 0; round < 80; ++round) {
            const bool on = round % 2 == 0;
            setColouring(box, on);
            clock.bracket();
            int typed = 0;
            for (const Key &key : kWord) {
                page.startKeystroke();
                clock.reset();
                const qint64 start = nowNs();
                sendKey(box, key);
                box->viewport()->repaint();
                const qint64 elapsed = nowNs() - start;
                const qint64 colouring = clock.change() + clock.paintHook();
                const qint64 handlers = page.handlerTimes().total() + colouring;
                (on ? figures.keyToPaint.on : figures.keyToPaint.off).add(elapsed);
                (on ? figures.handlers.on : figures.handlers.off).add(handlers);
                if (on) {
                    figures.change.add(clock.change());
                    figures.hook.add(clock.paintHook());
                    figures.own.add(colouring);
                }
                QCoreApplication::processEvents();
                typed += key.kind == KeyKind::Back ? -1 : 1;
            }
            eraseTyped(box, typed);
        }
        state.SetIterationTime(figures.keyToPaint.on.meanUs() / 1e6);
    }
    setColouring(box, false); // the page goes faster without formats
    state.counters["handlers_p99_on_us"] = figures.handlers.on.percentileUs(0.99);
    state.counters["handlers_p99_off_us"] = figures.handlers.off.percentileUs(0.99);
}

// --- "<!--" on the first line ------------------------------------------------

void BM_CommentOpener(benchmark::State &state)
{
    SilentPrompts prompts;
    Pair &pair = g_results["\"<!--\" on line 1, last key to paint"];
    Pair &slowest = g_results["\"<!--\" on line 1, slowest key"];
    const Key keys[] = {{Qt::Key_Less, Qt::ShiftModifier, "<", KeyKind::Open},
                        {Qt::Key_Exclam, Qt::ShiftModifier, "!", KeyKind::Letter},
                        {Qt::Key_Minus, Qt::NoModifier, "-", KeyKind::Letter},
                        {Qt::Key_Minus, Qt::NoModifier, "-", KeyKind::Letter}};
    for (auto _ : state) {
        for (const bool on : {true, false}) {
            auto window = openWindow(prompts, on);
            RichTextBox *box = window->richText();
            for (int round = 0; round < 5; ++round) {
                box->setSelStart(0);
                box->viewport()->repaint();
                QCoreApplication::processEvents();
                qint64 worst = 0;
                qint64 last = 0;
                for (const Key &key : keys) {
                    const qint64 start = nowNs();
                    sendKey(box, key);
                    box->viewport()->repaint();
                    last = nowNs() - start;
                    worst = qMax(worst, last);
                    QCoreApplication::processEvents();
                }
                if (!box->document()->firstBlock().text().startsWith(QStringLiteral("<!--"))) {
                    state.SkipWithError("\"<!--\" was not typed");
                    return;
                }
                (on ? pair.on : pair.off).add(last);
                (on ? slowest.on : slowest.off).add(worst);
                eraseTyped(box, 4);
            }
            closeWindow(window);
        }
        state.SetIterationTime(pair.on.meanUs() / 1e6);
    }
    report(state, "\"<!--\" on line 1, last key to paint");
}

// --- Ctrl+End ----------------------------------------------------------------

void BM_CtrlEnd(benchmark::State &state)
{
    SilentPrompts prompts;
    Pair &pair = g_results["Ctrl+End on a fresh page, to paint"];
    const Key ctrlEnd = {Qt::Key_End, Qt::ControlModifier, "", KeyKind::Letter};
    for (auto _ : state) {
        for (int round = 0; round < 3; ++round) {
            for (const bool on : {true, false}) {
                auto window = openWindow(prompts, on);
                RichTextBox *box = window->richText();
                const qint64 start = nowNs();
                sendKey(box, ctrlEnd);
                box->viewport()->repaint();
                (on ? pair.on : pair.off).add(nowNs() - start);
                if (!box->textCursor().atEnd()) {
                    state.SkipWithError("Ctrl+End did not reach the end");
                    return;
                }
                closeWindow(window);
            }
        }
        state.SetIterationTime(pair.on.meanUs() / 1e6);
    }
    report(state, "Ctrl+End on a fresh page, to paint");
}

// --- Scrolling -----------------------------------------------------------------

Samples g_scrollHook;

// Both windows go down the same screens, in turns, after a third window went
// there first: the glyphs of those screens are in the cache for both.
void BM_Scroll(benchmark::State &state)
{
    SilentPrompts prompts;
    Pair &pair = g_results["scrolling, a screen to paint"];
    constexpr int kScreens = 60;
    const auto scroll = [](RichTextBox *box) {
        QScrollBar *bar = box->verticalScrollBar();
        const qint64 start = nowNs();
        bar->setValue(bar->value() + bar->pageStep());
        box->viewport()->repaint();
        const qint64 elapsed = nowNs() - start;
        QCoreApplication::processEvents();
        return elapsed;
    };
    for (auto _ : state) {
        {
            auto warmUp = openWindow(prompts, false);
            for (int screen = 0; screen < kScreens; ++screen)
                scroll(warmUp->richText());
            closeWindow(warmUp);
        }
        auto on = openWindow(prompts, true);
        auto off = openWindow(prompts, false);
        ColouringClock clock(on->richText());
        clock.bracket();
        for (int screen = 0; screen < kScreens; ++screen) {
            for (const bool colouring : {screen % 2 == 0, screen % 2 != 0}) {
                clock.reset();
                const qint64 elapsed = scroll((colouring ? on : off)->richText());
                (colouring ? pair.on : pair.off).add(elapsed);
                if (colouring)
                    g_scrollHook.add(clock.paintHook());
            }
        }
        closeWindow(on);
        closeWindow(off);
        state.SetIterationTime(pair.on.meanUs() / 1e6);
    }
    report(state, "scrolling, a screen to paint");
}

// --- Tag-name case -------------------------------------------------------------

// Every tag and attribute name of the page put in upper case (all of them
// change), through to the repaint; then back in lower case. Undone outside
// the timing.
void BM_TagCase(benchmark::State &state)
{
    SilentPrompts prompts;
    Pair &upper = g_results["tag names of 10 MB, upper case"];
    Pair &lower = g_results["tag names of 10 MB, lower (none change)"];
    const auto timed = [](RichTextBox *box, bool toUpper) {
        const qint64 start = nowNs();
        TagCase::apply(*box, toUpper);
        box->viewport()->repaint();
        return nowNs() - start;
    };
    for (auto _ : state) {
        // Both windows open, in turns and each first in turn: the window that
        // runs first would pay for the memory the edit takes from the system.
        std::unique_ptr<FRAmain> windows[] = {openWindow(prompts, true),
                                              openWindow(prompts, false)};
        const QString before = windows[0]->richText()->document()->firstBlock().text();
        for (int round = 0; round < 4; ++round) {
            for (const bool on : {round % 2 == 0, round % 2 != 0}) {
                RichTextBox *box = windows[on ? 0 : 1]->richText();
                (on ? upper.on : upper.off).add(timed(box, true));
                if (box->document()->firstBlock().text() == before) {
                    state.SkipWithError("no tag name was changed");
                    return;
                }
                box->undo();
                box->viewport()->repaint();
                QCoreApplication::processEvents();
                (on ? lower.on : lower.off).add(timed(box, false));
            }
        }
        for (auto &window : windows)
            closeWindow(window);
        state.SetIterationTime(upper.on.meanUs() / 1e6);
    }
    report(state, "tag names of 10 MB, upper case");
}

// --- Summary -------------------------------------------------------------------

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

void printSummary()
{
    std::fprintf(stderr, "\nColouring on and off (microseconds; figures of one noisy run)\n");
    std::fprintf(stderr, "%-38s %10s %10s %10s %10s %10s %10s\n", "", "on mean", "off mean",
                 "on p50", "off p50", "on p99", "off p99");
    const auto row = [](const std::string &name, const Pair &pair) {
        std::fprintf(stderr, "%-38s %10.1f %10.1f %10.1f %10.1f %10.1f %10.1f\n", name.c_str(),
                     pair.on.meanUs(), pair.off.meanUs(), pair.on.percentileUs(0.5),
                     pair.off.percentileUs(0.5), pair.on.percentileUs(0.99),
                     pair.off.percentileUs(0.99));
    };
    for (const auto &[name, pair] : g_results) {
        if (!pair.on.empty())
            row(name, pair);
    }
    for (const auto &[name, figures] : g_typing) {
        if (figures.keyToPaint.on.empty())
            continue;
        row("typing " + name + ", key to paint", figures.keyToPaint);
        row("typing " + name + ", handlers", figures.handlers);
        std::fprintf(stderr,
                     "    of which the colouring: change p50/p99 %.2f/%.2f, paint hook %.2f/%.2f, "
                     "both, key by key, %.2f/%.2f\n",
                     figures.change.percentileUs(0.5), figures.change.percentileUs(0.99),
                     figures.hook.percentileUs(0.5), figures.hook.percentileUs(0.99),
                     figures.own.percentileUs(0.5), figures.own.percentileUs(0.99));
    }

    std::fprintf(stderr, "\nTargets\n");
    const auto open = g_results.find("open, whole process");
    if (open != g_results.end() && !open->second.on.empty()) {
        const double extra =
            open->second.on.percentileUs(0.5) / open->second.off.percentileUs(0.5) - 1;
        std::fprintf(stderr,
                     "open 10 MB, whole process: on costs %+.1f%% by the medians (<= 5%%: %s)\n",
                     100 * extra, verdict(extra <= 0.05));
    }
    const auto small = g_typing.find("10KB");
    const auto big = g_typing.find("10MB");
    for (const auto &found : {small, big}) {
        if (found == g_typing.end() || found->second.handlers.on.empty())
            continue;
        const double extra = found->second.handlers.on.percentileUs(0.99) -
                             found->second.handlers.off.percentileUs(0.99);
        std::fprintf(stderr, "typing %s: handlers p99 on - off %.2f us (<= 20: %s)\n",
                     found->first.c_str(), extra, verdict(extra <= 20));
    }
    if (small != g_typing.end() && big != g_typing.end() && !small->second.handlers.on.empty() &&
        !big->second.handlers.on.empty()) {
        const double ratio = big->second.handlers.on.percentileUs(0.99) /
                             small->second.handlers.on.percentileUs(0.99);
        const double paintRatio =
            big->second.keyToPaint.on.meanUs() / small->second.keyToPaint.on.meanUs();
        std::fprintf(stderr,
                     "typing 10 MB over 10 KB, colouring on: handlers p99 %.2fx, key to paint "
                     "%.2fx (<= 2: %s)\n",
                     ratio, paintRatio, verdict(ratio <= 2 && paintRatio <= 2));
    }
    const auto comment = g_results.find("\"<!--\" on line 1, slowest key");
    if (comment != g_results.end() && !comment->second.on.empty())
        std::fprintf(stderr, "\"<!--\" on line 1: slowest key to paint %.2f ms (< 16: %s)\n",
                     comment->second.on.maxUs() / 1e3, verdict(comment->second.on.maxUs() < 16e3));
    const auto end = g_results.find("Ctrl+End on a fresh page, to paint");
    if (end != g_results.end() && !end->second.on.empty())
        std::fprintf(stderr, "Ctrl+End on a fresh 10 MB page: %.2f ms at most (< 100: %s)\n",
                     end->second.on.maxUs() / 1e3, verdict(end->second.on.maxUs() < 100e3));
    const auto tagCase = g_results.find("tag names of 10 MB, upper case");
    if (tagCase != g_results.end() && !tagCase->second.on.empty())
        std::fprintf(stderr, "tag names of 10 MB in upper case: %.3f s at most (< 0.5: %s)\n",
                     tagCase->second.on.maxUs() / 1e6, verdict(tagCase->second.on.maxUs() < 0.5e6));
    const auto scroll = g_results.find("scrolling, a screen to paint");
    if (scroll != g_results.end() && !scroll->second.on.empty()) {
        const double extra = scroll->second.on.meanUs() - scroll->second.off.meanUs();
        std::fprintf(stderr,
                     "scrolling: colouring adds %.3f ms a screen (paint hook mean %.3f, p99 "
                     "%.3f; < 1 ms: %s)\n",
                     extra / 1e3, g_scrollHook.meanUs() / 1e3,
                     g_scrollHook.percentileUs(0.99) / 1e3,
                     verdict(qMax(extra, g_scrollHook.meanUs()) < 1e3));
    }
}

void registerBenchmarks()
{
    const auto manual = [](benchmark::internal::Benchmark *benchmark) {
        benchmark->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    manual(benchmark::RegisterBenchmark("OpenWholeProcess/10MB", BM_OpenWholeProcess));
    manual(benchmark::RegisterBenchmark("OpenInProcess/10MB", BM_OpenInProcess));
    for (const auto &[bytes, name] :
         {std::pair<qsizetype, std::string>{10 * 1000, "10KB"}, {10 * 1000 * 1000, "10MB"}}) {
        manual(benchmark::RegisterBenchmark(("Typing/" + name).c_str(),
                                            [bytes = bytes, name = name](benchmark::State &state) {
                                                typeWords(state, bytes, name);
                                            }));
    }
    manual(benchmark::RegisterBenchmark("CommentOpener/10MB", BM_CommentOpener));
    manual(benchmark::RegisterBenchmark("CtrlEnd/10MB", BM_CtrlEnd));
    manual(benchmark::RegisterBenchmark("Scroll/10MB", BM_Scroll));
    manual(benchmark::RegisterBenchmark("TagCase/10MB", BM_TagCase));
}

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, registerBenchmarks, printSummary);
}
