#include "platform/encodingdetection.h"
#include "platform/encodinglabels.h"
#include "platform/htmlprescan.h"

#include <QTest>

class TestEncodingDetection : public QObject {
    Q_OBJECT
private slots:
    void detect_data();
    void detect();
    void declarationSpan();
};

void TestEncodingDetection::detect_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<int>("bomLength");
    QTest::addColumn<QString>("overruled");

    const QByteArray gbk = QByteArray::fromHex("d6d0cec4"); // 中文 in GBK, not UTF-8
    const QByteArray utf8 = "\xe4\xb8\xad";                 // 中 in UTF-8
    const QByteArray padding(1100, 'x');
    const auto meta = [](const char *attributes) {
        return QByteArray("<html><head><meta ") + attributes + "></head>";
    };

    QTest::newRow("nothing: GBK") << QByteArray("<p>plain</p>") << "GBK" << 0 << "";
    QTest::newRow("empty file") << QByteArray() << "GBK" << 0 << "";
    QTest::newRow("GBK bytes") << "<p>" + gbk << "GBK" << 0 << "";
    QTest::newRow("utf-8 bom") << "\xef\xbb\xbf<p>" + gbk << "UTF-8" << 3 << "";
    QTest::newRow("utf-16le bom") << QByteArray("\xff\xfe<\0p\0", 6) << "UTF-16LE" << 2 << "";
    QTest::newRow("utf-16be bom") << QByteArray("\xfe\xff\0<\0p", 6) << "UTF-16BE" << 2 << "";
    QTest::newRow("bom beats a declaration")
        << "\xef\xbb\xbf" + meta("charset=gb2312") << "UTF-8" << 3 << "";
    QTest::newRow("valid utf-8 beats gb2312")
        << meta("charset=gb2312") + utf8 << "UTF-8" << 0 << "GBK";
    QTest::newRow("valid utf-8 agreeing") << meta("charset=utf-8") + utf8 << "UTF-8" << 0 << "";
    QTest::newRow("invalid utf-8 follows declaration")
        << meta("charset=big5") + gbk << "Big5" << 0 << "";
    QTest::newRow("ascii with declaration")
        << meta("charset=\"Shift_JIS\"") << "Shift_JIS" << 0 << "";
    QTest::newRow("http-equiv pragma")
        << meta("http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\"") << "EUC-KR"
        << 0 << "";
    QTest::newRow("pragma after content") << meta("content='text/html;charset=gbk' http-equiv="
                                                  "content-type")
                                          << "GBK" << 0 << "";
    QTest::newRow("content without pragma ignored")
        << meta("content=\"text/html; charset=big5\"") << "GBK" << 0 << "";
    QTest::newRow("label gb2312") << meta("charset=gb2312") << "GBK" << 0 << "";
    QTest::newRow("label x-gbk") << meta("charset=x-gbk") << "GBK" << 0 << "";
    QTest::newRow("label chinese") << meta("charset=chinese") << "GBK" << 0 << "";
    QTest::newRow("label iso-ir-58") << meta("charset=iso-ir-58") << "GBK" << 0 << "";
    QTest::newRow("label latin1") << meta("charset=latin1") << "windows-1252" << 0 << "";
    QTest::newRow("label ascii") << meta("charset=ascii") << "windows-1252" << 0 << "";
    QTest::newRow("label iso-8859-1 with blanks")
        << meta("charset=\" ISO-8859-1 \"") << "windows-1252" << 0 << "";
    QTest::newRow("declared utf-16 means utf-8") << meta("charset=utf-16") << "UTF-8" << 0 << "";
    QTest::newRow("declared utf-16be means utf-8")
        << meta("charset=utf-16be") << "UTF-8" << 0 << "";
    QTest::newRow("x-user-defined means windows-1252")
        << meta("charset=x-user-defined") << "windows-1252" << 0 << "";
    QTest::newRow("unknown label skipped, next one counts")
        << meta("charset=klingon") + meta("charset=big5") << "Big5" << 0 << "";
    QTest::newRow("replacement label skipped")
        << meta("charset=iso-2022-kr") + meta("charset=euc-jp") << "EUC-JP" << 0 << "";
    QTest::newRow("first of two wins")
        << meta("charset=big5") + meta("charset=gbk") << "Big5" << 0 << "";
    QTest::newRow("inside a comment")
        << "<!-- <meta charset=big5> -->" + meta("charset=euc-kr") << "EUC-KR" << 0 << "";
    QTest::newRow("comment <!--> ends at once")
        << QByteArray("<!--><meta charset=big5>-->") << "Big5" << 0 << "";
    QTest::newRow("inside an attribute value")
        << "<p title='<meta charset=big5>'>" + meta("charset=shift_jis") << "Shift_JIS" << 0 << "";
    QTest::newRow("inside a processing instruction")
        << "<?x <meta charset=big5> ?>" + meta("charset=koi8-r") << "KOI8-R" << 0 << "";
    QTest::newRow("after 1024 bytes") << padding + meta("charset=big5") << "Big5" << 0 << "";
    QTest::newRow("meta followed by slash")
        << QByteArray("<meta/charset=big5>") << "Big5" << 0 << "";
    QTest::newRow("metadata is no meta")
        << QByteArray("<metadata charset=big5>") << "GBK" << 0 << "";
    QTest::newRow("duplicate attribute: first counts")
        << meta("charset=big5 charset=gbk") << "Big5" << 0 << "";
    QTest::newRow("unterminated quote") << QByteArray("<meta charset=\"big5>") << "GBK" << 0 << "";
}

void TestEncodingDetection::detect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(int, bomLength);
    QFETCH(QString, overruled);
    const EncodingDetection::Result result = EncodingDetection::detect(bytes);
    QCOMPARE(result.encoding, encoding);
    QCOMPARE(result.bomLength, bomLength);
    QCOMPARE(result.overruledDeclaration, overruled);
}

// The label's place in text, which the declaration update replaces.
void TestEncodingDetection::declarationSpan()
{
    const QString text = QStringLiteral(
        "<html>中文\r\n<Meta http-equiv=Content-Type content=\"text/html; charset= gb2312 \">");
    const auto found = HtmlPrescan::find(QStringView(text));
    QVERIFY(found);
    QCOMPARE(found->encoding, QStringLiteral("GBK"));
    QCOMPARE(text.mid(found->labelStart, found->labelLength), QStringLiteral("gb2312"));

    for (const QString &name : EncodingLabels::names())
        QCOMPARE(EncodingLabels::nameForLabel(name.toLower()), name);
}

QTEST_APPLESS_MAIN(TestEncodingDetection)
#include "tst_encodingdetection.moc"
