#include "snippets/lettercase.h"

#include <QTest>

class TestLetterCase : public QObject {
    Q_OBJECT
private slots:
    void sameAsFullUnicodeRules_data();
    void sameAsFullUnicodeRules();
    void sharedTextIsNotChanged();
};

void TestLetterCase::sameAsFullUnicodeRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("markup") << "<a Href=x>Hi</a>\r\n"
                            << "<A HREF=X>HI</A>\r\n"
                            << "<a href=x>hi</a>\r\n";
    QTest::newRow("around the letters") << "@[`{"
                                        << "@[`{"
                                        << "@[`{";
    QTest::newRow("Chinese and punctuation")
        << QStringLiteral("中文，标点。ａ") << QStringLiteral("中文，标点。Ａ")
        << QStringLiteral("中文，标点。ａ");
    QTest::newRow("longer upper form after ASCII")
        << QStringLiteral("ab straße") << "AB STRASSE" << QStringLiteral("ab straße");
    QTest::newRow("ligature") << QStringLiteral("ﬁx") << "FIX" << QStringLiteral("ﬁx");
    QTest::newRow("dotted capital I")
        << QStringLiteral("İa") << QStringLiteral("İA") << QString(QStringLiteral("İa")).toLower();
    QTest::newRow("Roman numeral and circled letter")
        << QStringLiteral("ⅻⓐ") << QStringLiteral("ⅫⒶ") << QStringLiteral("ⅻⓐ");
    QTest::newRow("Greek") << QStringLiteral("ΟΔΟΣ x") << QStringLiteral("ΟΔΟΣ X")
                           << QString(QStringLiteral("ΟΔΟΣ x")).toLower();
    QTest::newRow("outside the basic plane")
        << QStringLiteral("a\U00010428") << QStringLiteral("A\U00010400")
        << QStringLiteral("a\U00010428");
}

void TestLetterCase::sameAsFullUnicodeRules()
{
    QFETCH(QString, text);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QCOMPARE(LetterCase::upper(text), upper);
    QCOMPARE(LetterCase::lower(text), lower);
    QCOMPARE(LetterCase::upper(text), text.toUpper());
    QCOMPARE(LetterCase::lower(text), text.toLower());
}

void TestLetterCase::sharedTextIsNotChanged()
{
    const QString original = QStringLiteral("abc 中文");
    const QString copy = original;
    QCOMPARE(LetterCase::upper(copy), QStringLiteral("ABC 中文"));
    QCOMPARE(copy, QStringLiteral("abc 中文"));
    QCOMPARE(original, QStringLiteral("abc 中文"));
}

QTEST_MAIN(TestLetterCase)
#include "tst_lettercase.moc"
