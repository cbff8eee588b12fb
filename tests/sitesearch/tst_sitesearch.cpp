#include "editor/richtextbox.h"
#include "platform/textcodec.h"
#include "shell/framain.h"
#include "sitesearch/sitefiles.h"
#include "sitesearch/sitesearch.h"
#include "sitesearch/sitesearchcommand.h"
#include "sitesearch/sitesearchrun.h"
#include "sitesearch/sitesearchwindow.h"
#include "support/programfolder.h"
#include "support/recordinglauncher.h"
#include "support/scriptedprompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

namespace {

using Outcome = SiteSearch::FileReport::Outcome;

// The bytes of text in encoding, with its byte-order mark when asked.
QByteArray encoded(const QString &text, const QString &encoding, bool bom)
{
    const TextCodec *codec = TextCodec::forName(encoding);
    return (bom ? codec->byteOrderMark() : QByteArray()) + codec->encode(text);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A page with "中文" three times over its lines, declaring its encoding.
QString pageText(const QString &encoding, const QString &lineBreak)
{
    const QStringList lines{
        QStringLiteral("<html><head><meta charset=\"%1\"><title>中文网页</title></head>")
            .arg(encoding),
        QStringLiteral("<body><p>第一行：中文 text, Text</p>"),
        QStringLiteral("<p>最后：中文。</p></body></html>"),
    };
    QString text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        text += lines[i];
        // Mixed: the second break is a lone LF.
        text += lineBreak == QLatin1String("mixed")
                    ? (i == 1 ? QStringLiteral("\n") : QStringLiteral("\r\n"))
                    : lineBreak;
    }
    return text;
}

SiteSearch::FileReport findIn(const QString &path, const QString &findText, bool regex = false)
{
    SearchOptions options;
    options.regex = regex;
    return SiteSearch::find(path, SearchPattern(findText, options), SiteFiles::kDefaultSizeLimit);
}

// Runs the command line; the exit status and what it printed.
int runCommand(const QStringList &arguments, QString *out, QString *err = nullptr)
{
    std::FILE *outFile = std::tmpfile();
    std::FILE *errFile = std::tmpfile();
    const int status = SiteSearchCommand::run(arguments, outFile, errFile).value_or(-1);
    const auto slurp = [](std::FILE *file) {
        std::rewind(file);
        QByteArray bytes;
        char buffer[4096];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, file))
            bytes.append(buffer, qsizetype(n));
        std::fclose(file);
        return QString::fromUtf8(bytes);
    };
    *out = slurp(outFile);
    const QString errors = slurp(errFile);
    if (err)
        *err = errors;
    return status;
}

} // namespace

class TestSiteSearch : public QObject {
    Q_OBJECT
private slots:
    void everyEncodingKeepsItsBytes_data();
    void everyEncodingKeepsItsBytes();
    void filesLeftAlone_data();
    void filesLeftAlone();
    void walkFollowsPatternsAndSubfolders();
    void undoRestoresUnlessChangedSince();
    void stoppedReplaceReportsEveryFileItChanged();
    void commandLine_data();
    void commandLine();
    void windowFindsReplacesAndUndoes();
    void newWindowStartsAtTheMatch();

private:
    TestProgramFolder m_programFolder; // the window keeps its options there
};

void TestSiteSearch::everyEncodingKeepsItsBytes_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<QString>("lineBreak");
    for (const auto &[encoding, bom] :
         std::initializer_list<std::pair<const char *, bool>>{{"GBK", false},
                                                              {"gb18030", false},
                                                              {"Big5", false},
                                                              {"Shift_JIS", false},
                                                              {"UTF-8", false},
                                                              {"UTF-8", true},
                                                              {"UTF-16LE", true},
                                                              {"UTF-16BE", true}}) {
        for (const char *lineBreak : {"\r\n", "\n", "mixed"}) {
            const QString name =
                QStringLiteral("%1%2 %3")
                    .arg(QLatin1String(encoding), bom ? " BOM" : "")
                    .arg(QLatin1String(lineBreak) == QLatin1String("\r\n") ? "CRLF"
                         : QLatin1String(lineBreak) == QLatin1String("\n") ? "LF"
                                                                           : "mixed");
            QTest::newRow(qPrintable(name))
                << QString::fromLatin1(encoding) << bom << QString::fromLatin1(lineBreak);
        }
    }
}

