// praxedo-cli export and import as the table reader sees them: what an export writes, an import
// reads back to the same tables. The printed texts and written files of the two commands are
// golden cases under tests/data/cli (export-*, import-*).
#include "CliRun.h"
#include "TestPaths.h"

#include "core/config/CobIdDocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using CliRun::put;

QByteArray row(const QByteArray &orig, const QByteArray &type, const QByteArray &mod, const QByteArray &modType,
               const QByteArray &desc)
{
    return "<row Orig_CobID=\"" + orig + "\" Type_CobID=\"" + type + "\" Mod_CobID=\"" + mod + "\" Type_MCobID=\""
        + modType + "\" Desc=\"" + desc + "\"/>";
}

CobIdDocument document(const QString &path)
{
    CobIdDocument doc;
    const QString error = doc.read(path);
    return error.isEmpty() ? doc : CobIdDocument();
}

} // namespace

class TestTableCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exportImportRoundTrip();
};

void TestTableCommands::exportImportRoundTrip()
{
    QTemporaryDir a;
    const QByteArray kA = "2.0A 11bits";
    const QByteArray kB = "2.0B 29bits";
    QVERIFY(put(a.filePath(u"CanCanCobID.xml"_qs),
                "<CanCanCobID><Can0_to_Can1>" + row("0x181", kA, "0x281", kA, "a&amp;b, &quot;c&quot;&#10;d")
                    + row(" 7", kB, "0x1FFFFFFF", kB, " x ") + row("0x182", kA, "0x182", kA, "=1+2")
                    + row("0x183", kA, "0x183", kA, "'@x")
                    + "</Can0_to_Can1><Can1_to_Can0></Can1_to_Can0></CanCanCobID>"));
    const QString csv = a.filePath(u"t.csv"_qs);
    QCOMPARE(CliRun::run({u"export"_qs, a.path(), u"--table"_qs, u"0"_qs, csv}).exitCode, 0);
    // A spreadsheet shows these mnemonics as text, not as formulas.
    QFile exported(csv);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QByteArray bytes = exported.readAll();
    QVERIFY2(bytes.contains(",'=1+2\r\n") && bytes.contains(",''@x\r\n"), bytes.constData());
    QTemporaryDir b;
    const CliRun::Result r = CliRun::run({u"import"_qs, b.path(), u"--table"_qs, u"0"_qs, csv});
    QCOMPARE(r.err, QByteArray());
    const QString cobIdB = b.filePath(u"CanCanCobID.xml"_qs);
    QVERIFY(document(cobIdB) == document(a.filePath(u"CanCanCobID.xml"_qs)));
    QCOMPARE(document(cobIdB).table(0).cell(0, CobIdTable::Desc), u"a&b, \"c\"\nd"_qs);
}

QTEST_GUILESS_MAIN(TestTableCommands)
#include "tst_tablecommands.moc"
