#include "core/app/AppState.h"
#include "core/image/SrecMerge.h"

#include "TestPaths.h"

#include <QBitArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace SrecMerge;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray fixture(const char *name)
{
    return readAll(TestPaths::data(QStringLiteral("srec/") + QLatin1String(name)));
}

QList<QByteArray> crlfLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines) {
        if (!l.endsWith('\r'))
            return {}; // a line without CR LF: not what the merge writes
        l.chop(1);
    }
    return lines;
}

// Data bytes of every valid data record whose bytes fall in [first, first + size). `ok` turns
// false on a bad checksum or on a byte given twice; `complete` tells whether every byte came.
QByteArray decodeRange(const QByteArray &text, quint32 first, int size, bool *ok, bool *complete)
{
    QByteArray image(size, '\0');
    QBitArray seen(size);
    *ok = true;
    for (const QByteArray &line : crlfLines(text)) {
        if (line.size() < 4 || line[0] != 'S' || (line[1] != '1' && line[1] != '2' && line[1] != '3'))
            continue;
        const QByteArray bytes = QByteArray::fromHex(line.mid(2));
        unsigned sum = 0;
        for (char b : bytes)
            sum += quint8(b);
        if ((sum & 0xFF) != 0xFF || quint8(bytes[0]) != bytes.size() - 1) {
            *ok = false;
            continue;
        }
        const int alen = line[1] - '1' + 2;
        quint32 address = 0;
        for (int i = 1; i <= alen; ++i)
            address = (address << 8) | quint8(bytes[i]);
        for (int i = alen + 1; i < bytes.size() - 1; ++i, ++address) {
            if (address < first || address >= first + quint32(size))
                continue;
            const int at = int(address - first);
            if (seen.testBit(at))
                *ok = false;
            seen.setBit(at);
            image[at] = bytes[i];
        }
    }
    *complete = seen.count(true) == size;
    return image;
}

QByteArray randomBank(quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bank(BankSize, Qt::Uninitialized);
    for (char &c : bank)
        c = char(gen.bounded(256));
    return bank;
}

// A workspace with the firmware in MASTER and a project whose bin folder holds five banks.
struct Workspace
{
    QTemporaryDir tmp;
    QString master;
    QString project;
    QByteArray banks[BankCount];
    SxFiles files;

    explicit Workspace(const QByteArray &firmware)
    {
        master = tmp.filePath(QStringLiteral("MASTER"));
        project = tmp.filePath(QStringLiteral("PROJECTS/Demo Project"));
        QDir().mkpath(master);
        QDir().mkpath(project + QStringLiteral("/bin"));
        writeFile(master + QStringLiteral("/FX58104.sx"), firmware);
        for (int k = 1; k <= BankCount; ++k) {
            banks[k - 1] = randomBank(quint32(k));
            writeFile(bankPath(k), banks[k - 1]);
        }
        files = filesFor(project, master, QStringLiteral("FX58104.sx"));
    }
    QString bankPath(int k) const { return project + QStringLiteral("/bin/bank%1.bin").arg(k); }
    QString newFile() const { return project + QStringLiteral("/New_FX58104.sx"); }
    QString firmware() const { return master + QStringLiteral("/FX58104.sx"); }
    QStringList leftovers() const
    {
        QStringList found = QDir(project).entryList({QStringLiteral("B?.sx")}, QDir::Files);
        found += QDir(project + QStringLiteral("/bin")).entryList({QStringLiteral("*.sx")}, QDir::Files);
        return found;
    }
};

} // namespace

class TestSrecMerge : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void checksum_data();
    void checksum();
    void generatedRecords();
    void replacesRange_data();
    void replacesRange();
    void rangeAbsent();
    void lineEndings_data();
    void lineEndings();
    void badLines_data();
    void badLines();
    void checks_data();
    void checks();
    void progress();
    void chainRoundTrip();
    void chainStops_data();
    void chainStops();
    void chainWithoutBank1KeepsFirmware();
    void chainCannotReplaceNewFile();
    void chainRefusesIntermediateNames();
    void cli();
};

void TestSrecMerge::checksum_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("checksum");
    QTest::newRow("32 x FF at 388000")
        << QStringLiteral("S224388000") + QString(64, u'F') + QStringLiteral("??") << QStringLiteral("43");
    QTest::newRow("32 x 00 at 398000")
        << QStringLiteral("S224398000") + QString(64, u'0') + QStringLiteral("??") << QStringLiteral("22");
    QTest::newRow("S1 record") << QStringLiteral("S1137AF00A0A0D0000000000000000000000000000")
                               << QStringLiteral("61");
    QTest::newRow("lower-case digits") << QStringLiteral("S2083A8000ff00ffxx") << QStringLiteral("3F");
    QTest::newRow("S9") << QStringLiteral("S9030000__") << QStringLiteral("FC");
}

