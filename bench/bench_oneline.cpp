// A page of 1 MB that is one single line, beside a bare QPlainTextEdit given
// the same page in the same run: keys typed at its end and in its middle from
// the key event through the repaint and the work left to the event loop,
// opening it to the first paint, the process's CPU while the page sits open
// with the caret blinking, and find next across the page.
//
// The bare editor lays out and paints the whole line on every key: it types
// only kBareKeystrokes keys of each run, which is enough for its per-key
// figures.
#include "editor/findreplace.h"
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "platform/ansicodec.h"
#include "shell/framain.h"
#include "shell/maincommands.h"
#include "support/benchmain.h"
#include "support/typingkeys.h"
#include "support/typingpage.h"
#include "support/typingsamples.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr qsizetype kPageBytes = 1000 * 1000;
constexpr int kKeystrokes = 400;
constexpr int kBareKeystrokes = 20;
constexpr int kIdleMs = 10000;

std::unique_ptr<TypingPage> g_page;

TypingPage &page()
{
    if (!g_page)
        g_page = std::make_unique<TypingPage>(kPageBytes, PageShape::OneLine);
    return *g_page;
}

// Wall and CPU time of a piece of work, in nanoseconds.
struct Cost {
    qint64 wall = 0;
    qint64 cpu = 0;
};

template <typename Work> Cost measure(Work work)
{
    const qint64 wall = nowNs();
    const qint64 cpu = cpuNs();
    work();
    return {nowNs() - wall, cpuNs() - cpu};
}

struct Figures {
    Samples oursWall;
    Samples oursCpu;
    Samples bareWall;
    Samples bareCpu;
    Samples handlers;
    std::string note;
};
NamedRuns<Figures> g_figures;

// The key, its repaint and what it leaves to the event loop.
Cost typeKey(QPlainTextEdit *edit, const Key &key)
{
    return measure([&] {
        sendKey(edit, key);
        edit->viewport()->repaint();
        QCoreApplication::processEvents();
    });
}

// What the caret's block holds before the caret.
QString textBeforeCaret(const QPlainTextEdit *edit)
{
    const QTextCursor cursor = edit->textCursor();
    return cursor.block().text().left(cursor.positionInBlock());
}

void placeCaret(QPlainTextEdit *edit, bool middle)
{
    QTextCursor cursor = edit->textCursor();
    if (middle)
        cursor.setPosition(edit->document()->characterCount() / 2);
    else
        cursor.movePosition(QTextCursor::End);
    edit->setTextCursor(cursor);
    edit->centerCursor();
    edit->viewport()->repaint();
    QCoreApplication::processEvents();
}

// Types words of kWord into the editor, count keys in all, erasing each word
// outside the timing; false when a word did not arrive.
template <typename OnKey> bool typeWords(QPlainTextEdit *edit, int count, OnKey onKey)
{
    int typed = 0;
    for (int index = 0; index < count;) {
        const Key &key = kWord[index % kWordKeys];
        onKey(key);
        typed += key.kind == KeyKind::Back ? -1 : 1;
        if (++index % kWordKeys != 0)
            continue;
        if (!textBeforeCaret(edit).endsWith(kWordText))
            return false;
        eraseTyped(edit, typed);
        typed = 0;
    }
    eraseTyped(edit, typed);
    return true;
}

void typing(benchmark::State &state, const std::string &name, bool middle)
{
    TypingPage &one = page();
    if (!one.ready()) {
        state.SkipWithError("tags.dat not found: the completion list would not open");
        return;
    }
    Figures &run = g_figures[name];
    RichTextBox *box = one.box();
    placeCaret(box, middle);
    placeCaret(one.bare(), middle);
    for (auto _ : state) {
        qint64 wall = 0;
        const bool typed = typeWords(box, kKeystrokes, [&](const Key &key) {
            one.startKeystroke();
            const Cost cost = typeKey(box, key);
            wall += cost.wall;
            run.oursWall.add(cost.wall);
            run.oursCpu.add(cost.cpu);
            run.handlers.add(one.handlerTimes().total());
        });
        state.SetIterationTime(double(wall) / 1e9);
        if (!typed)
            state.SkipWithError("a typed word is not in the text");
    }
    const bool bareTyped = typeWords(one.bare(), kBareKeystrokes, [&](const Key &key) {
        const Cost cost = typeKey(one.bare(), key);
        run.bareWall.add(cost.wall);
        run.bareCpu.add(cost.cpu);
    });
    if (!bareTyped)
        state.SkipWithError("the bare editor lost a typed word");
    one.window().completion().close();
    state.counters["ours_ms"] = run.oursWall.meanUs() / 1e3;
    state.counters["bare_ms"] = run.bareWall.meanUs() / 1e3;
}

