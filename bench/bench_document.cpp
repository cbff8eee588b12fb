// Opening, saving and position conversion on a 10 MB GBK page, each beside
// its floor: the bare widget or the bare write.
#include "document/pagefile.h"
#include "editor/caretstatus.h"
#include "editor/richtextbox.h"
#include "platform/ansicodec.h"
#include "platform/places.h"
#include "platform/statusline.h"
#include "shell/framain.h"
#include "support/benchmain.h"
#include "support/bigpage.h"
#include "support/silentprompts.h"
#include "support/wholeprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

struct BigPage {
    QTemporaryDir folder;
    QString path;
    QByteArray bytes;
    QString text; // as the editing area holds it, line breaks as LF

    BigPage()
    {
        bytes = makeBigPageBytes();
        path = folder.filePath(QStringLiteral("big.htm"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        text = RichTextBox::normalizedLineBreaks(AnsiCodec::decode(bytes));
        Places::setProgramFolder(folder.path());
    }
};

BigPage &bigPage()
{
    static BigPage page;
    return page;
}

void setPageCounters(benchmark::State &state)
{
    state.counters["page_MB"] = double(bigPage().bytes.size()) / 1e6;
}

// Start-up with the page on the command line through to the first paint.
void BM_OpenPage(benchmark::State &state)
{
    BigPage &page = bigPage();
    SilentPrompts prompts;
    for (auto _ : state) {
        auto *window = new FRAmain(prompts);
        window->Form_Load({page.path});
        window->richText()->viewport()->repaint();
        state.PauseTiming();
        delete window;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    setPageCounters(state);
}

void BM_OpenBareSetPlainText(benchmark::State &state)
{
    BigPage &page = bigPage();
    for (auto _ : state) {
        auto *edit = new QPlainTextEdit;
        showBareEdit(*edit);
        edit->setPlainText(page.text);
        edit->viewport()->repaint();
        state.PauseTiming();
        delete edit;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    setPageCounters(state);
}

// Memory held by an open page, in MB per MB of page.
void BM_OpenMemory(benchmark::State &state)
{
    BigPage &page = bigPage();
    SilentPrompts prompts;
    for (auto _ : state) {
        const qint64 before = residentBytes();
        FRAmain window(prompts);
        window.Form_Load({page.path});
        window.richText()->viewport()->repaint();
        const qint64 after = residentBytes();
        state.counters["MB_per_page_MB"] = double(after - before) / double(page.bytes.size());
    }
    setPageCounters(state);
}

struct OpenPage {
    SilentPrompts prompts;
    FRAmain window{prompts};
    OpenPage() { window.Form_Load({bigPage().path}); }
};

// The window goes while the application is still there.
std::unique_ptr<OpenPage> g_openPage;

OpenPage &openPage()
{
    if (!g_openPage)
        g_openPage = std::make_unique<OpenPage>();
    return *g_openPage;
}

// Text out of the editing area, encoding, writing, fsync and rename.
void BM_SavePage(benchmark::State &state)
{
    OpenPage &open = openPage();
    const QString target = bigPage().folder.filePath(QStringLiteral("saved.htm"));
    for (auto _ : state) {
        const SafeFile::Result result = PageFile::write(target, open.window.richText()->pageText());
        if (!result.ok)
            state.SkipWithError("save failed");
    }
    setPageCounters(state);
}

// Saving a page of five million short lines whose breaks are CR LF (0) or LF
// (1): the same time for both, and a line of another kind in each (2: CR LF
// with one LF line) costs nothing more.
void BM_SaveManyLines(benchmark::State &state)
{
    const int kind = int(state.range(0));
    QByteArray bytes;
    const QByteArray line = kind == 1 ? QByteArray("<p>line</p>\n") : QByteArray("<p>line</p>\r\n");
    bytes.reserve(line.size() * 5'000'000 + 16);
    for (int i = 0; i < 5'000'000; ++i)
        bytes += line;
    if (kind == 2)
        bytes += "<p>lf</p>\n";
    const QString path = bigPage().folder.filePath(QStringLiteral("lines.htm"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        state.SkipWithError("write failed");
    file.close();
    bytes = QByteArray();
    PageFile::ReadResult page = PageFile::read(path);
    const PageFormat format = page.format;
    RichTextBox box;
    box.setPageText(std::move(page.page));
    const QString target = bigPage().folder.filePath(QStringLiteral("lines-saved.htm"));
    for (auto _ : state) {
        if (!PageFile::write(target, box.pageText(), format).ok)
            state.SkipWithError("save failed");
    }
    state.SetLabel(kind == 0 ? "CRLF" : kind == 1 ? "LF" : "CRLF, one LF line");
}

void BM_SaveBareBytes(benchmark::State &state)
{
    const QString target = bigPage().folder.filePath(QStringLiteral("bare.htm"));
    const QByteArray &bytes = bigPage().bytes;
    for (auto _ : state) {
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
            state.SkipWithError("write failed");
    }
    setPageCounters(state);
}

void BM_ModelToWidgetPosition(benchmark::State &state)
{
    RichTextBox *box = openPage().window.richText();
    const qsizetype middle = box->textLength() / 2;
    qsizetype position = middle;
    for (auto _ : state) {
        benchmark::DoNotOptimize(box->toWidgetPosition(position));
        position = position == middle ? middle + 1001 : middle;
    }
}

void BM_WidgetToModelPosition(benchmark::State &state)
{
    RichTextBox *box = openPage().window.richText();
    const int middle = box->document()->characterCount() / 2;
    int position = middle;
    for (auto _ : state) {
        benchmark::DoNotOptimize(box->toModelPosition(position));
        position = position == middle ? middle + 1001 : middle;
    }
}

void BM_SelStartInTheMiddle(benchmark::State &state)
{
    RichTextBox *box = openPage().window.richText();
    const qsizetype middle = box->textLength() / 2;
    for (auto _ : state) {
        box->setSelStart(middle);
        benchmark::DoNotOptimize(box->SelStart());
    }
}

// The status refresh of a mouse release with the caret at the end of the
// page: lines, column, line count and byte count.
void BM_StatusRefreshAtEnd(benchmark::State &state)
{
    FRAmain &window = openPage().window;
    RichTextBox *box = window.richText();
    box->setSelStart(box->textLength());
    CaretStatus::refreshWithCaret(*box, window.status()); // counts are built once
    for (auto _ : state)
        CaretStatus::refreshWithCaret(*box, window.status());
}

// Its floor: one copy of the page out of the editing area.
void BM_StatusFloorToPlainText(benchmark::State &state)
{
    RichTextBox *box = openPage().window.richText();
    for (auto _ : state)
        benchmark::DoNotOptimize(box->toPlainText());
}

// The editor's folder: the benchmark programs are built beside it.
QString editorProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zelmohtml");
}

// Runs the program with arguments to its end once per iteration.
void timeWholeProcess(benchmark::State &state, const QString &program, const QStringList &arguments,
                      const char *failure)
{
    for (auto _ : state) {
        const double seconds = runToFirstPaint(program, arguments);
        if (seconds < 0)
            state.SkipWithError(failure);
        state.SetIterationTime(seconds);
    }
    setPageCounters(state);
}

// The whole editor process: start, read, decode, fill, first paint, exit.
void BM_OpenWholeProcess(benchmark::State &state)
{
    timeWholeProcess(state, editorProgram(), {bigPage().path}, "the editor did not run");
}

// The floor: a process with nothing but a QPlainTextEdit given the same page.
void BM_OpenWholeProcessBare(benchmark::State &state)
{
    timeWholeProcess(state, QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--bare-open"), bigPage().path},
                     "the bare editor did not run");
}

} // namespace

// The bare process of BM_OpenWholeProcessBare.
int bareOpen(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QPlainTextEdit edit;
    showBareEdit(edit);
    edit.setPlainText(QStringDecoder("GBK").decode(file.readAll()));
    edit.viewport()->repaint();
    std::fflush(nullptr);
    std::_Exit(0); // as the editor does: the time to the first paint only
}

// Memory first, while the process is fresh.
BENCHMARK(BM_OpenMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OpenWholeProcess)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_OpenWholeProcessBare)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_OpenPage)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenBareSetPlainText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SavePage)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SaveBareBytes)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_SaveManyLines)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StatusRefreshAtEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StatusFloorToPlainText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ModelToWidgetPosition);
BENCHMARK(BM_WidgetToModelPosition);
BENCHMARK(BM_SelStartInTheMiddle);

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--bare-open") == 0) {
        QApplication app(argc, argv);
        return bareOpen(QString::fromLocal8Bit(argv[2]));
    }
    return runBenchmarks(argc, argv, {}, [] { g_openPage.reset(); });
}