void TestSrecMerge::checksum()
{
    QFETCH(QString, record);
    QFETCH(QString, checksum);
    QString text = record;
    QCOMPARE(Sx_Checksum(text), checksum);
    QCOMPARE(text, record.left(record.size() - 2) + checksum);
}

void TestSrecMerge::generatedRecords()
{
    const QByteArray bank = randomBank(7);
    const QByteArray records = bankRecords(bankFirstAddress(2), bank);
    const QList<QByteArray> lines = crlfLines(records);
    QCOMPARE(lines.size(), RecordsPerBank);
    for (int r = 0; r < RecordsPerBank; ++r) {
        const QByteArray &line = lines[r];
        QCOMPARE(line.size(), RecordLength);
        QCOMPARE(line.left(10), QByteArray("S224") + QByteArray::number(0x398000 + 32 * r, 16).toUpper());
        QCOMPARE(line.mid(10, 64), bank.mid(32 * r, 32).toHex().toUpper());
        QString text = QString::fromLatin1(line);
        QCOMPARE(Sx_Checksum(text), QString::fromLatin1(line.right(2)));
    }
    bool ok, complete;
    QCOMPARE(decodeRange(records, 0x398000, BankSize, &ok, &complete), bank);
    QVERIFY(ok && complete);

    const QByteArray zeros = bankRecords(0x398000, QByteArray(BankSize, '\0'));
    QCOMPARE(zeros.left(RecordLength), QByteArray("S224398000") + QByteArray(64, '0') + "22");
}

// basic.sx holds 13 lines; `expected` lists the source lines the output keeps and B where
// the bank's records stand.
void TestSrecMerge::replacesRange_data()
{
    QTest::addColumn<int>("bank");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bank 1") << 1 << QStringLiteral("0 1 2 B 5 6 8 9 10 11 12");
    QTest::newRow("bank 2") << 2 << QStringLiteral("0 1 2 3 4 B 6 7 8 10 11 12");
    QTest::newRow("bank 3") << 3 << QStringLiteral("0 1 2 3 4 5 B 7 8 9 10 11 12");
}

void TestSrecMerge::replacesRange()
{
    QFETCH(int, bank);
    QFETCH(QString, expected);
    const QByteArray source = fixture("basic.sx");
    const QList<QByteArray> sourceLines = crlfLines(source);
    QCOMPARE(sourceLines.size(), 13);
    const QByteArray bankBytes = randomBank(quint32(bank));
    const QByteArray records = bankRecords(bankFirstAddress(bank), bankBytes);

    const TextMerge m = mergeText(source, bank, records);
    QCOMPARE(m.result, 1);
    QVERIFY(m.message.isEmpty());

    QByteArray want;
    for (const QString &item : expected.split(u' '))
        want += item == u"B" ? records : sourceLines[item.toInt()] + "\r\n";
    QCOMPARE(m.bytes, want);

    bool ok, complete;
    QCOMPARE(decodeRange(m.bytes, bankFirstAddress(bank), BankSize, &ok, &complete), bankBytes);
    QVERIFY(ok && complete);
}

void TestSrecMerge::rangeAbsent()
{
    const QByteArray source = fixture("outside.sx");
    const TextMerge m = mergeText(source, 1, bankRecords(bankFirstAddress(1), randomBank(1)));
    QCOMPARE(m.result, 0);
    QVERIFY(m.message.isEmpty());
    QCOMPARE(m.bytes, source);
}

void TestSrecMerge::lineEndings_data()
{
    QTest::addColumn<QByteArray>("source");
    QByteArray basic = fixture("basic.sx");
    QByteArray lf = basic;
    lf.replace("\r\n", "\n");
    QByteArray mixed;
    const QList<QByteArray> lines = crlfLines(basic);
    for (int i = 0; i < lines.size(); ++i)
        mixed += lines[i] + (i % 2 ? "\n" : "\r\n");
    QByteArray unterminated = basic;
    unterminated.chop(2);

    QTest::newRow("CR LF") << basic;
    QTest::newRow("LF") << lf;
    QTest::newRow("CR LF and LF mixed") << mixed;
    QTest::newRow("no line end after S9") << unterminated;
}

