// Find and replace over a generated site of 5,000 pages and 100 MB in mixed
// encodings (GBK, GB18030, Big5, UTF-8 with and without byte-order mark,
// UTF-16LE), beside the floors of the same work: reading every file's bytes,
// and writing the changed files safely unchanged.
#include "platform/safefile.h"
#include "platform/textcodec.h"
#include "sitesearch/sitefiles.h"
#include "sitesearch/sitesearch.h"
#include "sitesearch/sitesearchrun.h"
#include "support/benchmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kPages = 5000;
constexpr int kPageBytes = 20 * 1024;             // about; 100 MB in all
constexpr int kReplacedPages = 1000;              // each with ten matches of kMarker
const QString kMarker = QStringLiteral("舊地址"); // in Big5 as well as GBK

struct Encoding {
    const char *name;
    bool bom;
};
const Encoding kEncodings[] = {{"GBK", false},   {"gb18030", false}, {"Big5", false},
                               {"UTF-8", false}, {"UTF-8", true},    {"UTF-16LE", true}};

struct Site {
    QTemporaryDir folder;
    QStringList paths;
    QStringList replacedPaths;
    qint64 bytes = 0;

    Site()
    {
        for (int i = 0; i < kPages; ++i) {
            const Encoding &encoding = kEncodings[i % std::size(kEncodings)];
            const bool marked = i < kReplacedPages;
            QString text = QStringLiteral("<html><head><meta charset=\"%1\"><title>第 %2 页</title>"
                                          "</head>\r\n<body>\r\n")
                               .arg(QLatin1String(encoding.name))
                               .arg(i);
            int line = 0;
            const TextCodec *codec = TextCodec::forName(QLatin1String(encoding.name));
            while (codec->encodedLength(text) < kPageBytes) {
                text += QStringLiteral("<p class=\"c%1\">中文网页的正文，第 %1 行 some English "
                                       "words and <a href=\"page%2.htm\">链接</a></p>")
                            .arg(line)
                            .arg(line * 7 % kPages);
                if (marked && line % 10 == 3 && line < 100)
                    text += QStringLiteral("<p>") + kMarker + QStringLiteral("</p>");
                text += line % 3 ? QStringLiteral("\r\n") : QStringLiteral("\n");
                ++line;
            }
            text += QStringLiteral("</body></html>\r\n");
            const QByteArray pageBytes =
                (encoding.bom ? codec->byteOrderMark() : QByteArray()) + codec->encode(text);
            const QString path =
                folder.filePath(QStringLiteral("d%1/page%2.htm").arg(i % 50).arg(i));
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(pageBytes);
            paths << path;
            if (marked)
                replacedPaths << path;
            bytes += pageBytes.size();
        }
    }
};

Site &site()
{
    static Site instance;
    return instance;
}

// Floor: every file's bytes read, nothing else.
void BM_ReadEveryFile(benchmark::State &state)
{
    site(); // made before the clock runs
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString &path : site().paths) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                total += file.readAll().size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["MB"] = double(site().bytes) / (1024 * 1024);
}

// Runs a find or replace as the window and the command line do (on the
// run's workers); the matches found or replaced.
qint64 runSiteSearch(SiteSearchRun::Request request)
{
    SiteSearchRun run(std::move(request));
    qint64 matches = 0;
    QObject::connect(
        &run, &SiteSearchRun::fileDone, &run,
        [&](const SiteSearch::FileReport &report) {
            matches += qint64(report.matches.size()) + report.replaced;
        },
        Qt::DirectConnection);
    run.start();
    run.wait();
    return matches;
}

// The whole search: the folder walked, each file read in its own encoding
// and searched, every match listed with its line.
void BM_FindInSite(benchmark::State &state)
{
    SiteSearchRun::Request request;
    request.paths = QStringList{site().folder.path()};
    request.patterns = SiteFiles::splitPatterns(SiteFiles::defaultPatterns());
    request.findText = kMarker;
    qint64 matches = 0;
    qint64 readOnSecondRun = 0;
    int run = 0;
    for (auto _ : state) {
        const qint64 before = SiteFiles::bytesRead();
        matches = runSiteSearch(request);
        if (++run == 2)
            readOnSecondRun = SiteFiles::bytesRead() - before;
    }
    state.counters["matches"] = double(matches);
    state.counters["second_run_MB_read"] = double(readOnSecondRun) / (1024 * 1024);
}

// Floor: the thousand files written safely with the bytes they have.
void BM_SafeWriteThousandFiles(benchmark::State &state)
{
    std::vector<QByteArray> bytes;
    for (const QString &path : site().replacedPaths) {
        QFile file(path);
        bytes.push_back(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    for (auto _ : state) {
        for (int i = 0; i < kReplacedPages; ++i)
            SafeFile::write(site().replacedPaths[i], bytes[size_t(i)]);
    }
}

// Ten thousand matches in a thousand files replaced and written safely;
// the runs alternate between the two texts, so that each finds them all.
void BM_ReplaceInThousandFiles(benchmark::State &state)
{
    const QString other = QStringLiteral("新地址");
    SiteSearchRun::Request request;
    request.kind = SiteSearchRun::Kind::Replace;
    request.paths = site().replacedPaths;
    qint64 replaced = 0;
    bool forth = true;
    for (auto _ : state) {
        request.findText = forth ? kMarker : other;
        request.replacement = forth ? other : kMarker;
        replaced = runSiteSearch(request);
        forth = !forth;
    }
    state.counters["replaced"] = double(replaced);
}

} // namespace

BENCHMARK(BM_ReadEveryFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FindInSite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SafeWriteThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ReplaceInThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(2);

ZELMO_BENCHMARK_MAIN()
