// Saves one kind of user file through the program's own code, over and over, so that a test
// can kill it at any moment and look at what is left on disk.
//
//   save_loop KIND DIR once A|B   saves variant A or B once and exits
//   save_loop KIND DIR loop       saves A, B, A, B, ... until killed; prints "ready" after
//                                 the first save
//
// KIND: settings, pargen, cobid, csv (a table export), job, image (both documents and the build),
// documents, build (from the documents there are), firmware. Each variant is complete and
// differs from the other in content and length, so a torn or mixed file matches neither.
#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/FileIo.h"
#include "core/config/CobIdCsv.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"
#include "core/image/ProjectBuild.h"
#include "core/image/SrecMerge.h"
#include "core/update/JobFile.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

QString save(const QString &kind, const QString &dir, bool b);

QString settings(const QString &dir, bool b)
{
    AppState s;
    SettingsFile::setDefaults(s);
    s.Name_Project =
        b ? QStringLiteral("Second project with a much longer name than the first") : QStringLiteral("First");
    s.IP_Device = b ? QStringLiteral("10.0.0.1") : QStringLiteral("192.168.2.205");
    s.Language_Sel = b ? QStringLiteral("Italiano") : QStringLiteral("English");
    s.Enable_Internet = b;
    s.Double_Click_Auto_Size = !b;
    return SettingsFile::write(s, joinPath(dir, SettingsFile::fileName()));
}

ParGenValues parGenValues(bool b)
{
    ParGenValues v;
    v.deviceType = b ? 0 : 1;
    v.boud0 = b ? 3 : 8;
    v.type = b ? 1 : 0;
    v.typeC1 = b ? 1 : 0;
    v.positive = b;
    v.ip = {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"),
            b ? QStringLiteral("0x28") : QStringLiteral("4")};
    v.tcpPort = b ? QStringLiteral("2001") : QStringLiteral("10001");
    return v;
}

CobIdDocument cobIdDocument(bool b)
{
    // Variant A fills both tables (a large file); B only the first few rows.
    CobIdDocument doc;
    const int rows = b ? 7 : CobIdTable::RowCount;
    for (int t = 0; t < CobIdDocument::TableCount; ++t) {
        for (int r = 0; r < rows; ++r) {
            CobIdTable &table = doc.table(t);
            table.setCell(r, CobIdTable::OrigCobId, QString::number(r + t));
            table.setCell(r, CobIdTable::TypeCobId, b ? CobIdTable::type29Bit() : CobIdTable::type11Bit());
            table.setCell(r, CobIdTable::ModCobId, QStringLiteral("0x%1").arg(r, 3, 16, QLatin1Char('0')));
            table.setCell(r, CobIdTable::TypeMCobId, CobIdTable::type11Bit());
            table.setCell(r, CobIdTable::Desc, b ? QStringLiteral("row %1").arg(r) : QString());
        }
    }
    return doc;
}

QString projectDir(const QString &dir)
{
    const QString project = joinPath(dir, QStringLiteral("PROJECTS/P"));
    QDir().mkpath(joinPath(project, QStringLiteral("bin")));
    return project;
}

QString job(const QString &dir, bool b)
{
    JobFile::Job j;
    j.ipFields = {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("2"),
                  b ? QStringLiteral("7") : QStringLiteral("205")};
    j.option = b ? JobFile::Firmware : JobFile::FirmwareAndConfiguration;
    j.readBack = !b;
    j.dirExe = dir;
    j.dirMaster = joinPath(dir, QStringLiteral("MASTER"));
    j.dirProject = projectDir(dir);
    return JobFile::Compile_XML_Parameter(j);
}

AppState projectState(const QString &dir)
{
    AppState s;
    s.Dir_Exe = dir;
    s.Dir_Project = projectDir(dir);
    Set_Files(s);
    return s;
}

// Both documents of the project.
QString documents(const QString &dir, bool b)
{
    const AppState s = projectState(dir);
    const QString error = ParGen::save(parGenValues(b), s.File_ParGen);
    return error.isEmpty() ? cobIdDocument(b).save(s.File_CobID) : error;
}

// The update's build from the documents there are: images, banks and C source.
QString build(const QString &dir)
{
    return ProjectBuild::buildAndWrite(projectState(dir));
}

// Both documents, then the build.
QString image(const QString &dir, bool b)
{
    const QString error = documents(dir, b);
    return error.isEmpty() ? build(dir) : error;
}

// The new firmware file: the banks of the variant merged into the firmware in MASTER.
QString firmware(const QString &dir, bool b)
{
    const QString master = joinPath(dir, QStringLiteral("MASTER"));
    QDir().mkpath(master);
    const QString source = joinPath(master, QString::fromUtf16(SrecMerge::Name_Firmware));
    if (!QFile::exists(source)) {
        QByteArray text = "S00600004844521B\r\n";
        for (quint32 a = 0x387F00; a < 0x39C100; a += 32) {
            QString record = QStringLiteral("S224%1").arg(a, 6, 16, QLatin1Char('0')).toUpper()
                + QString(64, QLatin1Char('A')) + QStringLiteral("..");
            SrecMerge::Sx_Checksum(record);
            text += record.toLatin1() + "\r\n";
        }
        text += "S9030000FC\r\n";
        const QString error = FileIo::saveFile(source, text);
        if (!error.isEmpty())
            return error;
    }
    const QString project = projectDir(dir);
    for (int k = 1; k <= 2; ++k) {
        const QByteArray bank(SrecMerge::BankSize, char(b ? 0x10 * k : 0xFF));
        const QString error = FileIo::saveFile(joinPath(project, QStringLiteral("bin/bank%1.bin").arg(k)), bank);
        if (!error.isEmpty())
            return error;
    }
    const SrecMerge::ChainOutcome chain =
        SrecMerge::runChain(SrecMerge::filesFor(project, master, QString::fromUtf16(SrecMerge::Name_Firmware)));
    return chain.stopped() ? chain.message : QString();
}

QString save(const QString &kind, const QString &dir, bool b)
{
    if (kind == QLatin1String("settings"))
        return settings(dir, b);
    if (kind == QLatin1String("pargen"))
        return ParGen::save(parGenValues(b), joinPath(dir, QStringLiteral("ParGen.xml")));
    if (kind == QLatin1String("cobid"))
        return cobIdDocument(b).save(joinPath(dir, QStringLiteral("CanCanCobID.xml")));
    if (kind == QLatin1String("csv"))
        return CobIdCsv::save(cobIdDocument(b).table(0), joinPath(dir, QStringLiteral("table.csv")));
    if (kind == QLatin1String("job"))
        return job(dir, b);
    if (kind == QLatin1String("documents"))
        return documents(dir, b);
    if (kind == QLatin1String("build"))
        return build(dir);
    if (kind == QLatin1String("image"))
        return image(dir, b);
    if (kind == QLatin1String("firmware"))
        return firmware(dir, b);
    return QStringLiteral("unknown kind %1").arg(kind);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: save_loop KIND DIR once A|B | loop\n");
        return 1;
    }
    const QString &kind = args[0];
    const QString dir = QDir::toNativeSeparators(args[1]);
    if (args[2] == QLatin1String("once")) {
        const QString error = save(kind, dir, args.value(3) == QLatin1String("B"));
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.isEmpty() ? 0 : 2;
    }
    for (bool b = true;; b = !b) {
        const QString error = save(kind, dir, b);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 2;
        }
        static bool told = false;
        if (!told) {
            std::printf("ready\n");
            std::fflush(stdout);
            told = true;
        }
    }
}
