// The tag pairs on large pages, each figure beside a baseline of the same
// run: the highlight on a 10 MB page with the caret on tags all over it
// (beside one full repaint of the editing area), typing with the tag-pair
// features on beside the same typing with them off (CPU time), and Ctrl+J
// to a partner 100,000 lines away and back (beside one plain pass over
// those lines' text): with no line summed up, after the idle passes summed
// them all up, and again and again; the memory the summaries of a 10 MB
// page take, beside the page's own.
#include "editor/richtextbox.h"
#include "editor/syntaxblocks.h"
#include "support/benchmain.h"
#include "support/procstatus.h"
#include "support/typingkeys.h"
#include "tagpairs/tagpairs.h"
#include "tagpairs/tagsummaries.h"

#include <QRandomGenerator>
#include <QTextBlock>
#include <algorithm>
#include <ctime>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

qint64 cpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The CPU time of this thread: the machine's load does not stretch it.
qint64 threadNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A page of about the size asked for, nested as hand-written pages are:
// sections of paragraphs, lists, tables and inline markup, some end tags
// left out where the standard allows it.
QString makeNestedPage(qsizetype characters)
{
    QRandomGenerator random(20261208);
    QString text = QStringLiteral("<html>\n<head><title>页面</title></head>\n<body>\n");
    while (text.size() < characters) {
        text += QStringLiteral("<div class=\"section\">\n");
        for (int i = 0; i < 8; ++i) {
            switch (random.bounded(4)) {
            case 0:
                text += QStringLiteral("<p>段落 text <b>bold</b> and <a href=\"x.htm\">link</a>\n");
                break;
            case 1:
                text += QStringLiteral("<ul>\n<li>one\n<li>two <i>it</i>\n</ul>\n");
                break;
            case 2:
                text += QStringLiteral(
                    "<table><tr><td>a<td>b</tr>\n<tr><td><span>c</span><td>d</tr></table>\n");
                break;
            default:
                text += QStringLiteral("<p>文字 <span class=\"x\">span</span><br>line</p>\n");
                break;
            }
        }
        text += QStringLiteral("</div>\n");
    }
    text += QStringLiteral("</body>\n</html>\n");
    return text;
}

struct Area {
    std::unique_ptr<RichTextBox> box = std::make_unique<RichTextBox>();
    TagPairs *pairs = nullptr;

    Area(const QString &text, bool features)
    {
        box->resize(700, 446);
        box->show();
        box->setText(text);
        if (features) {
            pairs = new TagPairs(*box);
            pairs->setAutoClose(true);
            pairs->setSyncRename(true);
        }
        QCoreApplication::processEvents();
    }
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[size_t(p * double(values.size() - 1))];
}

// Widget positions of tag names on the page ("<" + 1).
std::vector<int> tagNames(const QString &page, int count)
{
    std::vector<int> all;
    for (qsizetype at = page.indexOf(u'<'); at >= 0; at = page.indexOf(u'<', at + 1))
        all.push_back(int(at + 1 + (page[at + 1] == u'/')));
    std::vector<int> chosen;
    QRandomGenerator random(7);
    for (int i = 0; i < count; ++i)
        chosen.push_back(all[random.bounded(int(all.size()))]);
    return chosen;
}

