// What the recovery journal costs on a page of 10 MB: a keystroke with the
// journal following the edits, beside the same keystroke without it; the
// part of a journal write that runs on the user-interface thread (copying
// the text a slice at a time between keystrokes: the longest slice, and a
// keystroke while a copy is under way, beside a bare keystroke); and the
// part that runs beside it (joining, encoding and the atomic write, synced
// to disk).
#include "document/documentsession.h"
#include "editor/richtextbox.h"
#include "platform/statusline.h"
#include "recovery/journalfile.h"
#include "recovery/journalfolder.h"
#include "recovery/recoveryjournal.h"
#include "support/benchmain.h"
#include "support/bigpage.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

class NoStatus : public StatusLine {
public:
    QString Text() const override { return {}; }
    void setText(const QString &) override {}
    QString Text2() const override { return {}; }
    void setText2(const QString &) override {}
};

struct JournalPage {
    QTemporaryDir state;
    RichTextBox box;
    DocumentSession session;
    NoStatus status;
    std::unique_ptr<WindowLock> lock;
    std::unique_ptr<RecoveryJournal> journal;

    JournalPage()
    {
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        lock = std::make_unique<WindowLock>();
        box.resize(800, 600);
        box.show();
        box.setText(makeBigPageText());
        box.setModified(false);
        session.CurrentFile = state.filePath(QStringLiteral("page.htm"));
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(box.document()->characterCount() / 2);
        box.setTextCursor(cursor);
    }

    void follow(bool on)
    {
        journal.reset();
        if (!on)
            return;
        journal = std::make_unique<RecoveryJournal>(box, session, status, *lock);
        QObject::connect(&box, &RichTextBox::Change, journal.get(), &RecoveryJournal::noteEdit);
    }

    void key()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&box, &release);
    }
};

std::unique_ptr<JournalPage> g_page;

JournalPage &page()
{
    if (!g_page)
        g_page = std::make_unique<JournalPage>();
    return *g_page;
}

// Keystrokes in the middle of the page; the journal's timers restart on each
// and never fire within the loop.
void keystrokes(benchmark::State &state, bool withJournal)
{
    JournalPage &p = page();
    p.follow(withJournal);
    for (auto _ : state)
        p.key();
    p.follow(false);
    state.SetLabel(withJournal ? "with journal" : "without journal (baseline)");
}

void BM_KeystrokeWithoutJournal(benchmark::State &state)
{
    keystrokes(state, false);
}

void BM_KeystrokeWithJournal(benchmark::State &state)
{
    keystrokes(state, true);
}

// Nanoseconds that work takes.
template <typename Work> double nanoseconds(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed());
}

// What a journal write takes from the user-interface thread: the text
// copied a slice at a time while a key is typed in the middle of the page
// after every slice (each key makes the part it falls in be copied again).
// The longest stretch of the journal's is what a key may have to wait for;
// it is given beside a bare keystroke measured in the same run.
void BM_JournalCopyInSlices(benchmark::State &state)
{
    JournalPage &p = page();
    std::vector<double> bareKeys;
    for (int i = 0; i < 300; ++i)
        bareKeys.push_back(nanoseconds([&] { p.key(); }));
    std::vector<double> slices;
    std::vector<double> keys;
    for (auto _ : state) {
        std::unique_ptr<TextCopy> copy = p.box.copyPageText();
        for (bool done = false; !done;) {
            slices.push_back(nanoseconds([&] { done = copy->copyMore(); }));
            if (!done)
                keys.push_back(nanoseconds([&] { p.key(); }));
        }
        benchmark::DoNotOptimize(copy->takeParts());
    }
    // Mean, 99th percentile and longest, in microseconds; the longest of
    // anything is at the mercy of the machine's other work.
    const auto figures = [&](const char *name, std::vector<double> &times) {
        std::sort(times.begin(), times.end());
        double total = 0;
        for (const double time : times)
            total += time;
        const std::string prefix(name);
        state.counters[prefix + "_mean_us"] = total / double(times.size()) / 1000;
        state.counters[prefix + "_p99_us"] = times[times.size() * 99 / 100] / 1000;
        state.counters[prefix + "_max_us"] = times.back() / 1000;
    };
    figures("bare_key", bareKeys);
    figures("slice", slices);
    figures("key_while_copying", keys);
    state.counters["slices"] = double(slices.size()) / double(state.iterations());
    state.counters["slice_per_bare_key_mean"] =
        state.counters["slice_mean_us"] / state.counters["bare_key_mean_us"];
    state.counters["slice_per_bare_key_p99"] =
        state.counters["slice_p99_us"] / state.counters["bare_key_p99_us"];
    state.counters["slice_per_bare_key_max"] =
        state.counters["slice_max_us"] / state.counters["bare_key_max_us"];
}

// The text taken at once, as at a session's end (the whole of it on the
// user-interface thread).
void BM_JournalTakeText(benchmark::State &state)
{
    JournalPage &p = page();
    for (auto _ : state) {
        QString text = p.box.pageText();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * p.box.textLength() * 2);
}

// The rest, on the writing thread: joining the parts, encoding with its
// checksum, and the atomic write synced to disk.
void BM_JournalEncodeAndWrite(benchmark::State &state)
{
    JournalPage &p = page();
    std::unique_ptr<TextCopy> copy = p.box.copyPageText();
    while (!copy->copyMore()) {
    }
    const std::vector<QString> parts = copy->takeParts();
    JournalFile::Entry entry;
    entry.pagePath = p.session.CurrentFile;
    entry.time = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        entry.text = TextCopy::joined(parts);
        const SafeFile::Result result =
            JournalFile::write(p.lock->journalPath(), JournalFile::encode(entry));
        if (!result.ok)
            state.SkipWithError(qPrintable(result.error));
    }
    state.SetBytesProcessed(state.iterations() * entry.text.size() * 2);
}

} // namespace

BENCHMARK(BM_KeystrokeWithoutJournal)->Unit(benchmark::kMicrosecond)->Repetitions(3);
BENCHMARK(BM_KeystrokeWithJournal)->Unit(benchmark::kMicrosecond)->Repetitions(3);
BENCHMARK(BM_JournalCopyInSlices)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_JournalTakeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JournalEncodeAndWrite)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, {}, [] { g_page.reset(); });
}
