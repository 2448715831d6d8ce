#include "core/config/CobIdDocument.h"

#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "CliRun.h"

namespace {

using CliRun::Result;
using CliRun::put;

Result runCli(const QStringList &args)
{
    return CliRun::run(args);
}

QByteArray get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray row(const QByteArray &orig, const QByteArray &type, const QByteArray &mod, const QByteArray &modType,
               const QByteArray &desc = QByteArray())
{
    return "<row Orig_CobID=\"" + orig + "\" Type_CobID=\"" + type + "\" Mod_CobID=\"" + mod + "\" Type_MCobID=\""
        + modType + "\" Desc=\"" + desc + "\"/>";
}

QByteArray cobId(const QByteArray &rows0, const QByteArray &rows1 = QByteArray())
{
    return "<CanCanCobID><Can0_to_Can1>" + rows0 + "</Can0_to_Can1><Can1_to_Can0>" + rows1
        + "</Can1_to_Can0></CanCanCobID>";
}

// The document as the writer puts it: an empty list is one empty element.
QByteArray written(const QByteArray &rows0, const QByteArray &rows1 = QByteArray())
{
    const auto list = [](const QByteArray &name, const QByteArray &rows) {
        return rows.isEmpty() ? "<" + name + "/>" : "<" + name + ">" + rows + "</" + name + ">";
    };
    return "<CanCanCobID>" + list("Can0_to_Can1", rows0) + list("Can1_to_Can0", rows1)
        + "</CanCanCobID><!--SW_VERSION = 2.001-->\n";
}

CobIdDocument document(const QString &path)
{
    CobIdDocument doc;
    const QString error = doc.read(path);
    return error.isEmpty() ? doc : CobIdDocument();
}

const QByteArray kA = "2.0A 11bits";
const QByteArray kB = "2.0B 29bits";
const QByteArray kHeader = "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\r\n";
const QByteArray kPositiveOff = "<Par_Gen><Device_Type>1</Device_Type><Positive>0</Positive></Par_Gen>";

QString extras(const char *name)
{
    return TestPaths::data(u"extras/"_qs + QLatin1String(name));
}

// A project folder with the given documents; an empty text means no such file.
struct Project
{
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QString cobId() const { return path("CanCanCobID.xml"); }
    bool make(const QByteArray &parGen, const QByteArray &cobIdXml)
    {
        return dir.isValid() && (parGen.isEmpty() || put(path("ParGen.xml"), parGen))
            && (cobIdXml.isEmpty() || put(cobId(), cobIdXml));
    }
};

} // namespace

class TestTableCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exportShowsWhatTheWindowShows();
    void importReplacesOneTable();
    void importAppends();
    void importFromDbcIntoNewProjectWithPortTypes();
    void refusedImportChangesNothing_data();
    void refusedImportChangesNothing();
    void duplicatesWarnButImport();
    void exportImportRoundTrip();
    void usageErrors_data();
    void usageErrors();
};

void TestTableCommands::exportShowsWhatTheWindowShows()
{
    Project p;
    // Device type 0, CAN 0 at 29-bit and CAN 1 at 11-bit: the second table's rows are 11-bit
    // originals and 29-bit replacements, whatever the file says.
    QVERIFY(p.make("<Par_Gen><Device_Type>0</Device_Type><Type>1</Type><TypeC1>0</TypeC1><Positive>1</Positive></Par_Gen>",
                   cobId(row("1", kA, "1", kA), row("0x181", kA, "0x18FEF100", kA, "Speed, left") + row("7", kB, "7", kB))));
    const QString csv = p.path("out.csv");
    const Result r = runCli({u"export"_qs, p.dir.path(), u"--table"_qs, u"1"_qs, csv});
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, "Exported 2 rows of From CAN 1 to CAN 0 to " + QDir::toNativeSeparators(csv).toUtf8() + '\n');
    QCOMPARE(get(csv), kHeader + "0x181,2.0A 11bits,0x18FEF100,2.0B 29bits,\"Speed, left\"\r\n"
                                 "7,2.0A 11bits,7,2.0B 29bits,\r\n");
}