void BM_Highlight10MB(benchmark::State &state)
{
    const QString page = makeNestedPage(10 * 1000 * 1000);
    Area area(page, true);
    // The states where lines begin, as the colouring has them for the
    // lines it showed: worked out once, here for the whole page.
    QTextDocument *document = area.box->document();
    const qint64 states = threadNs();
    SyntaxBlocks::of(document)->stateBefore(document->lastBlock(), document->blockCount() - 1);
    state.counters["states_once_ms"] = double(threadNs() - states) / 1e6;
    const std::vector<int> places = tagNames(page, 300);
    std::vector<double> highlight;
    std::vector<double> repaint;
    int paired = 0;
    for (auto _ : state) {
        for (const int place : places) {
            QTextCursor cursor = area.box->textCursor();
            cursor.setPosition(place);
            area.box->setTextCursor(cursor);
            qint64 start = threadNs();
            area.pairs->refresh();
            highlight.push_back(double(threadNs() - start) / 1e6);
            paired += area.pairs->shown() &&
                      area.pairs->shown()->element.status == TagMatcher::Status::Paired;
            start = threadNs();
            area.box->viewport()->repaint();
            repaint.push_back(double(threadNs() - start) / 1e6);
        }
    }
    // The caret on <body>, whose partner is at the page's end.
    QTextCursor cursor = area.box->textCursor();
    cursor.setPosition(int(page.indexOf(QStringLiteral("<body>")) + 1));
    area.box->setTextCursor(cursor);
    const qint64 start = threadNs();
    area.pairs->refresh();
    state.counters["body_ms"] = double(threadNs() - start) / 1e6;
    state.counters["p50_ms"] = percentile(highlight, 0.5);
    state.counters["p99_ms"] = percentile(highlight, 0.99);
    state.counters["max_ms"] = percentile(highlight, 1.0);
    state.counters["repaint_p50_ms"] = percentile(repaint, 0.5);
    state.counters["p99_per_repaint"] = percentile(highlight, 0.99) / percentile(repaint, 0.5);
    state.counters["paired_share"] = double(paired) / double(highlight.size());
}

const Key kLetterX = {Qt::Key_X, Qt::NoModifier, "x", KeyKind::Letter};
const Key kBack = {Qt::Key_Backspace, Qt::NoModifier, "\b", KeyKind::Back};

// CPU time of keystrokes typed at place: letters and Backspaces, each
// handled to its end (what it left to the event loop and the paint too).
double typingCpu(Area &area, int place, int keystrokes)
{
    QTextCursor cursor = area.box->textCursor();
    cursor.setPosition(place);
    area.box->setTextCursor(cursor);
    QCoreApplication::processEvents();
    const qint64 start = cpuNs();
    for (int i = 0; i < keystrokes; ++i) {
        sendKey(area.box.get(), i % 2 == 0 ? kLetterX : kBack);
        QCoreApplication::processEvents();
        area.box->viewport()->repaint();
    }
    return double(cpuNs() - start);
}

void typing(benchmark::State &state, bool inName)
{
    const QString page = makeNestedPage(10 * 1000 * 1000);
    Area off(page, false);
    Area on(page, true);
    // The middle of the page: in the text of a paragraph, or in the name
    // of a <div> whose partner is some lines below.
    const qsizetype middle = page.size() / 2;
    const int place = int(inName ? page.indexOf(QStringLiteral("<div"), middle) + 3
                                 : page.indexOf(QStringLiteral("text"), middle) + 2);
    double onCpu = 0;
    double offCpu = 0;
    // The lines summed up between events before each run: a pause's work,
    // not the keys', and not to be counted in the other area's run.
    double idleCpu = 0;
    const auto settled = [&on, &idleCpu](Area &area) -> Area & {
        const qint64 start = cpuNs();
        on.pairs->summaryFill().step(1 << 30);
        idleCpu += double(cpuNs() - start);
        return area;
    };
    for (auto _ : state) {
        for (int round = 0; round < 6; ++round) {
            // Which goes first alternates.
            if (round % 2 == 0) {
                onCpu += typingCpu(settled(on), place, 100);
                offCpu += typingCpu(settled(off), place, 100);
            } else {
                offCpu += typingCpu(settled(off), place, 100);
                onCpu += typingCpu(settled(on), place, 100);
            }
        }
    }
    state.counters["idle_fill_ms"] = idleCpu / 1e6;
    state.counters["on_us_per_key"] = onCpu / 600 / 1e3;
    state.counters["off_us_per_key"] = offCpu / 600 / 1e3;
    state.counters["cpu_ratio"] = onCpu / offCpu;
}

void BM_TypingInText10MB(benchmark::State &state)
{
    typing(state, false);
}

void BM_TypingInName10MB(benchmark::State &state)
{
    typing(state, true);
}

// Milliseconds of the thread's CPU that what takes.
template <typename What> double threadMs(What what)
{
    const qint64 start = threadNs();
    what();
    return double(threadNs() - start) / 1e6;
}

