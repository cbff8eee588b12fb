// Typing into a page of 10 KB, 1 MB and 10 MB at its start, middle and end
// with the completion list open, from the key event to the repaint of the
// editing area, beside the same keys typed into a bare QPlainTextEdit that
// holds the same page; the time the keystrokes spend in the editor's own
// handlers; and the whole page of 10 MB put in upper case.
#include "editor/richtextbox.h"
#include "editor/tagcompletion.h"
#include "shell/framain.h"
#include "shell/maincommands.h"
#include "support/benchmain.h"
#include "support/typingkeys.h"
#include "support/typingpage.h"
#include "support/typingsamples.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kKeystrokes = 400;

enum class Place { Start, Middle, End };

// How a keystroke ends: with the whole editing area painted again, or with
// what the keystroke left to paint (as the event loop would do it).
enum class Paint { WholeArea, WhatChanged };

struct TypingMode {
    bool handlers = true;
    Paint paint = Paint::WholeArea;
};

struct PageSize {
    qsizetype bytes;
    const char *name;
};
const PageSize kSizes[] = {{10 * 1000, "10KB"}, {1000 * 1000, "1MB"}, {10 * 1000 * 1000, "10MB"}};

// One page at a time: the 10 MB pages take a few hundred MB.
std::unique_ptr<TypingPage> g_page;

TypingPage &typingPage(qsizetype bytes, bool withHandlers)
{
    if (!g_page || g_page->pageBytes() != bytes || (withHandlers && !g_page->hasHandlers())) {
        g_page.reset();
        g_page = std::make_unique<TypingPage>(bytes);
    }
    return *g_page;
}

QString textBeforeCaret(const QPlainTextEdit *edit)
{
    const QTextCursor cursor = edit->textCursor();
    return cursor.block().text().left(cursor.positionInBlock());
}

// Key press and release, then the paint.
qint64 timeKeystroke(QPlainTextEdit *edit, const Key &key, Paint paint)
{
    const qint64 start = nowNs();
    sendKey(edit, key);
    if (paint == Paint::WholeArea)
        edit->viewport()->repaint();
    else
        QCoreApplication::sendPostedEvents(edit->window(), QEvent::UpdateRequest);
    return nowNs() - start;
}

// What the keystroke left for the event loop.
qint64 timeDeferredWork()
{
    const qint64 start = nowNs();
    QCoreApplication::processEvents();
    return nowNs() - start;
}

// The samples of one typing benchmark, over all its repetitions.
struct TypingRun {
    Samples ours;
    Samples bare;
    Samples oursByKind[3];
    Samples bareByKind[3];
    Samples oursDeferred;
    Samples bareDeferred;
    // CPU time of the whole keystroke, what it left to the event loop included.
    Samples oursCpu;
    Samples bareCpu;
    Samples handlers;
    Samples handlersByKind[3];
    Samples keyDown;
    Samples keyUp;
    Samples change;
    Samples status;
    // A full repaint of the editing area with the list shown over it, less
    // the same repaint with the list hidden.
    Samples listPaint;
    // The floor of any handler that opens a list: Qt showing one plain child
    // widget of the window, without children, after a "<" into the bare
    // editor and its paint.
    Samples showFloor;
    int letters = 0;
    int lettersWithList = 0;
    bool narrowLine = true;

    void append(const TypingRun &other)
    {
        for (auto [to, from] : {std::pair{&ours, &other.ours},
                                {&bare, &other.bare},
                                {&oursDeferred, &other.oursDeferred},
                                {&bareDeferred, &other.bareDeferred},
                                {&oursCpu, &other.oursCpu},
                                {&bareCpu, &other.bareCpu},
                                {&handlers, &other.handlers},
                                {&keyDown, &other.keyDown},
                                {&keyUp, &other.keyUp},
                                {&change, &other.change},
                                {&status, &other.status},
                                {&listPaint, &other.listPaint},
                                {&showFloor, &other.showFloor}})
            to->append(*from);
        for (int kind = 0; kind < 3; ++kind) {
            oursByKind[kind].append(other.oursByKind[kind]);
            bareByKind[kind].append(other.bareByKind[kind]);
            handlersByKind[kind].append(other.handlersByKind[kind]);
        }
        letters += other.letters;
        lettersWithList += other.lettersWithList;
        narrowLine = narrowLine && other.narrowLine;
    }
};