void TestTableCommands::importReplacesOneTable()
{
    Project p;
    const QByteArray other = row("0x300", kA, "0x301", kA, "kept");
    QVERIFY(p.make(kPositiveOff, cobId(row("1", kA, "", "") + row("2", kA, "", ""), other)));
    const Result r = runCli({u"import"_qs, p.dir.path(), u"--table"_qs, u"0"_qs, extras("table.csv")});
    QCOMPARE(r.err, QByteArray("warning: original identifiers listed more than once in From CAN 0 to CAN 1:\n"
                               "0x181 (11-bit) in rows 1, 2\n"));
    QCOMPARE(r.out, QByteArray("Imported 4 rows into From CAN 0 to CAN 1; 4 of 2048 rows used\n"));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(get(p.cobId()), written(row("0x181", kA, "0x281", kA, "Speed, left") + row("385", kA, "385", kA, "Say &quot;hi&quot;")
                                         + row("0x18FEF100", kB, "0x100", kA, "two&#13;&#10;lines") + row(" 5", kA, "", ""),
                                     other));
}

void TestTableCommands::importAppends()
{
    Project p;
    QVERIFY(p.make(kPositiveOff, cobId(QByteArray(), row("1", kA, "", "") + row("2", kA, "", ""))));
    const Result r = runCli({u"import"_qs, p.dir.path(), u"--table"_qs, u"1"_qs, extras("vehicle.dbc"), u"--append"_qs});
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.out, QByteArray("Imported 3 rows into From CAN 1 to CAN 0; 5 of 2048 rows used\n"));
    // Without positive implementation the Modify columns stay empty.
    QCOMPARE(get(p.cobId()), written(QByteArray(), row("1", kA, "", "") + row("2", kA, "", "") + row("0x181", kA, "", "", "Speed")
                                                       + row("0x18FEF100", kB, "", "", "EEC1") + row("0x7FF", kA, "", "", "Last_Std")));
}

void TestTableCommands::importFromDbcIntoNewProjectWithPortTypes()
{
    Project p;
    QVERIFY(p.make("<Par_Gen><Device_Type>0</Device_Type><Type>0</Type><TypeC1>0</TypeC1><Positive>1</Positive></Par_Gen>", {}));
    QTemporaryDir files;
    const QString dbc = files.filePath(u"body.dbc"_qs);
    QVERIFY(put(dbc, "BO_ 1024 Door: 1 BCM\nBO_ 1025 Lamp: 1 BCM\n"));
    Result r = runCli({u"import"_qs, p.dir.path(), u"--table"_qs, u"0"_qs, dbc});
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(get(p.cobId()), written(row("0x400", kA, "0x400", kA, "Door") + row("0x401", kA, "0x401", kA, "Lamp")));

    // A 29-bit message does not belong on an 11-bit port.
    const QByteArray before = get(p.cobId());
    QVERIFY(put(dbc, "BO_ 1024 Door: 1 BCM\nBO_ 2147484672 Seat: 1 BCM\n"));
    r = runCli({u"import"_qs, p.dir.path(), u"--table"_qs, u"0"_qs, dbc});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err, QDir::toNativeSeparators(dbc).toUtf8()
                 + ", line 2: the Original CobID type 2.0B 29bits differs from 2.0A 11bits, the type of the port it belongs "
                   "to (a device without Ethernet port takes the row types from its ports)\n");
    QCOMPARE(get(p.cobId()), before);
}

void TestTableCommands::refusedImportChangesNothing_data()
{
    QTest::addColumn<QByteArray>("parGen");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("err");

    const QByteArray bad = QDir::toNativeSeparators(extras("four-fields.csv")).toUtf8();
    QTest::newRow("malformed CSV") << kPositiveOff << extras("four-fields.csv") << QStringList()
                                   << bad + ", line 3: 4 fields, expected 5\n";
    QTest::newRow("malformed DBC") << kPositiveOff << extras("no-colon.dbc") << QStringList()
                                   << QDir::toNativeSeparators(extras("no-colon.dbc")).toUtf8()
                                          + ", line 6: \":\" missing after the message name Brake\n";
    // No ParGen.xml: positive implementation is on, and the last row of the file has no Modify CobID.
    QTest::newRow("fails validation") << QByteArray() << extras("table.csv") << QStringList()
                                      << QByteArray("nothing imported: Error in row 4!! [From CAN 0 to CAN 1] The Type of "
                                                    "Modify CobID must be selected\n");
    QTest::newRow("table full") << kPositiveOff << extras("vehicle.dbc") << QStringList{u"--append"_qs}
                                << QDir::toNativeSeparators(extras("vehicle.dbc")).toUtf8()
                                       + ", line 15: the table is full; 2047 rows in use and 3 to import make more than 2048\n";
}