void BM_JumpFar(benchmark::State &state)
{
    QString page = QStringLiteral("<div id=\"far\">\n");
    for (int i = 0; i < 100000; ++i)
        page += QStringLiteral("<p>line <b>%1</b> <span>text</span></p>\n").arg(i);
    page += QStringLiteral("</div>\n");
    Area area(page, true);
    QTextDocument *document = area.box->document();
    TagSummaries *summaries = TagSummaries::of(*document);
    std::vector<double> there;
    std::vector<double> back;
    std::vector<double> plain;
    bool arrived = true;
    const auto jump = [&](std::vector<double> *thereTimes, std::vector<double> *backTimes) {
        QTextCursor cursor = area.box->textCursor();
        cursor.setPosition(2);
        area.box->setTextCursor(cursor);
        thereTimes->push_back(threadMs([&] { area.pairs->jumpToPartner(); }));
        arrived = arrived && area.box->textCursor().blockNumber() == 100001;
        backTimes->push_back(threadMs([&] { area.pairs->jumpToPartner(); }));
        arrived = arrived && area.box->textCursor().position() == 1;
    };
    std::vector<double> coldThere;
    std::vector<double> coldBack;
    std::vector<double> filledThere;
    std::vector<double> filledBack;
    std::vector<double> fill;
    for (auto _ : state) {
        for (int round = 0; round < 5; ++round) {
            // No line summed up (as on a page just loaded, before any pause).
            summaries->clear();
            jump(&coldThere, &coldBack);
            // All of them, by the passes between events.
            summaries->clear();
            area.pairs->summaryFill().restart();
            fill.push_back(threadMs([&] { area.pairs->summaryFill().step(1000000); }));
            jump(&filledThere, &filledBack);
            // Once more after that.
            jump(&there, &back);
            // The floor: the lines' text read once.
            plain.push_back(threadMs([&] {
                qsizetype characters = 0;
                for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
                    characters += block.text().size();
                benchmark::DoNotOptimize(characters);
            }));
        }
    }
    const double floor = percentile(plain, 0.5);
    state.counters["read_lines_ms"] = floor;
    const auto report = [&](const char *name, const std::vector<double> &times) {
        state.counters[std::string(name) + "_ms"] = percentile(times, 0.5);
        state.counters[std::string(name) + "_per_read"] = percentile(times, 0.5) / floor;
    };
    report("cold_there", coldThere);
    report("cold_back", coldBack);
    report("fill", fill);
    report("filled_there", filledThere);
    report("filled_back", filledBack);
    report("there", there);
    report("back", back);
    state.counters["arrived"] = arrived ? 1 : 0;
}

// What the summaries of every line of a 10 MB page add to the memory of
// the process, beside what the page itself took in the editing area: the
// heap in use (which memory freed by an earlier benchmark does not hide)
// and the resident size.
void BM_SummaryMemory10MB(benchmark::State &state)
{
    const QString page = makeNestedPage(10 * 1000 * 1000);
    const auto heap = [] { return qint64(mallinfo2().uordblks); };
    for (auto _ : state) {
        const qint64 before = heap();
        const qint64 rssBefore = statusField("VmRSS:");
        Area area(page, true);
        const qint64 loaded = heap();
        const qint64 rssLoaded = statusField("VmRSS:");
        TagSummaries *summaries = TagSummaries::of(*area.box->document());
        summaries->clear();
        area.pairs->summaryFill().restart();
        const double fillMs = threadMs([&] { area.pairs->summaryFill().step(1000000); });
        const qint64 filled = heap();
        const qint64 rssFilled = statusField("VmRSS:");
        state.counters["fill_ms"] = fillMs;
        state.counters["page_MB"] = double(loaded - before) / (1 << 20);
        state.counters["summaries_MB"] = double(filled - loaded) / (1 << 20);
        state.counters["summaries_per_page"] = double(filled - loaded) / double(loaded - before);
        state.counters["rss_page_MB"] = double(rssLoaded - rssBefore) / (1 << 20);
        state.counters["rss_summaries_MB"] = double(rssFilled - rssLoaded) / (1 << 20);
        state.counters["kept_MB"] = double(summaries->memoryUsed()) / (1 << 20);
    }
}

} // namespace

BENCHMARK(BM_Highlight10MB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypingInText10MB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypingInName10MB)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpFar)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummaryMemory10MB)->Iterations(1)->Unit(benchmark::kMillisecond);

ZELMO_BENCHMARK_MAIN()
