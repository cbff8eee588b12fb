// Find next and replace all on a 10 MB page, replace all beside its floor:
// QString::replace on a flat copy and a bare QPlainTextEdit given the result.
#include "editor/findreplace.h"
#include "editor/richtextbox.h"
#include "support/benchmain.h"
#include "support/bigpage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <memory>

namespace {

const QString kNearEnd = QStringLiteral("ZELMO-NEAR-THE-END");

// The big page with about 60,000 occurrences of "ab" in all four case
// forms, and one marker a little before its end.
QString findPageText()
{
    QString text = makeBigPageText();
    static const char16_t *const kForms[] = {u"ab", u"AB", u"aB", u"Ab"};
    int form = 0;
    for (qsizetype at = 100; at + 2 < text.size(); at += 135) {
        if (text.at(at) == u'\r' || text.at(at) == u'\n' || text.at(at + 1) == u'\r' ||
            text.at(at + 1) == u'\n')
            continue;
        text[at] = QChar(kForms[form % 4][0]);
        text[at + 1] = QChar(kForms[form % 4][1]);
        ++form;
    }
    text.insert(text.size() - 2000, QStringLiteral("<!--") + kNearEnd.toLower() + "-->\r\n");
    return text;
}

struct FindPage {
    QString text = findPageText();
    QWidget window;
    RichTextBox *box = new RichTextBox(&window);
    FindReplace findReplace{*box};

    FindPage()
    {
        window.resize(700, 446);
        box->resize(700, 446);
        window.show();
        box->setText(text);
        box->viewport()->repaint();
    }
};

// The window goes while the application is still there.
std::unique_ptr<FindPage> g_findPage;

FindPage &findPage()
{
    if (!g_findPage)
        g_findPage = std::make_unique<FindPage>();
    return *g_findPage;
}

void setPageCounters(benchmark::State &state)
{
    state.counters["page_chars_M"] = double(findPage().text.size()) / 1e6;
}

void findFromTheStart(benchmark::State &state, const QString &findText, bool expectHit)
{
    FindPage &page = findPage();
    page.findReplace.FindNextMatch(findText, Qt::CaseInsensitive); // the cached copy
    for (auto _ : state) {
        state.PauseTiming();
        page.box->setSelStart(0);
        state.ResumeTiming();
        if (page.findReplace.FindNextMatch(findText, Qt::CaseInsensitive) != expectHit)
            state.SkipWithError("unexpected result");
        page.box->viewport()->repaint();
    }
    setPageCounters(state);
}

// Find next from the top to the one marker near the end, without case.
void BM_FindNextNearTheEnd(benchmark::State &state)
{
    findFromTheStart(state, kNearEnd, true);
}

// Find next through the whole page without a hit.
void BM_FindNextNoHit(benchmark::State &state)
{
    findFromTheStart(state, QStringLiteral("zelmo-nowhere"), false);
}

// No hit either, but the first letter starts a candidate every few
// characters.
void BM_FindNextNoHitFrequentStart(benchmark::State &state)
{
    findFromTheStart(state, QStringLiteral("a@"), false);
}

// The first find after a change of the page copies the page once.
void BM_FindNextFirstAfterAChange(benchmark::State &state)
{
    FindPage &page = findPage();
    for (auto _ : state) {
        state.PauseTiming();
        page.box->setSelStart(0);
        page.box->insertPlainText(QStringLiteral("x"));
        page.box->undo();
        page.box->setSelStart(0);
        state.ResumeTiming();
        page.findReplace.FindNextMatch(kNearEnd, Qt::CaseInsensitive);
        page.box->viewport()->repaint();
    }
    setPageCounters(state);
}

// Resident memory across ten Find next calls from the top, to the marker
// near the end and to no hit: measured after the first call, which copies
// the page, and before it.
void BM_FindNextMemory(benchmark::State &state)
{
    FindPage &page = findPage();
    const auto findFromTop = [&page](const QString &findText) {
        page.box->setSelStart(0);
        page.findReplace.FindNextMatch(findText, Qt::CaseInsensitive);
        page.box->viewport()->repaint();
    };
    for (auto _ : state) {
        page.box->setSelStart(0);
        page.box->insertPlainText(QStringLiteral("x"));
        page.box->undo();
        const qint64 beforeAny = residentBytes();
        findFromTop(kNearEnd);
        const qint64 afterFirst = residentBytes();
        for (int i = 0; i < 10; ++i)
            findFromTop(kNearEnd);
        const qint64 afterTenHits = residentBytes();
        for (int i = 0; i < 10; ++i)
            findFromTop(QStringLiteral("zelmo-nowhere"));
        const qint64 afterTenMisses = residentBytes();
        state.counters["MB_first_find"] = double(afterFirst - beforeAny) / 1e6;
        state.counters["MB_ten_to_hit"] = double(afterTenHits - afterFirst) / 1e6;
        state.counters["MB_ten_no_hit"] = double(afterTenMisses - afterTenHits) / 1e6;
    }
    setPageCounters(state);
}

// Replace all of "ab" by "XY" without case, through to the repaint; one
// undo step must bring the page back.
void BM_ReplaceAll(benchmark::State &state)
{
    FindPage &page = findPage();
    double undoMs = 0;
    qsizetype count = 0;
    for (auto _ : state) {
        count = page.findReplace.ReplaceAll(QStringLiteral("ab"), QStringLiteral("XY"),
                                            Qt::CaseInsensitive);
        page.box->viewport()->repaint();
        state.PauseTiming();
        QElapsedTimer timer;
        timer.start();
        page.box->undo();
        page.box->viewport()->repaint();
        undoMs = double(timer.nsecsElapsed()) / 1e6;
        if (page.box->textLength() != page.text.size() || page.box->document()->isUndoAvailable())
            state.SkipWithError("one undo did not restore the page");
        state.ResumeTiming();
    }
    if (page.box->Text() != page.text)
        state.SkipWithError("the page differs after undo");
    state.counters["hits"] = double(count);
    state.counters["undo_ms"] = undoMs;
    setPageCounters(state);
}

// The floor: replace on a flat copy, then a bare widget given the result.
void BM_ReplaceAllFloor(benchmark::State &state)
{
    FindPage &page = findPage();
    const QString flat = page.box->document()->toRawText();
    QPlainTextEdit edit;
    showBareEdit(edit);
    for (auto _ : state) {
        QString text = flat;
        text.replace(QStringLiteral("ab"), QStringLiteral("XY"), Qt::CaseInsensitive);
        edit.setPlainText(text);
        edit.viewport()->repaint();
        state.PauseTiming();
        edit.clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    setPageCounters(state);
}

} // namespace

BENCHMARK(BM_FindNextMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FindNextNearTheEnd)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FindNextNoHit)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FindNextNoHitFrequentStart)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FindNextFirstAfterAChange)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReplaceAllFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return runBenchmarks(argc, argv, {}, [] { g_findPage.reset(); });
}
