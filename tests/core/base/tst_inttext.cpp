#include "core/base/IntText.h"

#include <QTest>

class TestIntText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void read_data();
    void read();
    void trimmed();
    void upperAscii();
};

void TestIntText::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("value");

    QTest::newRow("decimal") << "385" << true << 385;
    QTest::newRow("dollar prefix") << "$7FF" << true << 2047;
    QTest::newRow("x prefix") << "x7ff" << true << 2047;
    QTest::newRow("X prefix") << "X7ff" << true << 2047;
    QTest::newRow("0x prefix") << "0x181" << true << 385;
    QTest::newRow("0X prefix") << "0XaB" << true << 171;
    QTest::newRow("minus") << "-12" << true << -12;
    QTest::newRow("plus") << "+12" << true << 12;
    QTest::newRow("minus hex") << "-0x10" << true << -16;
    QTest::newRow("leading blanks") << "   5" << true << 5;
    QTest::newRow("trailing blank") << "5 " << false << 0;
    QTest::newRow("blank after sign") << "- 5" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("only blanks") << "   " << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("dollar without digits") << "$" << false << 0;
    QTest::newRow("0x without digits") << "0x" << false << 0;
    QTest::newRow("other character") << "12a" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("max int") << "2147483647" << true << 2147483647;
    QTest::newRow("max int plus one") << "2147483648" << false << 0;
    QTest::newRow("min int") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("min int minus one") << "-2147483649" << false << 0;
    QTest::newRow("many leading zeros") << "000000000000012" << true << 12;
    QTest::newRow("eight hex digits top bit") << "0xFFFFFFFF" << true << -1;
    QTest::newRow("eight hex digits 0x80000000") << "$80000000" << true << int(-2147483647 - 1);
    QTest::newRow("nine hex digits") << "0x100000000" << false << 0;
    QTest::newRow("hex leading zeros") << "0x000000001" << true << 1;
    QTest::newRow("double zero x") << "00x1" << false << 0;
    QTest::newRow("tab before") << "\t5" << false << 0;
}

void TestIntText::read()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(int, value);
    const auto result = IntText::read(text);
    QCOMPARE(result.has_value(), readable);
    if (readable)
        QCOMPARE(*result, value);
    QCOMPARE(IntText::readOr(text, -7), readable ? value : -7);
}

void TestIntText::trimmed()
{
    QCOMPARE(IntText::trimmed(u"\t  a b \r\n"), QStringLiteral("a b"));
    QCOMPARE(IntText::trimmed(QString(QChar(0x1F)) + QStringLiteral("x") + QChar(0xA0)),
             QStringLiteral("x") + QChar(0xA0)); // only codes up to 32 are removed
    QCOMPARE(IntText::trimmed(u"   "), QString());
}

void TestIntText::upperAscii()
{
    QCOMPARE(IntText::upperAscii(u"ver. 2.0\u00e9"), QStringLiteral("VER. 2.0\u00e9"));
}

QTEST_GUILESS_MAIN(TestIntText)
#include "tst_inttext.moc"