void TestSiteSearch::everyEncodingKeepsItsBytes()
{
    QFETCH(QString, encoding);
    QFETCH(bool, bom);
    QFETCH(QString, lineBreak);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    const QString text = pageText(encoding, lineBreak);
    // A byte that is no character stays as it was (not in UTF-16, where
    // every pair of bytes is one).
    QByteArray bytes = encoded(text, encoding, bom);
    if (!encoding.startsWith(QLatin1String("UTF-16")) &&
        !encoding.startsWith(QLatin1String("UTF-8")))
        bytes.insert(bytes.indexOf("</head>"), "\xFF");
    writeFile(path, bytes);

    const SiteSearch::FileReport found = findIn(path, QStringLiteral("中文"));
    QCOMPARE(found.outcome, Outcome::Searched);
    QCOMPARE(found.matches.size(), size_t(3));
    QCOMPARE(found.matches[1].line, 2);
    QCOMPARE(found.matches[1].column, 14);
    QVERIFY(found.matches[1].text.startsWith(QStringLiteral("<body><p>第一行：中文")));
    QCOMPARE(found.matches[2].line, 3);
    QCOMPARE(findIn(path, QStringLiteral("第.行：(中文)"), true).matches.size(), size_t(1));

    // Groups, and a replacement with a line break in it, which takes the
    // file's own.
    SearchOptions options;
    options.regex = true;
    const SearchPattern pattern(QStringLiteral("(中)(文)"), options);
    const QString replacement = QStringLiteral("[$2\n$1]");
    const SiteSearch::FileReport replaced =
        SiteSearch::replace(path, pattern, replacement, SiteFiles::kDefaultSizeLimit, false);
    QCOMPARE(replaced.outcome, Outcome::Changed);
    QCOMPARE(replaced.replaced, 3);
    const QString own = lineBreak == QLatin1String("mixed") ? QStringLiteral("\r\n") : lineBreak;
    QByteArray expected = bytes;
    expected.replace(encoded(QStringLiteral("中文"), encoding, false),
                     encoded(QStringLiteral("[文") + own + QStringLiteral("中]"), encoding, false));
    QCOMPARE(readFile(path), expected);
}

void TestSiteSearch::filesLeftAlone_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("reason");

    const QByteArray page = encoded(QStringLiteral("<p>中文</p>"), "GBK", false);
    QTest::newRow("NUL in the first 8 KB") << QByteArray("GIF89a\0\0中文", 12) << qint64(1 << 20)
                                           << "x" << int(Outcome::Skipped) << "二进制文件";
    QTest::newRow("NUL after 8 KB is text")
        << QByteArray(8192, ' ') + page + QByteArray(1, '\0') << qint64(1 << 20) << "x"
        << int(Outcome::Changed) << "";
    QTest::newRow("over the size limit")
        << page << qint64(4) << "x" << int(Outcome::Skipped) << "大于";
    QTest::newRow("replacement the encoding lacks")
        << encoded(QStringLiteral("<meta charset=windows-1252><p>中文 café</p>"), "windows-1252",
                   false)
        << qint64(1 << 20) << QStringLiteral("中文") << int(Outcome::LeftAlone) << "U+4E2D";
}

void TestSiteSearch::filesLeftAlone()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sizeLimit);
    QFETCH(QString, replacement);
    QFETCH(int, outcome);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    writeFile(path, bytes);
    const QString findText =
        replacement == QLatin1String("x") ? QStringLiteral("中文") : QStringLiteral("café");
    const SiteSearch::FileReport report = SiteSearch::replace(
        path, SearchPattern(findText, SearchOptions()), replacement, sizeLimit, false);
    QCOMPARE(int(report.outcome), outcome);
    QVERIFY2(report.reason.contains(reason), qPrintable(report.reason));
    if (outcome != int(Outcome::Changed))
        QCOMPARE(readFile(path), bytes);
}

