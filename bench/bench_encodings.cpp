// The same 10 MB page kept in GBK and in UTF-8, side by side: opening it in
// the editor, saving it, and finding out its encoding.
#include "document/pagefile.h"
#include "editor/richtextbox.h"
#include "platform/encodingdetection.h"
#include "platform/places.h"
#include "platform/textcodec.h"
#include "shell/framain.h"
#include "support/benchmain.h"
#include "support/bigpage.h"
#include "support/silentprompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The page in each encoding, on disk.
struct Pages {
    QTemporaryDir folder;
    QString text;
    QByteArray bytes[3];
    QString paths[3];

    Pages()
        : text(makeBigPageText())
    {
        const QString &crlfText = text;
        bytes[0] = TextCodec::forName(QStringLiteral("GBK"))->encode(crlfText);
        bytes[1] = TextCodec::forName(QStringLiteral("UTF-8"))->encode(crlfText);
        // Markup without a single non-ASCII character and without a
        // declaration: every rule has to look at the whole page.
        QString ascii = crlfText;
        for (QChar &c : ascii) {
            if (c.unicode() >= 0x80)
                c = u'x';
        }
        bytes[2] = ascii.toLatin1();
        for (int i = 0; i < 3; ++i) {
            paths[i] = folder.filePath(QStringLiteral("page%1.htm").arg(i));
            QFile file(paths[i]);
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes[i]);
        }
        Places::setProgramFolder(folder.path());
    }
};

Pages &pages()
{
    static Pages instance;
    return instance;
}

const char *const kNames[] = {"GBK", "UTF-8", "ASCII"};

void label(benchmark::State &state)
{
    const int page = int(state.range(0));
    state.SetLabel(kNames[page]);
    state.counters["page_MB"] = double(pages().bytes[page].size()) / 1e6;
}

// Start-up with the page on the command line through to the first paint.
void BM_Open(benchmark::State &state)
{
    const QString path = pages().paths[state.range(0)];
    SilentPrompts prompts;
    for (auto _ : state) {
        auto *window = new FRAmain(prompts);
        window->Form_Load({path});
        window->richText()->viewport()->repaint();
        state.PauseTiming();
        delete window;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    label(state);
}

// Reading and decoding alone.
void BM_Read(benchmark::State &state)
{
    const QString path = pages().paths[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(PageFile::read(path));
    label(state);
}

void BM_Detect(benchmark::State &state)
{
    const QByteArray &bytes = pages().bytes[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodingDetection::detect(bytes));
    label(state);
}

// Text out of the editing area, encoding, writing, fsync and rename.
void BM_Save(benchmark::State &state)
{
    const int page = int(state.range(0));
    SilentPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({pages().paths[page]});
    const PageFile::ReadResult format = PageFile::read(pages().paths[page]);
    const QString target = pages().folder.filePath(QStringLiteral("saved.htm"));
    for (auto _ : state) {
        if (!PageFile::write(target, window.richText()->pageText(), format.format).ok)
            state.SkipWithError("save failed");
    }
    label(state);
}

} // namespace

BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Read)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Detect)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

ZELMO_BENCHMARK_MAIN()
