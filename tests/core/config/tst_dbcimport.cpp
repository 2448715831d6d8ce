#include "core/config/DbcImport.h"

#include "TestPaths.h"

#include <QFile>
#include <QTest>

namespace {

const QString A = CobIdTable::type11Bit();
const QString B = CobIdTable::type29Bit();

QByteArray fixture(const QString &name)
{
    QFile f(TestPaths::data(u"extras/"_qs + name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList cells(const ImportedRow &row)
{
    return QStringList(row.cells.begin(), row.cells.end());
}

} // namespace

class TestDbcImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsMessages_data();
    void readsMessages();
    void refusesMalformedLines_data();
    void refusesMalformedLines();
};

void TestDbcImport::readsMessages_data()
{
    QTest::addColumn<bool>("fillModify");
    QTest::newRow("positive implementation") << true;
    QTest::newRow("without positive implementation") << false;
}

void TestDbcImport::readsMessages()
{
    QFETCH(bool, fillModify);
    std::vector<ImportedRow> rows;
    QCOMPARE(DbcImport::parse(fixture(u"vehicle.dbc"_qs), u"vehicle.dbc"_qs, fillModify, rows), QString());
    // The signal-only pseudo message, BO_TX_BU_ and BO_ inside a multi-line comment are no messages.
    QCOMPARE(rows.size(), size_t(3));
    const auto expect = [&](const QString &id, const QString &type, const QString &name) {
        return fillModify ? QStringList{id, type, id, type, name} : QStringList{id, type, QString(), QString(), name};
    };
    QCOMPARE(cells(rows[0]), expect(u"0x181"_qs, A, u"Speed"_qs));
    QCOMPARE(cells(rows[1]), expect(u"0x18FEF100"_qs, B, u"EEC1"_qs));
    QCOMPARE(cells(rows[2]), expect(u"0x7FF"_qs, A, u"Last_Std"_qs));
    QCOMPARE(rows[0].line, 12);
    QCOMPARE(rows[2].line, 18);
}

void TestDbcImport::refusesMalformedLines_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error");
    QTest::newRow("hex id") << u"bad-id.dbc"_qs << u"bad-id.dbc, line 6: the message identifier 0x181 is not a decimal number up to 4294967295"_qs;
    QTest::newRow("no colon") << u"no-colon.dbc"_qs << u"no-colon.dbc, line 6: \":\" missing after the message name Brake"_qs;
    QTest::newRow("11-bit too large")
        << u"big-std-id.dbc"_qs << u"big-std-id.dbc, line 6: the identifier 4096 of Brake is beyond 0x7FF for an 11-bit message (bit 31 clear)"_qs;
    QTest::newRow("29-bit too large")
        << u"bad-ext-id.dbc"_qs << u"bad-ext-id.dbc, line 6: the identifier 3758096384 of Brake is beyond 0x1FFFFFFF for a 29-bit message"_qs;
    QTest::newRow("no size") << u"no-size.dbc"_qs << u"no-size.dbc, line 6: the message size of Brake is missing or not a number"_qs;
    QTest::newRow("bad name")
        << u"bad-name.dbc"_qs << u"bad-name.dbc, line 6: 2Brake is not a message name (letters, digits and _, not starting with a digit)"_qs;
    QTest::newRow("no transmitter") << u"no-transmitter.dbc"_qs << u"no-transmitter.dbc, line 6: the transmitter of Brake is missing"_qs;
    QTest::newRow("no name") << u"no-name.dbc"_qs << u"no-name.dbc, line 6: the message name is missing"_qs;
}

void TestDbcImport::refusesMalformedLines()
{
    QFETCH(QString, file);
    QFETCH(QString, error);
    std::vector<ImportedRow> rows{ImportedRow{}};
    QCOMPARE(DbcImport::parse(fixture(file), file, true, rows), error);
    QCOMPARE(rows.size(), size_t(1)); // untouched
}

QTEST_GUILESS_MAIN(TestDbcImport)
#include "tst_dbcimport.moc"
