// Reading and writing a damaged 10 MB settings file: every shape must read in
// one pass over the bytes (well under 100 ms), never in time that grows with
// the square of its size.
#include "platform/profilefile.h"
#include "support/benchmain.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <array>

namespace {

constexpr qsizetype kSize = 10 * 1000 * 1000;

QByteArray repeated(const QByteArray &line)
{
    QByteArray bytes;
    bytes.reserve(kSize + line.size());
    while (bytes.size() < kSize)
        bytes += line;
    return bytes;
}

QByteArray randomBytes()
{
    QByteArray bytes(kSize, Qt::Uninitialized);
    QRandomGenerator random(936);
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

QByteArray numberedLines(QByteArray bytes, const char *format)
{
    bytes.reserve(kSize + 64);
    for (int i = 0; bytes.size() < kSize; ++i)
        bytes += QByteArray(format).replace("%1", QByteArray::number(i));
    return bytes;
}

struct Shape {
    const char *name;
    QByteArray (*make)();
};

// Each is read for a key it does not hold, so the whole file is searched.
const std::array<Shape, 8> shapes = {{
    {"lines_without_equals", [] { return repeated("lorem ipsum dolor sit amet\r\n"); }},
    {"one_line_without_break", [] { return "[S" + QByteArray(kSize, 'x'); }},
    {"headers_without_bracket", [] { return repeated("[S\xd6\xd0\x81\r\n"); }},
    {"random_bytes", randomBytes},
    {"empty_lines", [] { return repeated("\r\n"); }},
    {"many_keys_in_section", [] { return numberedLines("[S]\r\n", "key%1=value\r\n"); }},
    {"short_keys", [] { return "[S]\r\n" + repeated("k\xd6\xd0=\r\nx=\r\n"); }},
    {"many_sections", [] { return numberedLines({}, "[section%1]\r\n"); }},
}};

struct Files {
    QTemporaryDir folder;
    std::array<QString, shapes.size()> paths;

    Files()
    {
        for (size_t i = 0; i < shapes.size(); ++i) {
            paths[i] =
                folder.filePath(QString::fromLatin1(shapes[i].name) + QStringLiteral(".ini"));
            QFile file(paths[i]);
            if (file.open(QIODevice::WriteOnly))
                file.write(shapes[i].make());
        }
    }
};

Files &files()
{
    static Files instance;
    return instance;
}

void BM_ReadMissingKey(benchmark::State &state)
{
    const QString &path = files().paths[size_t(state.range(0))];
    state.SetLabel(shapes[size_t(state.range(0))].name);
    for (auto _ : state) {
        const QString value = ProfileFile::read(path, QStringLiteral("S"), QStringLiteral("k"),
                                                QStringLiteral("default"));
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

// The whole file is copied with the new key, written and synced to disk.
void BM_WriteNewKey(benchmark::State &state)
{
    const QString &path = files().paths[size_t(state.range(0))];
    state.SetLabel(shapes[size_t(state.range(0))].name);
    int i = 0;
    for (auto _ : state) {
        if (!ProfileFile::write(path, QStringLiteral("S"), QStringLiteral("k"),
                                QString::number(++i)))
            state.SkipWithError("the write failed");
    }
}

} // namespace

BENCHMARK(BM_ReadMissingKey)->DenseRange(0, int(shapes.size()) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteNewKey)
    ->DenseRange(0, int(shapes.size()) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

ZELMO_BENCHMARK_MAIN()