void TestSiteSearch::walkFollowsPatternsAndSubfolders()
{
    QTemporaryDir dir;
    for (const char *name : {"a.htm", "B.HTML", "c.txt", "sub/d.htm", "sub/deeper/e.css"})
        writeFile(dir.filePath(QLatin1String(name)), "x");
    const QStringList patterns = SiteFiles::splitPatterns(SiteFiles::defaultPatterns());
    const auto names = [&](bool subfolders, const QStringList &paths) {
        QStringList found;
        for (const QString &file : SiteFiles::list(paths, patterns, subfolders))
            found << QDir(dir.path()).relativeFilePath(file);
        found.sort();
        return found;
    };
    QCOMPARE(names(true, {dir.path()}),
             (QStringList{"B.HTML", "a.htm", "sub/d.htm", "sub/deeper/e.css"}));
    QCOMPARE(names(false, {dir.path()}), (QStringList{"B.HTML", "a.htm"}));
    // A file named on its own counts whatever its name, and only once.
    QCOMPARE(names(false, {dir.path(), dir.filePath("c.txt"), dir.filePath("a.htm")}),
             (QStringList{"B.HTML", "a.htm", "c.txt"}));
}

void TestSiteSearch::undoRestoresUnlessChangedSince()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("1.htm"));
    const QString second = dir.filePath(QStringLiteral("2.htm"));
    const QByteArray before = encoded(QStringLiteral("<p>中文</p>\r\n"), "GBK", false);
    writeFile(first, before);
    writeFile(second, before);
    const SearchPattern pattern(QStringLiteral("中文"), SearchOptions());
    std::vector<SiteSearch::Change> changes(2);
    SiteSearch::replace(first, pattern, QStringLiteral("英文"), SiteFiles::kDefaultSizeLimit, false,
                        &changes[0]);
    SiteSearch::replace(second, pattern, QStringLiteral("英文"), SiteFiles::kDefaultSizeLimit,
                        false, &changes[1]);
    QVERIFY(readFile(first) != before);
    writeFile(second, "edited since");

    QStringList restored;
    const std::vector<SiteSearch::FileReport> left = SiteSearch::undo(changes, &restored);
    QCOMPARE(restored, QStringList{first});
    QCOMPARE(readFile(first), before);
    QCOMPARE(left.size(), size_t(1));
    QCOMPARE(left[0].path, second);
    QCOMPARE(readFile(second), QByteArray("edited since"));
}

void TestSiteSearch::stoppedReplaceReportsEveryFileItChanged()
{
    QTemporaryDir dir;
    const QByteArray page = encoded(QStringLiteral("<p>中文</p>\r\n"), "GBK", false);
    for (int i = 0; i < 60; ++i)
        writeFile(dir.filePath(QStringLiteral("p%1.htm").arg(i, 2, 10, QLatin1Char('0'))), page);
    SiteSearchRun::Request request;
    request.kind = SiteSearchRun::Kind::Replace;
    request.paths = QStringList{dir.path()};
    request.patterns = QStringList{"*.htm"};
    request.findText = QStringLiteral("中文");
    request.replacement = QStringLiteral("英文");
    SiteSearchRun run(request);
    QStringList reported;
    QObject::connect(
        &run, &SiteSearchRun::fileDone, &run,
        [&](const SiteSearch::FileReport &report, int done) {
            QCOMPARE(done, reported.size() + 1); // in order, none left out
            QCOMPARE(report.outcome, Outcome::Changed);
            reported << report.path;
            run.stop();
        },
        Qt::DirectConnection);
    run.start();
    QVERIFY(run.wait(30000));

    // What the run says it changed is exactly what changed on disk.
    QStringList changedOnDisk;
    for (const QString &path : SiteFiles::list({dir.path()}, {"*.htm"}, false)) {
        if (readFile(path) != page)
            changedOnDisk << path;
    }
    QCOMPARE(reported, changedOnDisk);
    QCOMPARE(int(run.changes().size()), reported.size());
    QVERIFY(SiteSearch::undo(run.changes()).empty());
    for (const QString &path : changedOnDisk)
        QCOMPARE(readFile(path), page);
}