void TestSrecMerge::lineEndings()
{
    QFETCH(QByteArray, source);
    const QByteArray records = bankRecords(bankFirstAddress(1), randomBank(1));
    const TextMerge reference = mergeText(fixture("basic.sx"), 1, records);
    const TextMerge m = mergeText(source, 1, records);
    QCOMPARE(m.result, 1);
    QCOMPARE(m.bytes, reference.bytes);
}

void TestSrecMerge::badLines_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("written");

    const QString bad = QStringLiteral("File New Sx Not Create,Abort Procedure");
    const QByteArray hdr = "S00F000068656C6C6F202020202000003C\r\n";
    const QByteArray out = "S214387FF0FF000102030405060708090A0B0C0D0EDC\r\n";
    const QByteArray s9 = "S9030000FC\r\n";

    QTest::newRow("empty line") << hdr + "\r\n" + out + s9 << -1 << bad << hdr;
    QTest::newRow("blank LF line") << hdr + out + "\n" + s9 << -1 << bad << hdr + out;
    QTest::newRow("S2 too short") << hdr + "S214388\r\n" + s9 << -1 << bad << hdr;
    QTest::newRow("S2 address not hex") << hdr + "S21438G000FF00\r\n" + s9 << -1 << bad << hdr;
    QTest::newRow("S1 too short") << hdr + "S1130\r\n" + s9 << -1 << bad << hdr;
    QTest::newRow("S1 address not hex") << hdr + "S113 000FF\r\n" + s9 << -1 << bad << hdr;
    QTest::newRow("bad record after S9") << hdr + s9 + "S2xx\r\n" << -1 << bad << hdr + s9;
    QTest::newRow("S8 instead of S9") << hdr + out + "S804000000FB\r\n" << -1 << QString()
                                      << hdr + out + "S804000000FB\r\n";
    QTest::newRow("empty source") << QByteArray() << -1 << QString() << QByteArray();
    // Editors often leave blank lines at the end; after the end record they harm nothing.
    QTest::newRow("blank lines after S9") << hdr + out + s9 + "\r\n\n" << 0 << QString()
                                          << hdr + out + s9 + "\r\n\r\n";
    QTest::newRow("S3 and S7 copied") << hdr + "S30900388000FFFFFFFFFF\r\nS70500000000FA\r\n" + s9 << 0
                                      << QString() << hdr + "S30900388000FFFFFFFFFF\r\nS70500000000FA\r\n" + s9;
    QTest::newRow("lower-case address in range") << hdr + "S214388a00FF\r\n" + s9 << 1 << QString() << QByteArray();
}

void TestSrecMerge::badLines()
{
    QFETCH(QByteArray, source);
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(QByteArray, written);
    const QByteArray records = bankRecords(bankFirstAddress(1), randomBank(1));
    const TextMerge m = mergeText(source, 1, records);
    QCOMPARE(m.result, result);
    QCOMPARE(m.message, message);
    if (result == 1)
        QVERIFY(m.bytes.contains(records));
    else
        QCOMPARE(m.bytes, written);
}

enum class Break { MissingSource, SourceIsFolder, EmptyNewName, NoBinDir, BinDirGone, MissingBank, ShortBank, SourceAndBin };

void TestSrecMerge::checks_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<int>("bank");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing source") << int(Break::MissingSource) << 1 << QStringLiteral("File *.Sx Not Found,Abort Procedure");
    QTest::newRow("source is a folder") << int(Break::SourceIsFolder) << 1 << QStringLiteral("File *.Sx Not Found,Abort Procedure");
    QTest::newRow("empty new name") << int(Break::EmptyNewName) << 1 << QStringLiteral("File New *.Sx Not Found,Abort Procedure");
    QTest::newRow("no bin folder") << int(Break::NoBinDir) << 1 << QStringLiteral("Directory Bin Not Found,Abort Procedure");
    QTest::newRow("bin folder gone") << int(Break::BinDirGone) << 2 << QStringLiteral("Directory Bin Not Found,Abort Procedure");
    QTest::newRow("bank 2 missing") << int(Break::MissingBank) << 2 << QStringLiteral("File bank2.bin Not Found,Abort Procedure");
    QTest::newRow("bank 5 missing") << int(Break::MissingBank) << 5 << QStringLiteral("File bank5.bin Not Found,Abort Procedure");
    QTest::newRow("bank 1 short") << int(Break::ShortBank) << 1
                                  << QStringLiteral("File bank1.bin Holds 16383 Bytes Instead Of 16384,Abort Procedure");
    QTest::newRow("source checked first") << int(Break::SourceAndBin) << 1 << QStringLiteral("File *.Sx Not Found,Abort Procedure");
}

