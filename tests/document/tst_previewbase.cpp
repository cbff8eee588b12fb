#include "document/preview.h"

#include <QTest>

namespace {

const QString kPage = QStringLiteral("/srv/www/新 站#1/index.htm");
const QString kBase = QStringLiteral("<base href=\"file:///srv/www/%E6%96%B0%20%E7%AB%99%231/\">");

} // namespace

class TestPreviewBase : public QObject {
    Q_OBJECT
private slots:
    void baseForSavedPages_data();
    void baseForSavedPages();
};

void TestPreviewBase::baseForSavedPages_data()
{
    QTest::addColumn<QString>("pageFile");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // "@" stands for the inserted <base>

    QTest::newRow("after head") << kPage << "<html><HEAD>\r\n<title>t</title>"
                                << "<html><HEAD>@\r\n<title>t</title>";
    QTest::newRow("after head with attributes, not header")
        << kPage << "<header>x</header><head profile=\"p\"><link href=a.css>"
        << "<header>x</header><head profile=\"p\">@<link href=a.css>";
    QTest::newRow("no head: at the start") << kPage << "<p><img src=a.png>"
                                           << "@<p><img src=a.png>";
    QTest::newRow("no head: after doctype and comment")
        << kPage << "<!DOCTYPE html>\r\n<!-- a > b -->\r\n<body>"
        << "<!DOCTYPE html>\r\n<!-- a > b -->\r\n@<body>";
    QTest::newRow("existing base target") << kPage << "<head><base target=\"_blank\">"
                                          << "<head>@<base target=\"_blank\">";
    QTest::newRow("existing base href") << kPage << "<head><BASE target=_top HREF = \"http://x/\">"
                                        << "<head><BASE target=_top HREF = \"http://x/\">";
    QTest::newRow("unsaved page") << QString() << "<head><img src=a.png>"
                                  << "<head><img src=a.png>";
    QTest::newRow("folder name with markup")
        << QStringLiteral("/tmp/a&b\"c<d/p.htm") << "<head>"
        << "<head><base href=\"file:///tmp/a&amp;b%22c%3Cd/\">";
}

void TestPreviewBase::baseForSavedPages()
{
    QFETCH(QString, pageFile);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(PreviewText(text, pageFile), QString(expected).replace(u'@', kBase));
}

QTEST_APPLESS_MAIN(TestPreviewBase)
#include "tst_previewbase.moc"
