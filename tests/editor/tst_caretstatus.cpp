#include "editor/caretstatus.h"
#include "editor/richtextbox.h"
#include "platform/ansicodec.h"
#include "platform/statusline.h"
#include "shell/framain.h"
#include "support/programfolder.h"
#include "support/scriptedprompts.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>

namespace {

// The widget position of a model position, as a point to click at.
QPoint pointAt(RichTextBox *box, qsizetype modelPosition)
{
    QTextCursor cursor(box->document());
    cursor.setPosition(box->toWidgetPosition(modelPosition));
    return box->cursorRect(cursor).center();
}

} // namespace

class TestCaretStatus : public QObject {
    Q_OBJECT
private slots:
    void clickShowsTotalsAndCaret_data();
    void clickShowsTotalsAndCaret();
    void backwardSelectionShowsItsStart();
    void enterShowsTotalsBeforeTheBreak();
    void byteCountFollowsEdits();
    void byteCountStopsAtNul();
};

void TestCaretStatus::clickShowsTotalsAndCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("clickAt");
    QTest::addColumn<QString>("expected");
    // A new page is saved with a final CR LF, which the total counts.
    QTest::newRow("empty") << "" << 0 << "总共:    1行数    2字节   当前:    Ln 1,Col 1";
    QTest::newRow("gbk") << QStringLiteral("中a") << 2
                         << "总共:    1行数    5字节   当前:    Ln 1,Col 3";
    QTest::newRow("start of line 2")
        << "ab\r\ncd" << 4 << "总共:    2行数    8字节   当前:    Ln 2,Col 1";
    QTest::newRow("four-byte character") << QString::fromUcs4(U"\U0001F600x") << 2
                                         << "总共:    1行数    7字节   当前:    Ln 1,Col 3";
}

void TestCaretStatus::clickShowsTotalsAndCaret()
{
    QFETCH(QString, text);
    QFETCH(int, clickAt);
    QFETCH(QString, expected);
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({});
    RichTextBox *box = window.richText();
    box->setText(text);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, pointAt(box, clickAt));
    QCOMPARE(window.status().Text(), expected);
}

void TestCaretStatus::backwardSelectionShowsItsStart()
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({});
    RichTextBox *box = window.richText();
    box->setText(QStringLiteral("one\r\ntwo\r\nthree"));
    // Drag from line 3 back to line 1.
    QTest::mousePress(box->viewport(), Qt::LeftButton, {}, pointAt(box, 13));
    QMouseEvent move(QEvent::MouseMove, pointAt(box, 1),
                     box->viewport()->mapToGlobal(pointAt(box, 1)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(box->viewport(), &move);
    QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, pointAt(box, 1));
    QVERIFY(box->SelLength() > 0);
    QCOMPARE(window.status().Text(),
             QStringLiteral("总共:    3行数    17字节   当前:    Ln 1,Col 2"));
}

void TestCaretStatus::enterShowsTotalsBeforeTheBreak()
{
    TestProgramFolder folder;
    ScriptedPrompts prompts;
    FRAmain window(prompts);
    window.Form_Load({});
    RichTextBox *box = window.richText();
    box->setText(QStringLiteral("1\r\n2\r\n3\r\n4\r\n5"));
    box->setSelStart(box->textLength());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(window.status().Text(), QStringLiteral("总共:    5行数    15字节   "));
    QCOMPARE(box->GetLineCount(), 6);
}

void TestCaretStatus::byteCountFollowsEdits()
{
    RichTextBox box;
    box.setText(QStringLiteral("中文\r\nabc\r\n"));
    QRandomGenerator random(7);
    const QString pieces[] = {
        QStringLiteral("中"),         QStringLiteral("a"), QStringLiteral("\r\n"),
        QStringLiteral("\r\n中\r\n"), QString(),           QStringLiteral("😀")};
    for (int step = 0; step < 400; ++step) {
        const qsizetype length = box.textLength();
        box.setSelStart(random.bounded(int(length) + 1));
        box.setSelLength(random.bounded(4));
        if (step % 50 == 0) {
            box.undo();
        } else {
            box.setSelText(pieces[random.bounded(6)]);
        }
        QCOMPARE(box.ansiByteCount(), AnsiCodec::encodedLength(box.Text()));
    }
    QString big;
    for (int i = 0; i < 5000; ++i)
        big += QStringLiteral("行%1\r\n").arg(i);
    box.setText(big);
    QCOMPARE(box.ansiByteCount(), AnsiCodec::encodedLength(box.Text()));
    box.selectAll();
    box.setSelText(QStringLiteral("x"));
    QCOMPARE(box.ansiByteCount(), 1);

    // Line breaks of several kinds, each counted as its own, through edits
    // that join, split and take lines and through undo.
    box.setPageText(LineBreaks::split(QStringLiteral("a\nb\r\n\r\nc\rd\n中\n") +
                                      QString(700, u'x') + QStringLiteral("\ne\r\nf")));
    for (int step = 0; step < 400; ++step) {
        const qsizetype length = box.textLength();
        box.setSelStart(random.bounded(int(length) + 1));
        box.setSelLength(random.bounded(8));
        if (step % 40 == 0)
            box.undo();
        else
            box.setSelText(pieces[random.bounded(6)]);
        QCOMPARE(box.ansiByteCount(), AnsiCodec::encodedLength(box.pageText()));
    }
}

void TestCaretStatus::byteCountStopsAtNul()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\nc") + QChar(0) + QStringLiteral("d\r\nef"));
    QCOMPARE(box.ansiByteCount(), 5);
    box.setSelStart(5);
    box.setSelLength(1);
    box.setSelText(QString());
    QCOMPARE(box.ansiByteCount(), 10);
}

QTEST_MAIN(TestCaretStatus)
#include "tst_caretstatus.moc"