void TestTableCommands::refusedImportChangesNothing()
{
    QFETCH(QByteArray, parGen);
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(QByteArray, err);

    Project p;
    QByteArray rows;
    for (int i = 0; i < 2047; ++i)
        rows += row(QByteArray::number(i), kA, QByteArray::number(i), kA);
    QVERIFY(p.make(parGen, cobId(rows)));
    const QByteArray before = get(p.cobId());
    const Result r = runCli(QStringList{u"import"_qs, p.dir.path(), u"--table"_qs, u"0"_qs, file} + options);
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(get(p.cobId()), before);
}

void TestTableCommands::duplicatesWarnButImport()
{
    Project p;
    QVERIFY(p.make(kPositiveOff, {}));
    const QString csv = p.path("dup.csv");
    QVERIFY(put(csv, kHeader + "0x181,2.0A 11bits,,,\r\n385,2.0A 11bits,,,\r\n0x181,2.0B 29bits,,,\r\n"));
    const Result r = runCli({u"import"_qs, p.dir.path(), u"--table"_qs, u"1"_qs, csv});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QByteArray("warning: original identifiers listed more than once in From CAN 1 to CAN 0:\n"
                               "0x181 (11-bit) in rows 1, 2\n"));
    QVERIFY(get(p.cobId()).contains("385"));
}

void TestTableCommands::exportImportRoundTrip()
{
    Project a;
    QVERIFY(a.make(QByteArray(), cobId(row("0x181", kA, "0x281", kA, "a&amp;b, &quot;c&quot;&#10;d") + row(" 7", kB, "0x1FFFFFFF", kB, " x "))));
    const QString csv = a.path("t.csv");
    QCOMPARE(runCli({u"export"_qs, a.dir.path(), u"--table"_qs, u"0"_qs, csv}).exitCode, 0);
    Project b;
    QVERIFY(b.make(QByteArray(), QByteArray()));
    const Result r = runCli({u"import"_qs, b.dir.path(), u"--table"_qs, u"0"_qs, csv});
    QCOMPARE(r.err, QByteArray());
    QVERIFY(document(b.cobId()) == document(a.cobId()));
    QCOMPARE(document(b.cobId()).table(0).cell(0, CobIdTable::Desc), u"a&b, \"c\"\nd"_qs);
}

void TestTableCommands::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    const QString csv = extras("table.csv");
    const QString dir = TestPaths::data(u"extras"_qs);
    QTest::newRow("export without table") << QStringList{u"export"_qs, dir, csv};
    QTest::newRow("export table 2") << QStringList{u"export"_qs, dir, u"--table"_qs, u"2"_qs, csv};
    QTest::newRow("export no file") << QStringList{u"export"_qs, dir, u"--table"_qs, u"0"_qs};
    QTest::newRow("import unknown option") << QStringList{u"import"_qs, dir, u"--table"_qs, u"0"_qs, csv, u"--merge"_qs};
    QTest::newRow("import table twice") << QStringList{u"import"_qs, dir, u"--table"_qs, u"0"_qs, u"--table"_qs, u"1"_qs, csv};
    QTest::newRow("import a text file") << QStringList{u"import"_qs, dir, u"--table"_qs, u"0"_qs, TestPaths::data(u"config/ParGen-edited.xml"_qs)};
    QTest::newRow("import into a file") << QStringList{u"import"_qs, csv, u"--table"_qs, u"0"_qs, csv};
    QTest::newRow("import no project") << QStringList{u"import"_qs, dir + u"/none"_qs, u"--table"_qs, u"0"_qs, csv};
}

void TestTableCommands::usageErrors()
{
    QFETCH(QStringList, args);
    const Result r = runCli(args);
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out, QByteArray());
    QVERIFY(!r.err.isEmpty());
    QVERIFY(!QFile::exists(TestPaths::data(u"extras/CanCanCobID.xml"_qs)));
}

QTEST_GUILESS_MAIN(TestTableCommands)
#include "tst_tablecommands.moc"