NamedRuns<TypingRun> g_typingRuns;
std::map<std::string, Samples> g_caseRuns;

double ratioOf(const Samples &ours, const Samples &bare)
{
    return bare.meanUs() > 0 ? ours.meanUs() / bare.meanUs() : 0;
}

void setTypingCounters(benchmark::State &state, const TypingRun &run)
{
    state.counters["ours_p99_us"] = run.ours.percentileUs(0.99);
    state.counters["bare_mean_us"] = run.bare.meanUs();
    state.counters["bare_p99_us"] = run.bare.percentileUs(0.99);
    state.counters["ratio"] = ratioOf(run.ours, run.bare);
    state.counters["cpu_ratio"] = ratioOf(run.oursCpu, run.bareCpu);
    state.counters["back_us"] = run.oursByKind[int(KeyKind::Back)].meanUs();
    state.counters["bare_back_us"] = run.bareByKind[int(KeyKind::Back)].meanUs();
    state.counters["deferred_us"] = run.oursDeferred.meanUs();
    state.counters["narrow_line"] = run.narrowLine ? 1 : 0;
    if (!run.handlers.empty()) {
        state.counters["handlers_p50_us"] = run.handlers.percentileUs(0.5);
        state.counters["handlers_p99_us"] = run.handlers.percentileUs(0.99);
        if (!run.listPaint.empty())
            state.counters["list_paint_us"] = run.listPaint.percentileUs(0.5);
        state.counters["list_open"] =
            run.letters > 0 ? double(run.lettersWithList) / run.letters : 0;
    }
}

qint64 timeRepaint(QPlainTextEdit *edit)
{
    const qint64 start = nowNs();
    edit->viewport()->repaint();
    return nowNs() - start;
}

// Opens or closes the list and paints what that leaves to paint.
void showList(TypingPage &page, bool shown)
{
    TagCompletion &completion = page.window().completion();
    if (shown)
        completion.RichText_Change(); // opens it: a "<" stands before the caret
    else
        completion.close();
    page.box()->viewport()->repaint();
    QCoreApplication::processEvents();
}

// What the list costs a full repaint of the editing area where it covers
// it: repaints with the list open and closed, in turns.
void measureListPaint(TypingPage &page, TypingRun &run)
{
    RichTextBox *box = page.box();
    sendKey(box, kWord[0]);
    if (!page.window().completion().isShown())
        return;
    for (int i = 0; i < 40; ++i) {
        const bool shownFirst = i % 2 == 0;
        showList(page, shownFirst);
        const qint64 first = timeRepaint(box);
        showList(page, !shownFirst);
        const qint64 second = timeRepaint(box);
        run.listPaint.add(shownFirst ? first - second : second - first);
    }
    eraseTyped(box, 1);
}

// Shows probe, a plain widget where the list would show, and hides it again.
qint64 timeShowing(QWidget *probe)
{
    const qint64 start = nowNs();
    probe->show();
    const qint64 elapsed = nowNs() - start;
    QCoreApplication::processEvents();
    probe->hide();
    QCoreApplication::processEvents();
    return elapsed;
}

// One key into both editors, ours first; after a "<" into the bare editor,
// probe (when given) is shown.
void typeKey(benchmark::State &state, TypingPage &page, const Key &key, Paint paint, TypingRun &run,
             QWidget *probe)
{
    const int kind = int(key.kind);
    page.startKeystroke();
    const qint64 oursCpu = cpuNs();
    const qint64 ours = timeKeystroke(page.box(), key, paint);
    const HandlerTimes times = page.handlerTimes();
    run.oursDeferred.add(timeDeferredWork());
    const qint64 bareCpu = cpuNs();
    run.oursCpu.add(bareCpu - oursCpu);
    const qint64 floor = timeKeystroke(page.bare(), key, paint);
    run.bareDeferred.add(timeDeferredWork());
    run.bareCpu.add(cpuNs() - bareCpu);
    if (probe && key.kind == KeyKind::Open)
        run.showFloor.add(timeShowing(probe));
    state.SetIterationTime(double(ours) / 1e9);

    run.ours.add(ours);
    run.bare.add(floor);
    run.oursByKind[kind].add(ours);
    run.bareByKind[kind].add(floor);
    if (!page.hasHandlers())
        return;
    if (!times.passed)
        state.SkipWithError("the key filter kept a typed key");
    run.handlers.add(times.total());
    run.handlersByKind[kind].add(times.total());
    run.keyDown.add(times.keyDown);
    run.keyUp.add(times.keyUp);
    run.change.add(times.change);
    run.status.add(times.status);
    if (key.kind == KeyKind::Letter) {
        ++run.letters;
        run.lettersWithList += page.window().completion().isShown() ? 1 : 0;
    }
}

