#include "document/documentsession.h"
#include "editor/richtextbox.h"
#include "recovery/journalfile.h"
#include "recovery/journalfolder.h"
#include "recovery/recoveryjournal.h"
#include "recovery/recoveryoffer.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <memory>
#include <sys/stat.h>

namespace {

JournalFile::Entry sampleEntry(const QString &path, const QString &text)
{
    JournalFile::Entry entry;
    entry.pagePath = path;
    entry.text = text;
    entry.caret = text.size() / 2;
    entry.time = QDateTime::fromMSecsSinceEpoch(1700000000123);
    entry.pageNote.exists = !path.isEmpty();
    entry.pageNote.size = 42;
    entry.pageNote.modified = {1700000000, 987654321};
    entry.pageNote.hash = QByteArray(20, '\x5a');
    return entry;
}

mode_t modeOf(const QString &path)
{
    struct stat status = {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

// A journal as a window that was killed leaves it: written under a lock
// that nobody holds any more.
QString leaveJournal(const JournalFile::Entry &entry)
{
    auto lock = std::make_unique<WindowLock>();
    const QString path = lock->journalPath();
    JournalFile::write(path, JournalFile::encode(entry));
    lock.reset();
    return path;
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT
private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void damagedIsRefused_data();
    void damagedIsRefused();
    void journalsOnlyModifiedTextPrivately();
    void offer_data();
    void offer();
    void pagesOfOtherWindows();
    void failedWriteSaidOnce();
    void recoveredPageKeepsItsLineBreaks_data();
    void typingWhileCopyingIsJournalledWhole();
    void recoveredPageKeepsItsLineBreaks();

private:
    std::unique_ptr<QTemporaryDir> m_state;
};

void TestJournal::init()
{
    m_state = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", m_state->path().toLocal8Bit());
}

void TestJournal::roundTrip_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<int>("lineBreak");

    QTest::newRow("unnamed, empty") << QString() << QString() << "GBK" << 0;
    QTest::newRow("GBK page with CR LF") << "/tmp/网页 一.htm"
                                         << "<p>中文</p>\r\n<b>x</b>"
                                         << "GBK" << 0;
    // A byte of no character is a lone surrogate in the text.
    QTest::newRow("lone surrogates and NUL")
        << "/tmp/a.htm" << QString(QChar(0xDC81)) + QChar(0) + QChar(0xD800) + "end"
        << "UTF-8" << 1;
    QTest::newRow("path with line break and percent") << "/tmp/a\nb%20c.htm"
                                                      << "x"
                                                      << "Shift_JIS" << 2;
}

void TestJournal::roundTrip()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(QString, encoding);
    QFETCH(int, lineBreak);
    JournalFile::Entry entry = sampleEntry(path, text);
    entry.format.encoding = encoding;
    entry.format.lineBreak = PageFormat::LineBreak(lineBreak);
    entry.format.byteOrderMark = lineBreak == 1;
    entry.format.finalLineBreak = lineBreak != 2;
    entry.format.trailingBytes = lineBreak == 2 ? QByteArray("\x01", 1) : QByteArray();

    const std::optional<JournalFile::Entry> back = JournalFile::decode(JournalFile::encode(entry));
    QVERIFY(back);
    QCOMPARE(back->pagePath, entry.pagePath);
    QCOMPARE(back->text, entry.text);
    QVERIFY(back->format == entry.format);
    QCOMPARE(back->caret, entry.caret);
    QCOMPARE(back->time, entry.time);
    QVERIFY(back->pageNote.sameStat(entry.pageNote));
    QCOMPARE(back->pageNote.hash, entry.pageNote.hash);
}

void TestJournal::damagedIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good =
        JournalFile::encode(sampleEntry(QStringLiteral("/tmp/a.htm"), QStringLiteral("一二三")));
    QByteArray flippedText = good;
    flippedText[flippedText.size() - 1] = flippedText.back() ^ 1;
    QByteArray flippedHeader = good;
    flippedHeader.replace("caret 1", "caret 2");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("foreign") << QByteArray("<html>not a journal</html>\n\n");
    QTest::newRow("cut short") << good.left(good.size() - 1);
    QTest::newRow("a byte of the text changed") << flippedText;
    QTest::newRow("a field changed") << flippedHeader;
    QTest::newRow("header only") << good.left(good.indexOf("\n\n"));
}

void TestJournal::damagedIsRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!JournalFile::decode(bytes));
}