void TestSiteSearch::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // "DIR" stands for the site
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed");    // a line of the output, "DIR" for the site
    QTest::addColumn<QByteArray>("gbkPage"); // the GBK page's bytes afterwards

    const QByteArray page =
        encoded(QStringLiteral("<p>中文 ab</p>\r\n<p>AB</p>\r\n"), "GBK", false);
    QTest::newRow("found") << QStringList{"--find", "中文", "DIR"} << 0
                           << "DIR/gbk.htm:1:4: <p>中文 ab</p>\n"
                           << page;
    QTest::newRow("found in UTF-16 too")
        << QStringList{"--find", "中文", "DIR"} << 0 << "DIR/utf16.htm:1:1: 中文\n"
        << page;
    QTest::newRow("case") << QStringList{"--case", "--find", "AB", "DIR/gbk.htm"} << 0
                          << "DIR/gbk.htm:2:4: <p>AB</p>\n"
                          << page;
    QTest::newRow("nothing") << QStringList{"--find", "nowhere", "DIR"} << 1 << "" << page;
    QTest::newRow("include leaves pages out")
        << QStringList{"--include", "*.css", "--find", "中文", "DIR"} << 1 << "" << page;
    QTest::newRow("invalid pattern")
        << QStringList{"--regex", "--find", "(", "DIR"} << 2 << "" << page;
    QTest::newRow("missing path") << QStringList{"--find", "x", "DIR/none"} << 2 << "" << page;
    QTest::newRow("dry run") << QStringList{"--find", "ab", "--replace", "X", "--dry-run", "DIR"}
                             << 0 << "DIR/gbk.htm：将替换 2 处\n"
                             << page;
    QByteArray replaced = page;
    replaced.replace("ab", "X").replace("AB", "X");
    QTest::newRow("replace") << QStringList{"--find", "ab", "--replace", "X", "DIR"} << 0
                             << "DIR/gbk.htm：已替换 2 处\n"
                             << replaced;
}

void TestSiteSearch::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, printed);
    QFETCH(QByteArray, gbkPage);
    QTemporaryDir dir;
    writeFile(dir.filePath("gbk.htm"),
              encoded(QStringLiteral("<p>中文 ab</p>\r\n<p>AB</p>\r\n"), "GBK", false));
    writeFile(dir.filePath("utf16.htm"), encoded(QStringLiteral("中文\n"), "UTF-16LE", true));
    arguments.replaceInStrings(QStringLiteral("DIR"), dir.path());
    QString out;
    QCOMPARE(runCommand(arguments, &out), status);
    if (!printed.isEmpty())
        QVERIFY2(out.contains(printed.replace(QStringLiteral("DIR"), dir.path())), qPrintable(out));
    QCOMPARE(readFile(dir.filePath("gbk.htm")), gbkPage);
}