void typeWords(benchmark::State &state, const std::string &name, const PageSize &size, Place place,
               TypingMode mode)
{
    TypingPage &page = typingPage(size.bytes, mode.handlers);
    if (!page.ready()) {
        state.SkipWithError("tags.dat not found: the completion list would not open");
        return;
    }
    if (!mode.handlers)
        page.removeHandlers();
    RichTextBox *box = page.box();
    QPlainTextEdit *bare = page.bare();
    const int lines = box->document()->blockCount();
    const int target = place == Place::Start ? 8 : place == Place::Middle ? lines / 2 : lines - 9;

    TypingRun run;
    run.narrowLine = page.placeCarets(target).narrower;
    if (mode.handlers && mode.paint == Paint::WholeArea)
        measureListPaint(page, run);
    QWidget probe(&page.window());
    probe.setAutoFillBackground(true);
    if (const auto *list = page.window().findChild<QWidget *>(QStringLiteral("contAutoList")))
        probe.setGeometry(list->geometry());
    probe.hide();
    int typed = 0;
    int index = 0;
    for (auto _ : state) {
        const Key &key = kWord[index % kWordKeys];
        typeKey(state, page, key, mode.paint, run, mode.handlers ? &probe : nullptr);
        if (state.error_occurred())
            break;
        typed += key.kind == KeyKind::Back ? -1 : 1;
        if (++index % kWordKeys != 0)
            continue;
        if (!textBeforeCaret(box).endsWith(kWordText) ||
            !textBeforeCaret(bare).endsWith(kWordText)) {
            state.SkipWithError("the typed word is not in the text");
            break;
        }
        eraseTyped(box, typed);
        eraseTyped(bare, typed);
        typed = 0;
    }
    eraseTyped(box, typed);
    eraseTyped(bare, typed);

    setTypingCounters(state, run);
    g_typingRuns[name].append(run);
}

constexpr qsizetype kCasePageBytes = 10 * 1000 * 1000;

// The tag toolbar's upper-case button with nothing selected, answered Yes:
// the whole page converted and written back, through to the repaint.
void upperCaseWholePage(benchmark::State &state, const std::string &name)
{
    TypingPage &page = typingPage(kCasePageBytes, false);
    RichTextBox *box = page.box();
    const QString firstLine = page.text().left(page.text().indexOf(u'\n'));
    Samples &samples = g_caseRuns[name];
    for (auto _ : state) {
        box->setSelStart(0);
        const int asked = page.prompts().asked;
        const qint64 start = nowNs();
        page.window().commands().tags.noselect_Click(0);
        box->viewport()->repaint();
        const qint64 elapsed = nowNs() - start;
        state.SetIterationTime(double(elapsed) / 1e9);
        samples.add(elapsed);
        if (page.prompts().asked != asked + 1 ||
            box->document()->firstBlock().text() != firstLine.toUpper()) {
            state.SkipWithError("the page was not put in upper case");
            break;
        }
        box->setText(page.text());
        box->viewport()->repaint();
        QCoreApplication::processEvents();
    }
}

// The floor: the bare editor's whole text in upper case and set back.
void upperCaseBare(benchmark::State &state, const std::string &name)
{
    TypingPage &page = typingPage(kCasePageBytes, false);
    QPlainTextEdit *bare = page.bare();
    Samples &samples = g_caseRuns[name];
    for (auto _ : state) {
        const qint64 start = nowNs();
        bare->setPlainText(bare->toPlainText().toUpper());
        bare->viewport()->repaint();
        const qint64 elapsed = nowNs() - start;
        state.SetIterationTime(double(elapsed) / 1e9);
        samples.add(elapsed);
        bare->setPlainText(page.text());
        bare->viewport()->repaint();
        QCoreApplication::processEvents();
    }
}

