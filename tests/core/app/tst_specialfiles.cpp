// Files that are not what they seem: a FIFO, a device, a folder or a link to nothing where a
// document, an image, firmware or settings are read. Reads are refused at once with the file's
// name (a FIFO must never block). Where the command line writes: tests/cli/tst_specialfiles.cpp.
#include "SpecialFiles.h"
#include "TestPaths.h"

#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/config/CobIdDocument.h"
#include "core/config/CobIdImport.h"
#include "core/config/ParGen.h"
#include "core/device/FilterImage.h"
#include "core/i18n/Language.h"
#include "core/image/ConfigBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

enum class Reader {
    Settings,
    ParGenWindow,
    FilterWindowParGen,
    CobIdWindow,
    BuildParGen,
    BuildCobId,
    Image,
    LanguageFile,
    Import,
    Any
};

// Reads `path` as the program's reader of that kind does; the error it reports.
QString readWith(Reader reader, const QString &path)
{
    switch (reader) {
    case Reader::Settings: {
        AppState state;
        QString error;
        SettingsFile::read(state, path, &error);
        return error;
    }
    case Reader::ParGenWindow: {
        ParGenValues v;
        return ParGen::readForSettingsWindow(path, v);
    }
    case Reader::FilterWindowParGen: {
        ParGenFilterValues v;
        return ParGen::readForFilterWindow(path, v);
    }
    case Reader::CobIdWindow:
        return CobIdDocument().read(path);
    case Reader::BuildParGen:
        return ConfigBuilder().Build_Config(path, QFileInfo(path).absolutePath() + QStringLiteral("/absent.xml"));
    case Reader::BuildCobId:
        return ConfigBuilder().Build_Config(QFileInfo(path).absolutePath() + QStringLiteral("/absent.xml"), path);
    case Reader::Image:
        return FilterImage().load(QFileInfo(path).absolutePath());
    case Reader::LanguageFile: {
        Catalog catalog;
        catalog.Load_Default_Texts();
        QString version;
        QString error;
        Language::Load_Lang_File(catalog, path, version, &error);
        return error;
    }
    case Reader::Import: {
        std::vector<ImportedRow> rows;
        return CobIdImport::readFile(path, true, rows);
    }
    case Reader::Any: {
        QByteArray bytes;
        return FileIo::readFile(path, bytes);
    }
    }
    return QString();
}

using SpecialFiles::make;
using SpecialFiles::Shape;

} // namespace

Q_DECLARE_METATYPE(Reader)
Q_DECLARE_METATYPE(Shape)

class TestSpecialFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readersRefuseAtOnce_data()
    {
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Shape>("shape");
        const struct
        {
            const char *label;
            Reader reader;
            const char *name;
        } readers[] = {
            {"Praxedo.xml", Reader::Settings, "Praxedo.xml"},
            {"ParGen.xml, settings window", Reader::ParGenWindow, "ParGen.xml"},
            {"ParGen.xml, filter window", Reader::FilterWindowParGen, "ParGen.xml"},
            {"CanCanCobID.xml, filter window", Reader::CobIdWindow, "CanCanCobID.xml"},
            {"ParGen.xml, build", Reader::BuildParGen, "ParGen.xml"},
            {"CanCanCobID.xml, build", Reader::BuildCobId, "CanCanCobID.xml"},
            {"bank_K60.bin", Reader::Image, "bank_K60.bin"},
            {"language file", Reader::LanguageFile, "Italiano.lng"},
            {"CSV import", Reader::Import, "rows.csv"},
            {"firmware", Reader::Any, "FX58104.sx"},
        };
        const struct
        {
            const char *label;
            Shape shape;
        } shapes[] = {{"FIFO", Shape::Fifo},
                      {"device", Shape::Device},
                      {"folder", Shape::Folder},
                      {"link to nothing", Shape::DanglingLink}};
        for (const auto &r : readers)
            for (const auto &s : shapes)
                QTest::addRow("%s, %s", r.label, s.label) << r.reader << QString::fromLatin1(r.name) << s.shape;
    }

    // A FIFO without a writer would block a plain open for ever: the test ends only if none does.
    void readersRefuseAtOnce()
    {
#ifdef Q_OS_WIN
        QSKIP("FIFOs, device nodes and symbolic links are POSIX file-system objects");
#endif
        QFETCH(Reader, reader);
        QFETCH(QString, name);
        QFETCH(Shape, shape);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name);
        QVERIFY(make(shape, path));
        const QString error = readWith(reader, path);
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
        if (shape == Shape::DanglingLink)
            QVERIFY2(error.contains(QStringLiteral("link")), qPrintable(error));
        else
            QVERIFY2(error.contains(QStringLiteral("not a regular file")), qPrintable(error));
    }

    // A document that is a link to a file is read through the link.
    void linkToADocumentIsRead()
    {
#ifdef Q_OS_WIN
        QSKIP("symbolic links need extra rights on Windows");
#endif
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString real = dir.filePath(QStringLiteral("real.xml"));
        QVERIFY(QFile::copy(TestPaths::data(QStringLiteral("config/ParGen-edited.xml")), real));
        const QString link = dir.filePath(QStringLiteral("ParGen.xml"));
        QVERIFY(QFile::link(real, link));
        ParGenValues throughLink;
        ParGenValues direct;
        QCOMPARE(ParGen::readForSettingsWindow(link, throughLink), QString());
        QCOMPARE(ParGen::readForSettingsWindow(real, direct), QString());
        QVERIFY(throughLink == direct);
    }
};

QTEST_GUILESS_MAIN(TestSpecialFiles)
#include "tst_specialfiles.moc"
