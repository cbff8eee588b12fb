// The checker: "--check" of a page of 10 MB and of an ordinary page, beside
// reading the same file (the part of "--check" that opening shares); the CPU
// that typing into a page of 10 MB costs with the checker on, beside the
// same typing with it off, in one run; and how soon after a page is in the
// editing area the first problems in view are underlined.
#include "checker/checkcommand.h"
#include "checker/checkerview.h"
#include "checker/checkrun.h"
#include "document/pagefile.h"
#include "editor/richtextbox.h"
#include "shell/framain.h"
#include "support/benchmain.h"
#include "support/bigpage.h"
#include "support/typingkeys.h"
#include "support/typingpage.h"
#include "support/typingsamples.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <ctime>
#include <memory>

namespace {

// Runs the event loop until done() or ms have passed.
void waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!(done && done()) && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

qint64 cpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QString writePage(const QTemporaryDir &folder, const char *name, qsizetype bytes)
{
    const QString path = folder.filePath(QLatin1String(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(makeBigPageBytes(bytes));
    return path;
}

// "--check" of one page against reading it, alternating, in milliseconds.
void checkCommand(benchmark::State &state, qsizetype bytes)
{
    QTemporaryDir folder;
    const QString path = writePage(folder, "page.htm", bytes);
    qint64 checkNs = 0;
    qint64 readNs = 0;
    for (auto _ : state) {
        qint64 start = nowNs();
        benchmark::DoNotOptimize(PageFile::read(path));
        readNs += nowNs() - start;
        start = nowNs();
        const auto result =
            CheckCommand::run({QStringLiteral("--check"), QStringLiteral("--quiet"), path});
        checkNs += nowNs() - start;
        state.SetIterationTime(double(nowNs() - start) / 1e9);
        benchmark::DoNotOptimize(result);
    }
    state.counters["check_ms"] = double(checkNs) / 1e6 / double(state.iterations());
    state.counters["read_ms"] = double(readNs) / 1e6 / double(state.iterations());
    state.counters["check_per_read"] = double(checkNs) / double(qMax<qint64>(readNs, 1));
}

void BM_Check10MB(benchmark::State &state)
{
    checkCommand(state, 10 * 1000 * 1000);
}

void BM_CheckOrdinaryPage(benchmark::State &state)
{
    checkCommand(state, 30 * 1000);
}

// Keystrokes typed at a steady pace (the event loop runs between them) into
// the page of 10 MB with the checker on and off, in turns; the CPU of the
// keystrokes and of the event loop while typing goes on. The check that runs
// once typing stops is counted apart.
void BM_TypingCheckerOnVsOff(benchmark::State &state)
{
    static std::unique_ptr<TypingPage> page;
    if (!page)
        page = std::make_unique<TypingPage>(10 * 1000 * 1000);
    CheckerView &checker = page->window().checker();
    RichTextBox *box = page->box();
    page->placeCarets(box->document()->blockCount() / 2);
    qint64 cpu[2] = {0, 0};
    qint64 recheckCpu = 0;
    for (auto _ : state) {
        for (int on = 0; on < 2; ++on) {
            checker.setOn(on == 1);
            waitUntil([&] { return !checker.run().isRunning(); }, 60000);
            const qint64 start = cpuNs();
            for (int word = 0; word < 4; ++word) {
                for (const Key &key : kWord) {
                    sendKey(box, key);
                    waitUntil({}, 10);
                }
                eraseTyped(box, int(kWordText.size()));
            }
            cpu[on] += cpuNs() - start;
            const qint64 idle = cpuNs();
            waitUntil([&] { return !checker.run().isRunning(); }, 60000);
            if (on)
                recheckCpu += cpuNs() - idle;
        }
    }
    const double n = double(state.iterations());
    state.counters["off_ms_cpu"] = double(cpu[0]) / 1e6 / n;
    state.counters["on_ms_cpu"] = double(cpu[1]) / 1e6 / n;
    state.counters["on_per_off"] = double(cpu[1]) / double(qMax<qint64>(cpu[0], 1));
    state.counters["recheck_ms_cpu"] = double(recheckCpu) / 1e6 / n;
}

// From a page of 10 MB put in the editing area to the first problems
// published for the lines at its top, beside putting the page there.
void BM_FirstUnderlinesAfterOpen(benchmark::State &state)
{
    static std::unique_ptr<TypingPage> page;
    if (!page)
        page = std::make_unique<TypingPage>(10 * 1000 * 1000);
    CheckerView &checker = page->window().checker();
    checker.setOn(true);
    RichTextBox *box = page->box();
    qint64 loadNs = 0;
    qint64 firstNs = 0;
    for (auto _ : state) {
        bool progressed = false;
        const QMetaObject::Connection watch = QObject::connect(
            &checker.run(), &CheckRun::progressed, [&progressed] { progressed = true; });
        const qint64 start = nowNs();
        box->setText(page->text());
        const qint64 loaded = nowNs();
        waitUntil([&progressed] { return progressed; }, 10000);
        QObject::disconnect(watch);
        box->viewport()->repaint();
        firstNs += nowNs() - loaded;
        loadNs += loaded - start;
        waitUntil([&] { return !checker.run().isRunning(); }, 60000);
    }
    const double n = double(state.iterations());
    state.counters["load_ms"] = double(loadNs) / 1e6 / n;
    state.counters["first_underlines_ms"] = double(firstNs) / 1e6 / n;
}

} // namespace

BENCHMARK(BM_Check10MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CheckOrdinaryPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TypingCheckerOnVsOff)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FirstUnderlinesAfterOpen)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv);
}