void TestSrecMerge::checks()
{
    QFETCH(int, what);
    QFETCH(int, bank);
    QFETCH(QString, message);
    Workspace ws(fixture("basic.sx"));
    QString source = ws.firmware();
    switch (Break(what)) {
    case Break::MissingSource:
        source += QStringLiteral(".missing");
        break;
    case Break::SourceIsFolder:
        source = ws.master;
        break;
    case Break::EmptyNewName:
        ws.files.NomeFileSxNew.clear();
        break;
    case Break::NoBinDir:
        ws.files.NomeDirBin.clear();
        break;
    case Break::BinDirGone:
        QVERIFY(QDir(ws.project + QStringLiteral("/bin")).removeRecursively());
        break;
    case Break::MissingBank:
        QVERIFY(QFile::remove(ws.bankPath(bank)));
        break;
    case Break::ShortBank:
        QVERIFY(writeFile(ws.bankPath(bank), ws.banks[bank - 1].left(BankSize - 1)));
        break;
    case Break::SourceAndBin:
        source += QStringLiteral(".missing");
        ws.files.NomeDirBin.clear();
        break;
    }
    QList<int> values;
    Progress progress;
    progress.setValue = [&](int v) { values << v; };
    const Outcome o = Merge_Bank(bank, source, QStringLiteral("B1.sx"), ws.files, progress);
    QCOMPARE(o.result, -1);
    QCOMPARE(o.message, message);
    QVERIFY(!o.fileError);
    QCOMPARE(values, QList<int>{0});
    QVERIFY(!QFile::exists(ws.project + QStringLiteral("/B1.sx")));
}

void TestSrecMerge::progress()
{
    Workspace ws(fixture("basic.sx"));
    QList<int> maxima;
    QList<int> values;
    Progress progress;
    progress.setMaximum = [&](int m) { maxima << m; };
    progress.setValue = [&](int v) { values << v; };
    const Outcome o = Merge_Bank(1, ws.firmware(), QStringLiteral("B1.sx"), ws.files, progress);
    QCOMPARE(o.result, 1);
    QCOMPARE(maxima, QList<int>{13 + RecordsPerBank});
    QCOMPARE(values.first(), 0);
    QCOMPARE(values.last(), 13 + RecordsPerBank);
    QVERIFY(std::is_sorted(values.begin(), values.end()));
}

void TestSrecMerge::chainRoundTrip()
{
    const QByteArray firmware = fixture("basic.sx");
    Workspace ws(firmware);
    QVERIFY(writeFile(ws.project + QStringLiteral("/B4.sx"), "left by a crashed run"));

    const ChainOutcome c = runChain(ws.files);
    QCOMPARE(c.result, 1);
    QVERIFY(c.message.isEmpty());
    QCOMPARE(c.bankResults, (std::array<int, BankCount>{{1, 1, 1, 1, 1}}));
    QCOMPARE(ws.files.newFilePath(), QDir::toNativeSeparators(ws.newFile()));

    const QByteArray merged = readAll(ws.newFile());
    for (int k = 1; k <= 2; ++k) {
        bool ok, complete;
        QCOMPARE(decodeRange(merged, bankFirstAddress(k), BankSize, &ok, &complete), readAll(ws.bankPath(k)));
        QVERIFY(ok && complete);
    }
    // Banks 3 to 5 are not merged: the firmware's record at 0x3A8000 stays, and nothing more.
    const QList<QByteArray> lines = crlfLines(merged);
    QCOMPARE(lines.size(), 13 - 5 + 2 * RecordsPerBank);
    QVERIFY(lines.contains(crlfLines(firmware)[6]));
    QCOMPARE(readAll(ws.firmware()), firmware);
    QCOMPARE(ws.leftovers(), QStringList());
    QCOMPARE(QDir(ws.master).entryList(QDir::Files), QStringList{QStringLiteral("FX58104.sx")});

    QVERIFY(runChain(ws.files).result == 1);
    QCOMPARE(readAll(ws.newFile()), merged);
}

void TestSrecMerge::chainStops_data()
{
    QTest::addColumn<QByteArray>("firmware");
    QTest::addColumn<bool>("removeBin");
    QTest::addColumn<QString>("message");
    QTest::newRow("no S9") << fixture("nos9.sx") << false << QStringLiteral("File FX58104.sx Has No S9 Record,Abort Procedure");
    QTest::newRow("no bin folder") << fixture("basic.sx") << true << QStringLiteral("Directory Bin Not Found,Abort Procedure");
}

