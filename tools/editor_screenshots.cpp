// Renders the communication settings window, the COB-ID filter window and, where the bus
// library is built, the verify-on-the-bus window into PNG files.
// Usage: praxedo-editor-screenshots [--lang NAME] OUTDIR   (NAME: a shipped language)
// Runs headless (offscreen) unless QT_QPA_PLATFORM says otherwise. The windows work on a
// throw-away project, so nothing of the user's is touched.

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/config/CobIdDocument.h"
#include "core/config/ParGen.h"
#include "core/i18n/Language.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/widgets/FileChooser.h"
#ifdef PRAXEDO_HAVE_BUS
#include "busui/TFVerifyBus.h"
#endif

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

bool grab(QWidget *window, const QString &path)
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    return window->grab().save(path, "PNG");
}

// A small filter table as a user would keep it: a few process data objects passed through,
// one renamed, one 29-bit identifier.
CobIdDocument sampleTables(const ParGenFilterValues &parGen)
{
    struct Row
    {
        const char16_t *orig, *origType, *mod, *modType, *desc;
    };
    const Row can0[] = {
        {u"0x181", u"2.0A 11bits", u"0x181", u"2.0A 11bits", u"TPDO1 drive 1"},
        {u"0x281", u"2.0A 11bits", u"0x282", u"2.0A 11bits", u"TPDO2 drive 1, renamed"},
        {u"0x381", u"2.0A 11bits", u"0x381", u"2.0A 11bits", u"TPDO3 drive 1"},
        {u"385", u"2.0A 11bits", u"385", u"2.0A 11bits", u"TPDO1 node 2"},
        {u"0x701", u"2.0A 11bits", u"0x701", u"2.0A 11bits", u"Heartbeat drive 1"},
        {u"0x18FF0100", u"2.0B 29bits", u"0x18FF0100", u"2.0B 29bits", u"J1939 proprietary B"},
        {u"0x000", u"2.0A 11bits", u"0x000", u"2.0A 11bits", u"NMT"},
        {u"0x080", u"2.0A 11bits", u"0x080", u"2.0A 11bits", u"SYNC"},
    };
    const Row can1[] = {
        {u"0x201", u"2.0A 11bits", u"0x201", u"2.0A 11bits", u"RPDO1 drive 1"},
        {u"0x601", u"2.0A 11bits", u"0x601", u"2.0A 11bits", u"SDO request"},
    };
    CobIdDocument doc(parGen);
    int r = 0;
    for (const Row &row : can0) {
        const char16_t *cells[] = {row.orig, row.origType, row.mod, row.modType, row.desc};
        for (int c = 0; c < CobIdTable::CellCount; ++c) {
            if (!doc.table(0).typesFollowPorts() || (c != CobIdTable::TypeCobId && c != CobIdTable::TypeMCobId))
                doc.table(0).setCell(r, c, QString::fromUtf16(cells[c]));
        }
        ++r;
    }
    r = 0;
    for (const Row &row : can1) {
        const char16_t *cells[] = {row.orig, row.origType, row.mod, row.modType, row.desc};
        for (int c = 0; c < CobIdTable::CellCount; ++c)
            doc.table(1).setCell(r, c, QString::fromUtf16(cells[c]));
        ++r;
    }
    return doc;
}