void TestJournal::journalsOnlyModifiedTextPrivately()
{
    RichTextBox richText;
    DocumentSession session;
    StatusRecorder status;
    WindowLock lock;
    QVERIFY(lock.isHeld());
    RecoveryJournal journal(richText, session, status, lock);
    session.CurrentFile = QStringLiteral("/tmp/page.htm");

    richText.setText(QStringLiteral("opened"));
    richText.setModified(false);
    journal.noteEdit();
    journal.writeNow();
    QVERIFY2(!QFile::exists(lock.journalPath()), "unmodified text is not journalled");

    richText.setSelStart(6);
    richText.setSelText(QStringLiteral(" and typed"));
    journal.noteEdit();
    QSignalSpy written(&journal, &RecoveryJournal::written);
    QVERIFY(written.wait(RecoveryJournal::kIdleMs * 5));
    QCOMPARE(written.first().first().toBool(), true);
    const std::optional<JournalFile::Entry> entry = JournalFile::read(lock.journalPath());
    QVERIFY(entry);
    QCOMPARE(entry->text, QStringLiteral("opened and typed"));
    QCOMPARE(entry->pagePath, session.CurrentFile);
    QCOMPARE(entry->caret, 16);
    QCOMPARE(modeOf(lock.journalPath()), mode_t(0600));
    QCOMPARE(modeOf(JournalFolder::path()), mode_t(0700));
    // A running window's journal is not offered.
    QVERIFY(JournalFolder::leftJournals().isEmpty());

    journal.remove();
    QVERIFY(!QFile::exists(lock.journalPath()));
}

void TestJournal::offer_data()
{
    QTest::addColumn<QList<int>>("buttons"); // 0 恢复, 1 丢弃, 2 以后再说; the first row each time
    QTest::addColumn<QString>("recovered"); // text taken into this window
    QTest::addColumn<int>("elsewhere");     // journals handed to new windows
    QTest::addColumn<int>("left");          // journals still left afterwards

    // Journals are listed newest first: "two", then "one".
    QTest::newRow("later leaves both") << QList<int>{2} << QString() << 0 << 2;
    QTest::newRow("closed leaves both") << QList<int>{-1} << QString() << 0 << 2;
    QTest::newRow("recover the first, later") << QList<int>{0, 2} << "two" << 0 << 1;
    QTest::newRow("recover both: one here, one elsewhere") << QList<int>{0, 0} << "two" << 1 << 0;
    QTest::newRow("discard the first, recover the second") << QList<int>{1, 0} << "one" << 0 << 0;
}

void TestJournal::offer()
{
    QFETCH(QList<int>, buttons);
    QFETCH(QString, recovered);
    QFETCH(int, elsewhere);
    QFETCH(int, left);

    leaveJournal(sampleEntry(QStringLiteral("/tmp/one.htm"), QStringLiteral("one")));
    QTest::qWait(20); // distinct modification times
    leaveJournal(sampleEntry(QString(), QStringLiteral("two")));
    // A damaged one is set aside, kept, and never listed.
    const QString damaged = leaveJournal(sampleEntry(QString(), QStringLiteral("bad")));
    writeBytes(damaged, "ZelmoHTML journal 1\ngarbage");

    ScriptedPrompts prompts;
    for (int button : buttons)
        prompts.choiceAnswers.append({button, 0});
    WindowLock lock;
    QStringList handedOn;
    const RecoveryOffer::Outcome outcome = RecoveryOffer::run(
        prompts, lock, [&](const QString &journal) { handedOn.append(journal); });

    QCOMPARE(outcome.setAside, QStringList{damaged + ".damaged"});
    QVERIFY(QFile::exists(damaged + ".damaged"));
    QVERIFY(!prompts.choiceRequests.isEmpty());
    QCOMPARE(prompts.choiceRequests.first().rows.size(), 2);
    QCOMPARE(prompts.choiceRequests.first().rows.first().first(), QStringLiteral("未命名"));
    QCOMPARE(prompts.choiceRequests.first().rows.last().mid(0, 2),
             (QStringList{"one.htm", "/tmp"}));
    QCOMPARE(outcome.entry ? outcome.entry->text : QString(), recovered);
    if (outcome.entry) // the recovered journal is this window's own now
        QCOMPARE(JournalFile::read(lock.journalPath())->text, recovered);
    QCOMPARE(handedOn.size(), elsewhere);
    QCOMPARE(JournalFolder::leftJournals().size(), left + elsewhere);
}

void TestJournal::pagesOfOtherWindows()
{
    WindowLock mine;
    auto other = std::make_unique<WindowLock>();
    other->setPage(QStringLiteral("/tmp/long name that is cut.htm"));
    other->setPage(QStringLiteral("/tmp/b.htm"));
    mine.setPage(QStringLiteral("/tmp/mine.htm"));
    QCOMPARE(JournalFolder::pagesOfOtherWindows(mine.id()), QStringList{"/tmp/b.htm"});
    // A window that ended holds nothing.
    other.reset();
    QVERIFY(JournalFolder::pagesOfOtherWindows(mine.id()).isEmpty());
}