void TestSrecMerge::chainStops()
{
    QFETCH(QByteArray, firmware);
    QFETCH(bool, removeBin);
    QFETCH(QString, message);
    Workspace ws(firmware);
    if (removeBin) {
        QDir(ws.project + QStringLiteral("/bin")).removeRecursively();
        ws.files = filesFor(ws.project, ws.master, QStringLiteral("FX58104.sx"));
    }
    const QByteArray earlier = "an earlier good firmware file\r\n";
    QVERIFY(writeFile(ws.newFile(), earlier));
    QVERIFY(writeFile(ws.project + QStringLiteral("/B3.sx"), "stale"));

    const ChainOutcome c = runChain(ws.files);
    QCOMPARE(c.result, -1);
    QCOMPARE(c.message, message);
    QCOMPARE(c.bankResults[0], -1);
    QCOMPARE(c.bankResults[1], -1);
    QCOMPARE(readAll(ws.newFile()), earlier);
    QCOMPARE(readAll(ws.firmware()), firmware);
    QCOMPARE(ws.leftovers(), QStringList());
}

void TestSrecMerge::chainWithoutBank1KeepsFirmware()
{
    const QByteArray firmware = fixture("basic.sx");
    Workspace ws(firmware);
    ws.files.banks = {{false, true, false, false, false}};
    const ChainOutcome c = runChain(ws.files);
    QCOMPARE(c.result, 1);
    QCOMPARE(readAll(ws.firmware()), firmware);
    const QByteArray merged = readAll(ws.newFile());
    QVERIFY(merged.contains(crlfLines(firmware)[3])); // bank 1's old record is still there
    bool ok, complete;
    QCOMPARE(decodeRange(merged, bankFirstAddress(2), BankSize, &ok, &complete), ws.banks[1]);
    QVERIFY(ok && complete);
    QCOMPARE(ws.leftovers(), QStringList());
}

void TestSrecMerge::chainCannotReplaceNewFile()
{
    Workspace ws(fixture("basic.sx"));
    QVERIFY(QDir().mkpath(ws.newFile() + QStringLiteral("/inside")));
    const ChainOutcome c = runChain(ws.files);
    QCOMPARE(c.result, -1);
    QVERIFY(c.fileError);
    QVERIFY2(c.message.contains(QStringLiteral("New_FX58104.sx")), qPrintable(c.message));
    QCOMPARE(c.bankResults[4], -1);
    QVERIFY(QFileInfo(ws.newFile()).isDir());
    QCOMPARE(ws.leftovers(), QStringList());
}

void TestSrecMerge::chainRefusesIntermediateNames()
{
    const QByteArray firmware = fixture("basic.sx");
    Workspace ws(firmware);
    QVERIFY(writeFile(ws.project + QStringLiteral("/B1.sx"), firmware));
    ws.files.Dir_Master = ws.project;
    ws.files.NomeFileSx = QStringLiteral("B1.sx");
    const ChainOutcome c = runChain(ws.files);
    QCOMPARE(c.result, -1);
    QCOMPARE(c.message, QStringLiteral("File B1.sx Is Used For Intermediate Results,Abort Procedure"));
    QCOMPARE(readAll(ws.project + QStringLiteral("/B1.sx")), firmware);
}

void TestSrecMerge::cli()
{
    Workspace ws(fixture("basic.sx"));
    QProcess p;
    p.start(TestPaths::cli(), {QStringLiteral("firmware"), ws.project, ws.firmware()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray merged = readAll(ws.newFile());
    bool ok, complete;
    QCOMPARE(decodeRange(merged, bankFirstAddress(1), BankSize, &ok, &complete), ws.banks[0]);
    QVERIFY(ok && complete);
    QCOMPARE(ws.leftovers(), QStringList());

    QVERIFY(QFile::remove(ws.bankPath(2)));
    p.start(TestPaths::cli(), {QStringLiteral("firmware"), ws.project, ws.firmware()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("File bank2.bin Not Found,Abort Procedure"));
    QCOMPARE(readAll(ws.newFile()), merged);

    p.start(TestPaths::cli(), {QStringLiteral("firmware"), ws.project});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
}

QTEST_GUILESS_MAIN(TestSrecMerge)
#include "tst_srecmerge.moc"
