#include "core/config/DbcImport.h"

#include "TestPaths.h"

#include <QFile>
#include <QTest>

namespace {

const QString &A = CobIdTable::type11Bit();
const QString &B = CobIdTable::type29Bit();

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
    void oddFilesOfTheWild_data();
    void oddFilesOfTheWild();
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
    QTest::newRow("hex id")
        << u"bad-id.dbc"_qs
        << u"bad-id.dbc, line 6: the message identifier 0x181 is not a decimal number up to 4294967295"_qs;
    QTest::newRow("no colon") << u"no-colon.dbc"_qs
                              << u"no-colon.dbc, line 6: \":\" missing after the message name Brake"_qs;
    QTest::newRow("11-bit too large")
        << u"big-std-id.dbc"_qs
        << u"big-std-id.dbc: 1 identifier is beyond 0x7FF without the 29-bit flag (bit 31 clear), which an 11-bit message "
           "cannot have: line 6: Brake (4096)"_qs;
    QTest::newRow("29-bit too large")
        << u"bad-ext-id.dbc"_qs
        << u"bad-ext-id.dbc, line 6: the identifier 3758096384 of Brake is beyond 0x1FFFFFFF for a 29-bit message"_qs;
    QTest::newRow("no size") << u"no-size.dbc"_qs
                             << u"no-size.dbc, line 6: the message size of Brake is missing or not a number"_qs;
    QTest::newRow("no transmitter") << u"no-transmitter.dbc"_qs
                                    << u"no-transmitter.dbc, line 6: the transmitter of Brake is missing"_qs;
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

void TestDbcImport::oddFilesOfTheWild_data()
{
    QTest::addColumn<QByteArray>("dbc");
    QTest::addColumn<bool>("as29Bit");
    QTest::addColumn<QString>("error"); // empty: read
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<int>("wide");

    const QByteArray head = "VERSION \"\"\n\nBU_: ECU1\n\n";
    // The pseudo message written with 1073741824 instead of 0xC0000000.
    QTest::newRow("pseudo message by name")
        << head + "BO_ 1073741824 VECTOR__INDEPENDENT_SIG_MSG: 0 Vector__XXX\nBO_ 385 Speed: 8 ECU1\n"
        << false << QString() << QStringList{u"0x181"_qs} << QStringList() << 0;
    const QByteArray wide =
        head + "BO_ 2048 A: 8 ECU1\nBO_ 385 Speed: 8 ECU1\nBO_ 419360000 B: 8 ECU1\nBO_ 2147483904 C: 8 ECU1\n";
    QTest::newRow("all wide identifiers at once")
        << wide << false
        << u"x.dbc: 2 identifiers are beyond 0x7FF without the 29-bit flag (bit 31 clear), which an 11-bit message cannot "
           "have: line 5: A (2048); line 7: B (419360000)"_qs
        << QStringList() << QStringList() << 2;
    QTest::newRow("wide identifiers as 29-bit")
        << wide << true << QString() << QStringList{u"0x00000800"_qs, u"0x181"_qs, u"0x18FEED00"_qs, u"0x00000100"_qs}
        << QStringList() << 2;
    QTest::newRow("beyond 29 bits even so")
        << head + "BO_ 536870912 A: 8 ECU1\n"
        << true << u"x.dbc, line 5: the identifier 536870912 of A is beyond 0x1FFFFFFF for a 29-bit message"_qs
        << QStringList() << QStringList() << 1;
    // Refused once; the name only fills Mnemonic.
    QTest::newRow("name that is not a C identifier")
        << fixture(u"bad-name.dbc"_qs) << false << QString() << QStringList{u"0x181"_qs, u"0x182"_qs}
        << QStringList{u"x.dbc, line 6: the message name 2Brake is not a C identifier; it is taken as the Mnemonic as it stands"_qs}
        << 0;

    // A file that gives no row is refused, saying what it holds, so that no table is emptied.
    const auto nothing = [](const char *label, const QByteArray &dbc, const QString &error) {
        QTest::newRow(label) << dbc << false << error << QStringList() << QStringList() << 0;
    };
    nothing("empty", fixture(u"empty.dbc"_qs), u"x.dbc is empty: nothing imported"_qs);
    nothing("only line ends and blanks", "\r\n \t\n\n", u"x.dbc is empty: nothing imported"_qs);
    nothing("no message", fixture(u"no-message.dbc"_qs), u"x.dbc holds no message (no BO_ line): nothing imported"_qs);
    nothing("binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
            u"x.dbc holds binary bytes (a NUL byte on line 3), not text: nothing imported"_qs);
    nothing("only the pseudo message", head + "BO_ 3221225472 VECTOR__INDEPENDENT_SIG_MSG: 0 Vector__XXX\n",
            u"x.dbc holds only VECTOR__INDEPENDENT_SIG_MSG, the message that collects the signals of no message: "
            "nothing imported"_qs);
    nothing(
        "quote never closed before the messages", fixture(u"unclosed-quote.dbc"_qs),
        u"x.dbc, line 5: the quoted text that starts on this line is never closed, so the rest of the file is taken "
        "as text (BO_ lines in it: 2): nothing imported"_qs);
    // Messages before the open quote are read, but not when it takes in others.
    nothing(
        "quote never closed between messages",
        head + "BO_ 385 Speed: 8 ECU1\nCM_ \"closed\";\nCM_ BO_ 385 \"open\nBO_ 386 Brake: 8 ECU1\n",
        u"x.dbc, line 7: the quoted text that starts on this line is never closed, so the rest of the file is taken "
        "as text (BO_ lines in it: 1): nothing imported"_qs);
    QTest::newRow("quote never closed after the messages")
        << head + "BO_ 385 Speed: 8 ECU1\nCM_ BO_ 385 \"open\nspeed\n"
        << false << QString() << QStringList{u"0x181"_qs} << QStringList() << 0;
}

void TestDbcImport::oddFilesOfTheWild()
{
    QFETCH(QByteArray, dbc);
    QFETCH(bool, as29Bit);
    QFETCH(QString, error);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, warnings);
    QFETCH(int, wide);
    std::vector<ImportedRow> rows;
    DbcImport::Report report;
    QCOMPARE(DbcImport::parse(dbc, u"x.dbc"_qs, false, rows,
                              as29Bit ? DbcImport::WideIds::As29Bit : DbcImport::WideIds::Refuse, &report),
             error);
    QStringList got;
    for (const ImportedRow &row : rows)
        got << row.cells[CobIdTable::OrigCobId];
    QCOMPARE(got, ids);
    QCOMPARE(report.warnings, warnings);
    QCOMPARE(report.wideIds, wide);
    if (!warnings.isEmpty())
        QCOMPARE(rows.back().cells[CobIdTable::Desc], u"2Brake"_qs);
}

QTEST_GUILESS_MAIN(TestDbcImport)
#include "tst_dbcimport.moc"
