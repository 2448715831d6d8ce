#include "core/config/CobIdChecks.h"
#include "core/config/CobIdDocument.h"

#include <QTest>

namespace {

const QString &A = CobIdTable::type11Bit();
const QString &B = CobIdTable::type29Bit();

using Duplicate = CobIdChecks::Duplicate;

void setRow(CobIdTable &t, int r, const QString &id, const QString &type)
{
    t.setCell(r, CobIdTable::OrigCobId, id);
    t.setCell(r, CobIdTable::TypeCobId, type);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Duplicate>)

class TestCobIdChecks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void duplicates_data();
    void duplicates();
    void warningNamesBothTables();
    void usedRowsText();
};

void TestCobIdChecks::duplicates_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<std::vector<Duplicate>>("expected");

    QTest::newRow("none") << QStringList{u"1"_qs, u"2"_qs} << QStringList{A, A} << std::vector<Duplicate>{};
    QTest::newRow("same number, other type")
        << QStringList{u"0x100"_qs, u"256"_qs} << QStringList{A, B} << std::vector<Duplicate>{};
    QTest::newRow("compared as numbers") << QStringList{u"0x181"_qs, u"5"_qs, u"385"_qs, u" $181"_qs}
                                         << QStringList{A, A, A, A}
                                         << std::vector<Duplicate>{{0x181, false, {1, 3, 4}}};
    QTest::newRow("29-bit") << QStringList{u"0x18FEF100"_qs, u"419361024"_qs} << QStringList{B, B}
                            << std::vector<Duplicate>{{0x18FEF100, true, {1, 2}}};
    // An unusable type counts as 11-bit, as in the image.
    QTest::newRow("missing type is 11-bit")
        << QStringList{u"7"_qs, u"7"_qs} << QStringList{QString(), A} << std::vector<Duplicate>{{7, false, {1, 2}}};
    QTest::newRow("unreadable ignored") << QStringList{u"abc"_qs, u"abc"_qs,        u"5 "_qs,
                                                       u"5 "_qs,  u"0xFFFFFFFF"_qs, u"-1"_qs}
                                        << QStringList{A, A, A, A, B, B} << std::vector<Duplicate>{};
    QTest::newRow("in order of first row") << QStringList{u"9"_qs, u"3"_qs, u"3"_qs, u"9"_qs} << QStringList{A, A, A, A}
                                           << std::vector<Duplicate>{{9, false, {1, 4}}, {3, false, {2, 3}}};
}

void TestCobIdChecks::duplicates()
{
    QFETCH(QStringList, ids);
    QFETCH(QStringList, types);
    QFETCH(std::vector<Duplicate>, expected);
    CobIdTable t;
    for (int r = 0; r < ids.size(); ++r)
        setRow(t, r, ids.at(r), types.at(r));
    // Rows outside the table do not count.
    setRow(t, ids.size() + 1, ids.value(0), types.value(0));
    QVERIFY(CobIdChecks::duplicates(t) == expected);
}

void TestCobIdChecks::warningNamesBothTables()
{
    CobIdDocument doc;
    QCOMPARE(CobIdChecks::duplicatesWarning(doc), QString());
    setRow(doc.table(0), 0, u"0x181"_qs, A);
    setRow(doc.table(0), 1, u"385"_qs, A);
    setRow(doc.table(0), 2, u"0x100"_qs, B);
    setRow(doc.table(0), 3, u"0x100"_qs, B);
    QCOMPARE(CobIdChecks::duplicatesWarning(doc),
             u"Original identifiers listed more than once:\n\n[From CAN 0 to CAN 1]\n0x181 (11-bit) in rows 1, 2\n"
             "0x00000100 (29-bit) in rows 3, 4"_qs);
    setRow(doc.table(1), 0, u"1"_qs, A);
    setRow(doc.table(1), 1, u"1"_qs, A);
    QVERIFY(CobIdChecks::duplicatesWarning(doc).endsWith(u"\n\n[From CAN 1 to CAN 0]\n0x001 (11-bit) in rows 1, 2"_qs));
}

void TestCobIdChecks::usedRowsText()
{
    CobIdTable t;
    QCOMPARE(CobIdChecks::usedRowsText(t), u"0 of 2048 rows used"_qs);
    setRow(t, 0, u"1"_qs, A);
    setRow(t, 1, u"2"_qs, A);
    setRow(t, 3, u"4"_qs, A);
    QCOMPARE(CobIdChecks::usedRowsText(t), u"2 of 2048 rows used"_qs);
    t.compileAll();
    QCOMPARE(CobIdChecks::usedRowsText(t), u"2048 of 2048 rows used"_qs);
}

QTEST_GUILESS_MAIN(TestCobIdChecks)
#include "tst_cobidchecks.moc"