const char *placeName(Place place)
{
    return place == Place::Start ? "start" : place == Place::Middle ? "middle" : "end";
}

std::string typingName(const char *kind, const PageSize &size, Place place)
{
    return std::string(kind) + "/" + size.name + "/" + placeName(place);
}

void registerTyping(const char *kind, const PageSize &size, Place place, TypingMode mode)
{
    const std::string name = typingName(kind, size, place);
    benchmark::RegisterBenchmark(name.c_str(),
                                 [name, size, place, mode](benchmark::State &state) {
                                     typeWords(state, name, size, place, mode);
                                 })
        ->Iterations(kKeystrokes)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

void registerBenchmarks()
{
    const Place places[] = {Place::Start, Place::Middle, Place::End};
    for (const PageSize &size : kSizes) {
        for (const Place place : places)
            registerTyping("Typing", size, place, {});
    }
    const PageSize &big = kSizes[2];
    // Painting only what the keystroke changed, as the event loop does: the
    // list is not painted again unless its selection changed.
    for (const Place place : places)
        registerTyping("TypingPaintChanged", big, place, {true, Paint::WhatChanged});
    // The same keys into the same window with none of the editor's handlers:
    // what the handlers add, on average. Comes last: the handlers stay out.
    for (const Place place : places)
        registerTyping("TypingNoHandlers", big, place, {false, Paint::WholeArea});
    // The whole page put in upper case, and its floor.
    using CaseRun = void (*)(benchmark::State &, const std::string &);
    const std::pair<std::string, CaseRun> caseRuns[] = {
        {"UpperCaseWholePage/10MB", upperCaseWholePage}, {"UpperCaseBare/10MB", upperCaseBare}};
    for (const auto &[name, run] : caseRuns) {
        benchmark::RegisterBenchmark(
            name.c_str(), [name = name, run = run](benchmark::State &state) { run(state, name); })
            ->Iterations(3)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
}

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

void printTypingRun(const std::string &name, const TypingRun &run)
{
    const double ratio = ratioOf(run.ours, run.bare);
    const bool handlers = !run.handlers.empty();
    const double p99 = run.handlers.percentileUs(0.99);
    std::fprintf(stderr, "%-28s %5zu %9.1f %9.1f %9.1f %9.1f %6.2f %-7s %9.2f %9.2f %-7s\n",
                 name.c_str(), run.ours.size(), run.ours.meanUs(), run.ours.percentileUs(0.99),
                 run.bare.meanUs(), run.bare.percentileUs(0.99), ratio,
                 handlers ? verdict(ratio <= 1.2) : "-", run.handlers.percentileUs(0.5), p99,
                 handlers ? verdict(p99 < 50) : "-");
    const auto open = int(KeyKind::Open);
    const auto letter = int(KeyKind::Letter);
    const auto back = int(KeyKind::Back);
    std::fprintf(stderr,
                 "    mean by key, ours/bare: \"<\" %.1f/%.1f, letters %.1f/%.1f, Backspace "
                 "%.1f/%.1f; left to the event loop: %.1f/%.1f (ratio with it %.2f)\n",
                 run.oursByKind[open].meanUs(), run.bareByKind[open].meanUs(),
                 run.oursByKind[letter].meanUs(), run.bareByKind[letter].meanUs(),
                 run.oursByKind[back].meanUs(), run.bareByKind[back].meanUs(),
                 run.oursDeferred.meanUs(), run.bareDeferred.meanUs(),
                 (run.ours.meanUs() + run.oursDeferred.meanUs()) /
                     qMax(1.0, run.bare.meanUs() + run.bareDeferred.meanUs()));
    std::fprintf(
        stderr,
        "    CPU for the %zu keys, ours/bare: %.3f/%.3f s (ratio %.2f, target <= 1.2: %s)\n",
        run.oursCpu.size(), run.oursCpu.meanUs() * double(run.oursCpu.size()) / 1e6,
        run.bareCpu.meanUs() * double(run.bareCpu.size()) / 1e6, ratioOf(run.oursCpu, run.bareCpu),
        handlers ? verdict(ratioOf(run.oursCpu, run.bareCpu) <= 1.2) : "-");
    if (!handlers)
        return;
    std::fprintf(
        stderr,
        "    handlers p99: key down %.2f, key up %.2f, change %.2f, byte count %.2f; "
        "p50/p99 by key: \"<\" %.1f/%.1f, letters %.1f/%.1f, Backspace %.1f/%.1f\n",
        run.keyDown.percentileUs(0.99), run.keyUp.percentileUs(0.99), run.change.percentileUs(0.99),
        run.status.percentileUs(0.99), run.handlersByKind[open].percentileUs(0.5),
        run.handlersByKind[open].percentileUs(0.99), run.handlersByKind[letter].percentileUs(0.5),
        run.handlersByKind[letter].percentileUs(0.99), run.handlersByKind[back].percentileUs(0.5),
        run.handlersByKind[back].percentileUs(0.99));
    if (!run.showFloor.empty()) {
        std::fprintf(stderr,
                     "    floor: Qt showing one plain widget after the bare editor's \"<\", "
                     "p50/p99 %.1f/%.1f\n",
                     run.showFloor.percentileUs(0.5), run.showFloor.percentileUs(0.99));
    }
    if (!run.listPaint.empty()) {
        std::fprintf(stderr,
                     "    the list over the editing area adds %.1f to a full repaint (median)\n",
                     run.listPaint.percentileUs(0.5));
    }
    std::fprintf(stderr,
                 "    list open on %d of %d letters; typed line narrower than the widest in "
                 "view: %s\n",
                 run.lettersWithList, run.letters, run.narrowLine ? "yes" : "NO");
}

// The figures over all repetitions, against the targets.
void printSummary()
{
    if (g_typingRuns.order.empty() && g_caseRuns.empty())
        return;
    std::fprintf(stderr, "\nKey event to repaint, over all repetitions (microseconds)\n");
    std::fprintf(stderr, "%-28s %5s %9s %9s %9s %9s %6s %-7s %9s %9s %-7s\n", "benchmark", "keys",
                 "ours", "ours p99", "bare", "bare p99", "ratio", "<=1.2x", "hdl p50", "hdl p99",
                 "<50us");
    for (const std::string &name : g_typingRuns.order)
        printTypingRun(name, g_typingRuns[name]);

    std::fprintf(stderr, "\nSame cost on every page size (largest over smallest, target <= 2)\n");
    for (const char *place : {"start", "middle", "end"}) {
        double smallest = 0;
        double largest = 0;
        double smallestP99 = 0;
        double largestP99 = 0;
        int sizes = 0;
        for (const PageSize &size : kSizes) {
            const auto found =
                g_typingRuns.runs.find(std::string("Typing/") + size.name + "/" + place);
            if (found == g_typingRuns.runs.end())
                continue;
            const double mean = found->second.ours.meanUs();
            const double p99 = found->second.handlers.percentileUs(0.99);
            smallest = sizes == 0 ? mean : qMin(smallest, mean);
            largest = qMax(largest, mean);
            smallestP99 = sizes == 0 ? p99 : qMin(smallestP99, p99);
            largestP99 = qMax(largestP99, p99);
            ++sizes;
        }
        if (sizes < 2)
            continue;
        const double ratio = largest / smallest;
        const double handlerRatio = smallestP99 > 0 ? largestP99 / smallestP99 : 0;
        std::fprintf(stderr, "%-7s key to repaint %.2fx (%s), handlers p99 %.2fx (%s)\n", place,
                     ratio, verdict(ratio <= 2), handlerRatio, verdict(handlerRatio <= 2));
    }

    for (const auto &[name, samples] : g_caseRuns) {
        if (samples.empty())
            continue;
        const double seconds = samples.meanUs() / 1e6;
        std::fprintf(stderr, "%-28s mean %.3f s, max %.3f s", name.c_str(), seconds,
                     samples.maxUs() / 1e6);
        if (name.rfind("UpperCaseWholePage", 0) == 0)
            std::fprintf(stderr, " (target < 0.5 s: %s)", verdict(samples.maxUs() < 0.5e6));
        std::fprintf(stderr, "\n");
    }
}

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, registerBenchmarks, [] {
        printSummary();
        // The windows go while the application is still there.
        g_page.reset();
    });
}