// Answers the file dialog with one file, as a user picking a recorded trace would.
class OneFile : public FileChooser
{
public:
    explicit OneFile(const QString &path)
        : m_path(path)
    {
    }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override { return m_path; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return {};
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = QApplication::arguments();
    QString language;
    if (args.size() == 4 && args.at(1) == QLatin1String("--lang")) {
        language = args.at(2);
        args.remove(1, 2);
    }
    if (args.size() != 2) {
        err << "usage: praxedo-editor-screenshots [--lang NAME] OUTDIR\n";
        return 2;
    }
    const QDir out(args.at(1));
    if (!QDir().mkpath(out.path())) {
        err << "cannot create " << out.path() << "\n";
        return 1;
    }

    QTemporaryDir project;
    AppState state;
    state.SW_Code = QString::fromUtf16(Product::Code);
    state.Dir_Project = project.path();
    Set_Files(state);
    // The process-wide catalog, so that the messages the core makes follow the language too.
    Catalog &texts = catalog();
    texts.Load_Default_Texts();
    if (!language.isEmpty()) {
        QString version;
        QString error;
        const QString file =
            QDir(QStringLiteral(PRAXEDO_SHIPPED_LANGUAGES)).filePath(language + QStringLiteral(".lng"));
        if (!Language::Load_Lang_File(texts, file, version, &error)) {
            err << "cannot read " << file << ": " << error << "\n";
            return 2;
        }
    }

    bool ok = true;
    const auto shot = [&](QWidget *window, const QString &name) {
        const QString path = out.filePath(name);
        if (!grab(window, path)) {
            err << "cannot write " << path << "\n";
            ok = false;
        }
    };

    TFParGen2 settings(state, texts);
    // A project without ParGen.xml: the Ethernet variant with its defaults.
    settings.open();
    shot(&settings, QStringLiteral("communication-settings-with-ethernet.png"));
    settings.reject();

    ParGenValues serial;
    serial.deviceType = 0;
    serial.type = 1;
    serial.typeC1 = 0;
    serial.baudDipC1 = true;
    serial.boud0 = 6;
    serial.positive = true;
    if (!ParGen::save(serial, state.File_ParGen).isEmpty())
        return 1;
    settings.open();
    shot(&settings, QStringLiteral("communication-settings-without-ethernet.png"));
    settings.reject();

    TFSetCobIDAccess filters(state, texts);
    ParGenValues ethernet;
    ethernet.positive = true;
    if (!ParGen::save(ethernet, state.File_ParGen).isEmpty()
        || !sampleTables(ParGenFilterValues()).save(state.File_CobID).isEmpty())
        return 1;
    filters.open();
    filters.grid(0)->setCurrentIndex(filters.grid(0)->model()->index(1, 3));
    shot(&filters, QStringLiteral("cobid-filters-with-ethernet.png"));
    // The frame check beside the table, asking about a renamed identifier.
    filters.findChild<QAbstractButton *>(QStringLiteral("Btn_Frames_C0_C1"))->setChecked(true);
    filters.findChild<QLineEdit *>(QStringLiteral("E_Frame_C0_C1"))->setText(QStringLiteral("0x281"));
    shot(&filters, QStringLiteral("cobid-filters-frame-check.png"));
    // A short recorded trace replayed through the table: the summary under the map.
    const QString trace = QDir(project.path()).filePath(QStringLiteral("line2.log"));
    {
        QFile f(trace);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < 200; ++i)
            f.write(QStringLiteral("(%1.%2) can0 %3#1122334455667788\n")
                        .arg(1000 + i / 100)
                        .arg((i % 100) * 10000, 6, 10, QLatin1Char('0'))
                        .arg(QStringList{QStringLiteral("181"), QStringLiteral("281"), QStringLiteral("1A0")}.at(i % 3))
                        .toLatin1());
    }
    OneFile chooser(trace);
    setFileChooser(&chooser);
    filters.findChild<QAbstractButton *>(QStringLiteral("Btn_Replay_C0_C1"))->click();
    setFileChooser(nullptr);
    shot(&filters, QStringLiteral("cobid-filters-replay.png"));
    filters.findChild<QAbstractButton *>(QStringLiteral("Btn_Frames_C0_C1"))->setChecked(false);
    filters.reject();

    // Without Ethernet: the type columns follow the ports and cannot be typed in.
    ParGenFilterValues serialFilter;
    serialFilter.deviceType = 0;
    serialFilter.can0Type = 1;
    if (!ParGen::save(serial, state.File_ParGen).isEmpty()
        || !sampleTables(serialFilter).save(state.File_CobID).isEmpty())
        return 1;
    filters.open();
    shot(&filters, QStringLiteral("cobid-filters-without-ethernet.png"));
    filters.reject();

#ifdef PRAXEDO_HAVE_BUS
    TFVerifyBus verify(state, texts);
    verify.show();
    shot(&verify, QStringLiteral("verify-bus.png"));
    verify.hide();
#endif

    return ok ? 0 : 1;
}
