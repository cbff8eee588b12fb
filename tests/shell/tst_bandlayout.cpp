#include "editor/richtextbox.h"
#include "platform/statusline.h"
#include "platform/twips.h"
#include "shell/bandlayout.h"
#include "shell/framain.h"
#include "shell/mainbands.h"
#include "shell/toolstrip.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(QRect)

namespace {

// Strips of 315 twips and a status bar of 330.
BandLayout::Input input(int outerWidth, int innerWidth, int innerHeight,
                        std::array<bool, 3> visible)
{
    BandLayout::Input input;
    input.outerWidth = outerWidth;
    input.innerWidth = innerWidth;
    input.innerHeight = innerHeight;
    input.stripHeights = {315, 315, 315};
    input.stripVisible = visible;
    input.statusHeight = 330;
    return input;
}

// The main window after Form_Load, in a program folder of its own.
struct Fixture {
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    FRAmain window{prompts};

    Fixture() { window.Form_Load({}); }
};

} // namespace

class TestBandLayout : public QObject {
    Q_OBJECT
private slots:
    void hiddenStrips_data();
    void hiddenStrips();
    void tooSmallKeepsEditingArea();
    void windowFollowsTheRule();
    void stripMouseTexts();
};

void TestBandLayout::hiddenStrips_data()
{
    QTest::addColumn<bool>("show0");
    QTest::addColumn<bool>("show1");
    QTest::addColumn<bool>("show2");
    QTest::addColumn<QRect>("editing");
    QTest::addColumn<int>("strip1Top");
    QTest::addColumn<int>("strip2Top");
    // A window of 9000 x 6000 twips inside, 9120 outside; strips 315, status 330.
    QTest::newRow("all shown") << true << true << true << QRect(0, 630, 9000, 4725) << 315 << 5355;
    QTest::newRow("first hidden") << false << true << true << QRect(0, 315, 9000, 5040) << 0
                                  << 5355;
    QTest::newRow("second hidden")
        << true << false << true << QRect(0, 315, 9000, 5040) << 315 << 5355;
    QTest::newRow("third hidden") << true << true << false << QRect(0, 630, 9000, 5040) << 315
                                  << 5670;
    QTest::newRow("first two hidden")
        << false << false << true << QRect(0, 0, 9000, 5355) << 0 << 5355;
    QTest::newRow("outer two hidden")
        << false << true << false << QRect(0, 315, 9000, 5355) << 0 << 5670;
    QTest::newRow("last two hidden")
        << true << false << false << QRect(0, 315, 9000, 5355) << 315 << 5670;
    QTest::newRow("all hidden") << false << false << false << QRect(0, 0, 9000, 5670) << 0 << 5670;
}

void TestBandLayout::hiddenStrips()
{
    QFETCH(bool, show0);
    QFETCH(bool, show1);
    QFETCH(bool, show2);
    QFETCH(QRect, editing);
    QFETCH(int, strip1Top);
    QFETCH(int, strip2Top);

    const BandLayout::Result result =
        BandLayout::compute(input(9120, 9000, 6000, {show0, show1, show2}));

    QCOMPARE(result.editingArea, editing);
    QCOMPARE(result.strips[0], QRect(0, 0, 9120, 315));
    QCOMPARE(result.strips[1], QRect(0, strip1Top, 9120, 315));
    QCOMPARE(result.strips[2], QRect(0, strip2Top, 9000, 315));
    QCOMPARE(result.statusBar, QRect(0, 5670, 9000, 330));
    QCOMPARE(result.comYuansuLeft, 9000 - 315);
}

void TestBandLayout::tooSmallKeepsEditingArea()
{
    // Less high than three strips and the status bar.
    BandLayout::Input small = input(3000, 2880, 900, {true, true, true});
    small.previousEditingArea = QRect(0, 630, 4000, 2000);
    const BandLayout::Result result = BandLayout::compute(small);
    QCOMPARE(result.editingArea, QRect(0, 630, 4000, 2000));
    QCOMPARE(result.strips[2].top(), 630 + 2000); // under the old size
    QCOMPARE(result.statusBar, QRect(0, 570, 2880, 330));
}

void TestBandLayout::windowFollowsTheRule()
{
    Fixture f;
    FRAmain &window = f.window;
    window.resize(600, 400);
    QCoreApplication::processEvents();

    const int strip = Twips::toPixels(315);
    const int status = Twips::toPixels(330);
    QCOMPARE(window.richText()->geometry(), QRect(0, 2 * strip, 600, 400 - 3 * strip - status));

    window.bands().setStripVisible(1, false);
    QCOMPARE(window.richText()->geometry(), QRect(0, strip, 600, 400 - 2 * strip - status));
    QCOMPARE(window.bands().Picback(2)->y(), strip + window.richText()->height());
    QVERIFY(!window.bands().Picback(1)->isVisible());
    QCOMPARE(window.bands().ComYuansuVisible()->x(), 600 - Twips::toPixels(315));

    const QRect before = window.richText()->geometry();
    window.resize(600, 40);
    QCoreApplication::processEvents();
    QCOMPARE(window.richText()->geometry(), before);
}

void TestBandLayout::stripMouseTexts()
{
    Fixture f;
    FRAmain &window = f.window;
    ToolStrip *strip = window.bands().Picback(2);
    // Between the last button and ComYuansuVisible the strip is bare.
    const QPoint bare(Twips::toPixels(9800), 5);
    QMouseEvent move(QEvent::MouseMove, bare, strip->mapToGlobal(bare), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(strip, &move);
    QCOMPARE(window.status().Text(), QStringLiteral("ZelmoHTML编辑器，我们一直在努力..."));

    QWidget *grip = strip->grip();
    QTest::mousePress(grip, Qt::LeftButton);
    QCOMPARE(window.status().Text(), QStringLiteral("该版本不能移动〈快捷编辑栏〉"));
    QCOMPARE(grip->cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseRelease(grip, Qt::LeftButton);
    QCOMPARE(grip->cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(TestBandLayout)
#include "tst_bandlayout.moc"