void TestJournal::failedWriteSaidOnce()
{
    RichTextBox richText;
    DocumentSession session;
    StatusRecorder status;
    WindowLock lock;
    RecoveryJournal journal(richText, session, status, lock);
    // Whatever stands in the journal's way (here a folder of its name), the
    // write fails as on a full or read-only disk.
    QVERIFY(QDir().mkdir(lock.journalPath()));
    for (int attempt = 0; attempt < 2; ++attempt) {
        richText.setSelText(QStringLiteral("x"));
        journal.noteEdit();
        journal.writeNow();
        QCOMPARE(status.Text2().startsWith(QStringLiteral("恢复日志写入失败")), attempt == 0);
        status.setText2(QString());
    }
    QVERIFY(QDir().rmdir(lock.journalPath()));
    QVERIFY(journal.hasPending()); // the failed text is written with the next try
    journal.writeNow();
    QCOMPARE(JournalFile::read(lock.journalPath())->text, QStringLiteral("xx"));
    QVERIFY(!QFile::exists(lock.journalPath() + ".tmp"));
}

void TestJournal::recoveredPageKeepsItsLineBreaks_data()
{
    QTest::addColumn<QString>("file"); // the page's text as read
    QTest::newRow("LF") << "<p>a</p>\n<p>b</p>\n";
    QTest::newRow("CR") << "<p>a</p>\r<p>b</p>";
    QTest::newRow("CR LF with LF and CR lines") << "a\r\nb\nc\r\nd\re\r\n";
    QTest::newRow("LF with a long line") << "a\n" + QString(3000, u'w') + "\r\nb\n";
}

// A page journalled and recovered into a new window: a save writes every
// line's own break, and lines typed there get the page's main kind.
void TestJournal::recoveredPageKeepsItsLineBreaks()
{
    QFETCH(QString, file);
    RichTextBox richText;
    DocumentSession session;
    StatusRecorder status;
    WindowLock lock;
    RecoveryJournal journal(richText, session, status, lock);
    LineBreaks::Split page = LineBreaks::split(file);
    PageFormat format;
    format.lineBreak = page.main;
    format.finalLineBreak = bool(page.takeFinalBreak());
    session.setFormat(format);
    richText.setPageText(page);
    richText.setModified(false);
    richText.setSelStart(1);
    richText.setSelText(QStringLiteral("typed\r\n"));
    richText.setSelStart(richText.textLength() - 1);
    journal.noteEdit();
    journal.writeNow();

    const std::optional<JournalFile::Entry> entry = JournalFile::read(lock.journalPath());
    QVERIFY(entry);
    RichTextBox recovered;
    DocumentSession recoveredSession;
    RecoveryOffer::apply(*entry, recovered, recoveredSession);
    QCOMPARE(recovered.pageText(), richText.pageText());
    QCOMPARE(recovered.mainLineBreak(), richText.mainLineBreak());
    QCOMPARE(recovered.Text(), richText.Text());
    QCOMPARE(recovered.SelStart(), richText.SelStart());
}

// Keys typed in the middle of a large page all the while its journal is
// copied in slices: the journal holds the page as it was at one moment,
// every key typed up to then and none torn.
void TestJournal::typingWhileCopyingIsJournalledWhole()
{
    RichTextBox richText;
    DocumentSession session;
    StatusRecorder status;
    WindowLock lock;
    RecoveryJournal journal(richText, session, status, lock);
    QString page;
    for (int line = 0; page.size() < 400000; ++line)
        page += QStringLiteral("<p>第 %1 行</p>\n").arg(line);
    richText.setPageText(LineBreaks::split(page));
    const qsizetype middle = page.indexOf(u'\n', page.size() / 2) + 1;
    // The keys go in without telling the journal, which is told once.
    QTimer typist;
    int typed = 0;
    typist.callOnTimeout([&] {
        QTextCursor cursor = richText.textCursor();
        cursor.setPosition(int(middle));
        richText.setTextCursor(cursor);
        richText.setSelText(QStringLiteral("k"));
        ++typed;
    });
    journal.noteEdit();
    typist.start(1);
    QSignalSpy written(&journal, &RecoveryJournal::written);
    QVERIFY(written.wait(RecoveryJournal::kIdleMs * 5));
    typist.stop();
    const QString text = JournalFile::read(lock.journalPath())->text;
    const qsizetype keys = text.size() - page.size();
    QVERIFY2(keys > 0 && keys <= typed, qPrintable(QString::number(keys)));
    QCOMPARE(text, QString(page).insert(middle, QString(keys, u'k')));
}

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