void TestSiteSearch::windowFindsReplacesAndUndoes()
{
    QTemporaryDir dir;
    const QByteArray gbk = encoded(QStringLiteral("<p>中文</p>\r\n<p>中文</p>\r\n"), "GBK", false);
    const QByteArray sjis =
        encoded(QStringLiteral("<meta charset=shift_jis>\n<p>中文</p>\n"), "Shift_JIS", false);
    writeFile(dir.filePath("a.htm"), gbk);
    writeFile(dir.filePath("sub/b.htm"), sjis);
    writeFile(dir.filePath("c.htm"), QByteArray("\0binary", 7));
    m_programFolder.writeFile("tags.dat", "<b></b>\r\n");

    // The real main window, its page changed and not saved.
    ScriptedPrompts prompts;
    prompts.messageAnswers = {Prompts::AnswerNo, Prompts::AnswerYes};
    FRAmain main(prompts);
    main.Form_Load({});
    QTest::keyClicks(main.richText(), QStringLiteral("x"));
    QTest::keyClick(main.richText(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    auto *window = main.findChild<SiteSearchWindow *>();
    QVERIFY(window && window->isVisible());
    window->setFolder(dir.path());
    window->findChild<QComboBox *>()->setCurrentIndex(0); // "在本窗口打开"
    window->findChild<QLineEdit *>("Txtfindstr")->setText(QStringLiteral("中文"));
    window->findChild<QLineEdit *>("txtreplacestr")->setText(QStringLiteral("汉字"));
    QSignalSpy finished(window, &SiteSearchWindow::runFinished);

    QTest::mouseClick(window->findChild<QPushButton *>("CommFind"), Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    QTreeWidget *results = window->results();
    QCOMPARE(results->topLevelItemCount(), 3); // two pages and the binary file
    QVERIFY2(window->summary().contains(QStringLiteral("在 2 个文件中找到 3 处")),
             qPrintable(window->summary()));

    // Opening a match asks about the unsaved page first ("No": not saved).
    window->openResult(results->topLevelItem(0)->child(1));
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(main.richText()->SelText(), QStringLiteral("中文"));
    QCOMPARE(main.richText()->SelStart(), 14); // line 2, after "<p>"

    // Shift_JIS lacks "汉": that page is left alone and listed.
    window->replaceAll();
    QVERIFY(finished.wait(10000));
    QCOMPARE(prompts.messages.size(), 2);
    QVERIFY(prompts.messages[1].text.contains(QStringLiteral("将在 2 个文件中替换 3 处")));
    QCOMPARE(readFile(dir.filePath("a.htm")),
             encoded(QStringLiteral("<p>汉字</p>\r\n<p>汉字</p>\r\n"), "GBK", false));
    QCOMPARE(readFile(dir.filePath("sub/b.htm")), sjis);
    QVERIFY2(window->summary().contains(QStringLiteral("已在 1 个文件中替换 2 处")),
             qPrintable(window->summary()));

    QTest::mouseClick(window->findChild<QPushButton *>("CommUndo"), Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    QCOMPARE(readFile(dir.filePath("a.htm")), gbk);
}

void TestSiteSearch::newWindowStartsAtTheMatch()
{
    QTemporaryDir dir;
    const QString page = dir.filePath("a.htm");
    writeFile(page, encoded(QStringLiteral("<p>x</p>\r\n<p>中文 中文</p>\r\n"), "GBK", false));
    ScriptedPrompts prompts;
    RecordingLauncher launcher;
    SiteSearchWindow::Host host;
    host.launcher = &launcher;
    SiteSearchWindow window(prompts, host, nullptr);
    window.setFolder(dir.path());
    window.findChild<QLineEdit *>("Txtfindstr")->setText(QStringLiteral("中文"));
    window.findChild<QComboBox *>()->setCurrentIndex(1); // "在新窗口打开"
    QSignalSpy finished(&window, &SiteSearchWindow::runFinished);
    window.find();
    QVERIFY(finished.wait(10000));

    QTreeWidgetItem *file = window.results()->topLevelItem(0);
    window.openResult(file->child(1));
    window.openResult(file);
    const QString program = QCoreApplication::applicationFilePath();
    QCOMPARE(launcher.started, (QStringList{program, program}));
    QCOMPARE(launcher.arguments, (QList<QStringList>{{"--goto", "2:7", page}, {page}}));
    // Nothing started: the window says so.
    QVERIFY(window.findChild<QLabel *>("LabStatus")->text().contains(QStringLiteral("无法启动")));
}

QTEST_MAIN(TestSiteSearch)
#include "tst_sitesearch.moc"