// The page written as a file, opened through the Open command's loading and
// painted; the bare editor decodes the same file and is given the text.
void opening(benchmark::State &state, const std::string &name)
{
    TypingPage &one = page();
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("oneline.htm"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(AnsiCodec::encode(one.text())) < 0) {
        state.SkipWithError("the page could not be written");
        return;
    }
    file.close();
    Figures &run = g_figures[name];
    for (auto _ : state) {
        const Cost ours = measure([&] {
            one.window().commands().file.LoadNamedFile(path);
            one.box()->viewport()->repaint();
        });
        state.SetIterationTime(double(ours.wall) / 1e9);
        run.oursWall.add(ours.wall);
        run.oursCpu.add(ours.cpu);
        const Cost bare = measure([&] {
            QFile page(path);
            if (page.open(QIODevice::ReadOnly))
                one.bare()->setPlainText(AnsiCodec::decode(page.readAll()));
            one.bare()->viewport()->repaint();
        });
        run.bareWall.add(bare.wall);
        run.bareCpu.add(bare.cpu);
        QCoreApplication::processEvents();
    }
    if (one.box()->Text() != one.text())
        state.SkipWithError("the page did not read back as it was");
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The process's CPU over kIdleMs with only the editor's window shown,
// active and focused, its caret blinking at the end of the page.
Cost idleWith(QWidget *window, QWidget *hidden, QPlainTextEdit *edit, int &paints)
{
    hidden->hide();
    window->show();
    window->activateWindow();
    edit->setFocus();
    placeCaret(edit, false);
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    PaintCounter counter;
    edit->viewport()->installEventFilter(&counter);
    const Cost cost = measure([] {
        QEventLoop loop;
        QTimer::singleShot(kIdleMs, &loop, &QEventLoop::quit);
        loop.exec();
    });
    edit->viewport()->removeEventFilter(&counter);
    paints = edit->hasFocus() ? counter.paints : -1;
    return cost;
}

void idle(benchmark::State &state, const std::string &name)
{
    TypingPage &one = page();
    Figures &run = g_figures[name];
    int oursPaints = 0;
    int barePaints = 0;
    for (auto _ : state) {
        const Cost ours = idleWith(&one.window(), one.bare(), one.box(), oursPaints);
        state.SetIterationTime(double(ours.wall) / 1e9);
        run.oursWall.add(ours.wall);
        run.oursCpu.add(ours.cpu);
        const Cost bare = idleWith(one.bare(), &one.window(), one.bare(), barePaints);
        run.bareWall.add(bare.wall);
        run.bareCpu.add(bare.cpu);
    }
    one.bare()->show();
    one.window().show();
    run.note = "caret paints in 10 s, ours/bare: " + std::to_string(oursPaints) + "/" +
               std::to_string(barePaints) + " (-1: no focus)";
}

// Find next from the start for a text near the end, the first one after a
// change (the search's copy of the page made anew), through the repaint.
void findNext(benchmark::State &state, const std::string &name)
{
    TypingPage &one = page();
    RichTextBox *box = one.box();
    QPlainTextEdit *bare = one.bare();
    const QString needle = one.text().right(40).left(12);
    FindReplace findReplace(*box);
    Figures &run = g_figures[name];
    for (auto _ : state) {
        box->setSelStart(0);
        box->setSelText(QStringLiteral(" "));
        box->setSelStart(0);
        box->setSelLength(1);
        box->setSelText(QString());
        bool found = false;
        const Cost ours = measure([&] {
            found = findReplace.FindNextMatch(needle, Qt::CaseInsensitive);
            box->viewport()->repaint();
        });
        if (!found || box->SelText().compare(needle, Qt::CaseInsensitive) != 0) {
            state.SkipWithError("find next missed the text");
            break;
        }
        state.SetIterationTime(double(ours.wall) / 1e9);
        run.oursWall.add(ours.wall);
        run.oursCpu.add(ours.cpu);
        bare->moveCursor(QTextCursor::Start);
        const Cost floor = measure([&] {
            bare->find(needle);
            bare->viewport()->repaint();
        });
        run.bareWall.add(floor.wall);
        run.bareCpu.add(floor.cpu);
    }
}

void registerBenchmarks()
{
    const auto add = [](const std::string &name, int iterations, auto run) {
        benchmark::RegisterBenchmark(name.c_str(),
                                     [name, run](benchmark::State &state) { run(state, name); })
            ->Iterations(iterations)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    };
    add("OneLine/1MB/open", 3, opening);
    add("OneLine/1MB/typing-end", 1,
        [](benchmark::State &state, const std::string &name) { typing(state, name, false); });
    add("OneLine/1MB/typing-middle", 1,
        [](benchmark::State &state, const std::string &name) { typing(state, name, true); });
    add("OneLine/1MB/find-next", 5, findNext);
    add("OneLine/1MB/idle-10s", 1, idle);
}

void printSummary()
{
    if (g_figures.order.empty())
        return;
    std::fprintf(stderr, "\n1 MB single-line page, ours beside a bare QPlainTextEdit (medians, ms; "
                         "CPU is the process's CPU time)\n");
    std::fprintf(stderr, "%-28s %6s %9s %9s %6s %9s %9s %9s\n", "benchmark", "ours n", "wall",
                 "cpu", "bare n", "wall", "cpu", "hdl p99us");
    for (const std::string &name : g_figures.order) {
        const Figures &run = g_figures[name];
        std::fprintf(stderr, "%-28s %6zu %9.3f %9.3f %6zu %9.3f %9.3f %9.1f\n", name.c_str(),
                     run.oursWall.size(), run.oursWall.percentileUs(0.5) / 1e3,
                     run.oursCpu.percentileUs(0.5) / 1e3, run.bareWall.size(),
                     run.bareWall.percentileUs(0.5) / 1e3, run.bareCpu.percentileUs(0.5) / 1e3,
                     run.handlers.empty() ? 0.0 : run.handlers.percentileUs(0.99));
        if (name.find("idle") != std::string::npos) {
            std::fprintf(stderr,
                         "    idle CPU, ours/bare: %.2f%% / %.2f%% of a core (target < 1%%); %s\n",
                         100.0 * run.oursCpu.meanUs() / (kIdleMs * 1e3),
                         100.0 * run.bareCpu.meanUs() / (kIdleMs * 1e3), run.note.c_str());
        }
        if (name.find("typing") != std::string::npos) {
            std::fprintf(stderr, "    per key, ours mean %.3f ms, p99 %.3f ms (target <= 5 ms)\n",
                         run.oursWall.meanUs() / 1e3, run.oursWall.percentileUs(0.99) / 1e3);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, registerBenchmarks, [] {
        printSummary();
        g_page.reset();
    });
}
