#include "core/image/BankSource.h"

#include <QBuffer>
#include <QTest>

namespace {
QByteArray ffLine(bool first, int k, bool last)
{
    QByteArray line = first ? "const char Bank" + QByteArray::number(k) + " [] = {" : QByteArray(17, ' ');
    for (int i = 0; i < 16; ++i)
        line += (last && i == 15) ? " 0xFF};" : " 0xFF,";
    return line;
}
} // namespace

class TestBankSource : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void linesOfFourBanks();
    void bytesInOrderAndUpperCase();
    void deviceFormGivesTheSameBytes();
};

void TestBankSource::linesOfFourBanks()
{
    const QByteArray banks[4] = {QByteArray(16384, char(0xFF)), QByteArray(16384, char(0xFF)),
                                 QByteArray(16384, char(0xFF)), QByteArray(16384, char(0xFF))};
    const QByteArray text = BankSource::Write_Bank_Source(banks);
    QVERIFY(text.endsWith("\r\n"));
    QCOMPARE(text.count('\n'), text.count("\r\n"));
    QList<QByteArray> lines = text.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(lines.size(), BankSource::LineCount);
    for (QByteArray &line : lines)
        line.chop(1); // the CR

    QCOMPARE(lines[0], QByteArray("#pragma CONST_SEG SEGMENT0"));
    const int starts[4] = {1, 1026, 2051, 3077};
    for (int k = 1; k <= 4; ++k) {
        const int s = starts[k - 1];
        QCOMPARE(lines[s], ffLine(true, k, false));
        QCOMPARE(lines[s + 1], ffLine(false, k, false));
        QCOMPARE(lines[s + 1023], ffLine(false, k, true));
        QCOMPARE(lines[s + 1024], QByteArray());
    }
    QCOMPARE(lines[3076], QByteArray("#pragma CONST_SEG SEGMENT1"));
    QCOMPARE(lines[4102], QByteArray("#pragma CONST_SEG DEFAULT"));
    QVERIFY(!text.contains("Bank5"));
}

void TestBankSource::bytesInOrderAndUpperCase()
{
    QByteArray banks[4];
    for (int k = 0; k < 4; ++k) {
        banks[k] = QByteArray(16384, '\0');
        for (int i = 0; i < 16384; ++i)
            banks[k][i] = char((i * 7 + k) & 0xFF);
    }
    const QList<QByteArray> lines = BankSource::Write_Bank_Source(banks).split('\n');
    // Read the bytes back out of every line of bank 2 and compare.
    QByteArray readBack;
    for (int j = 0; j < 1024; ++j) {
        const QByteArray &line = lines[1026 + j];
        QCOMPARE(line.left(17), j == 0 ? QByteArray("const char Bank2 ") : QByteArray(17, ' '));
        const QByteArray items = line.mid(j == 0 ? 23 : 17);
        QCOMPARE(items.size(), 16 * 6 + (j == 1023 ? 2 : 1));
        for (int b = 0; b < 16; ++b) {
            const QByteArray item = items.mid(6 * b, 4);
            QVERIFY(item.startsWith(" 0x"));
            QCOMPARE(items.mid(6 * b + 3, 2), items.mid(6 * b + 3, 2).toUpper());
            readBack += QByteArray::fromHex(items.mid(6 * b + 3, 2));
        }
    }
    QCOMPARE(readBack, banks[1]);
}

void TestBankSource::deviceFormGivesTheSameBytes()
{
    const QByteArray banks[4] = {QByteArray(16384, 'a'), QByteArray(16384, 'b'), QByteArray(16384, 'c'),
                                 QByteArray(16384, 'd')};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(BankSource::Write_Bank_Source(banks, buffer).isEmpty());
    QCOMPARE(buffer.data(), BankSource::Write_Bank_Source(banks));
}

QTEST_GUILESS_MAIN(TestBankSource)
#include "tst_banksource.moc"
