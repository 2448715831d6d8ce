// Renders the configurator's windows, as a user first meets them, into PNG files.
// Usage: praxedo-screenshots [--lang NAME] OUTDIR   (NAME: a shipped language, English by default)
// Runs headless (offscreen) unless QT_QPA_PLATFORM says otherwise. The windows work in a
// throw-away workspace with a few sample projects, so nothing of the user's is touched.

#include "core/app/AppState.h"
#include "core/app/SettingsFile.h"
#include "core/base/Catalog.h"
#include "ui/app/TFAbout.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <memory>

namespace {

struct Shot
{
    QString file;
    std::function<QWidget *()> prepare; // returns the window to render, already shown
};

bool save(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    return window->grab().save(path, "PNG");
}

// A box would wait for a click nobody gives: report it and go on.
class QuietPrompt : public Prompt
{
public:
    void show(QWidget *, Kind, const QString &text) override { QTextStream(stderr) << "message: " << text << "\n"; }
    bool ask(QWidget *parent, const QString &text) override
    {
        show(parent, Kind::Question, text);
        return false;
    }
};

// Every button picture in the four looks: normal, hot, pressed, disabled.
QWidget *controlsSheet()
{
    auto *sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("controls"));
    WindowStyle::apply(sheet);
    const int count = int(StyledButton::LastPicture);
    const int columns = 4;
    const int rows = (count + 1) / 2;
    sheet->setFixedSize(2 * (columns * 40 + 24), rows * 36 + 8);
    for (int i = 1; i <= count; ++i) {
        const int col0 = ((i - 1) % 2) * (columns * 40 + 24);
        const int row = (i - 1) / 2;
        for (int look = 0; look < columns; ++look) {
            auto *b = new StyledButton(QStringLiteral("b%1_%2").arg(i).arg(look), StyledButton::Picture(i), sheet);
            b->setGeometry(8 + col0 + look * 40, 6 + row * 36, 34, 30);
            if (look == 1) {
                QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
                QApplication::sendEvent(b, &enter);
            } else if (look == 2) {
                b->setDown(true);
            } else if (look == 3) {
                b->setEnabled(false);
            }
        }
    }
    return sheet;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = QApplication::arguments();
    QString language = QStringLiteral("English");
    if (args.size() == 4 && args.at(1) == QLatin1String("--lang")) {
        language = args.at(2);
        args.remove(1, 2);
    }
    if (args.size() != 2) {
        err << "usage: praxedo-screenshots [--lang NAME] OUTDIR\n";
        return 2;
    }
    const QString outDir = args.at(1);
    if (!QDir().mkpath(outDir)) {
        err << "cannot create " << outDir << "\n";
        return 1;
    }

    QTemporaryDir workspace;
    if (!workspace.isValid()) {
        err << "cannot create a temporary workspace\n";
        return 1;
    }
    const QDir root(workspace.path());
    for (const char *name : {"Line 2 - Gateway", "Plant A", "Test bench"})
        root.mkpath(QStringLiteral("PROJECTS/%1/bin").arg(QLatin1String(name)));
    // The shipped languages, a firmware file and built banks, so the options and the
    // generate-firmware windows open as a user meets them.
    root.mkpath(QStringLiteral("LANGUAGE"));
    const QDir shipped(QStringLiteral(PRAXEDO_SHIPPED_LANGUAGES));
    for (const QString &name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), root.filePath(QStringLiteral("LANGUAGE/") + name));
    if (!QFileInfo::exists(root.filePath(QStringLiteral("LANGUAGE/%1.lng").arg(language)))) {
        err << "no shipped language " << language << "\n";
        return 2;
    }
    root.mkpath(QStringLiteral("MASTER"));
    {
        QFile firmware(root.filePath(QStringLiteral("MASTER/FX58104.sx")));
        if (!firmware.open(QIODevice::WriteOnly) || firmware.write("S00600004844521B\r\nS9030000FC\r\n") <= 0) {
            err << "cannot write a sample firmware file\n";
            return 1;
        }
    }
    {
        AppState last;
        last.Name_Project = QStringLiteral("Line 2 - Gateway");
        last.Language_Sel = language;
        const QString error = SettingsFile::write(last, root.filePath(SettingsFile::fileName()));
        if (!error.isEmpty()) {
            err << error << "\n";
            return 1;
        }
    }

    QuietPrompt quiet;
    setPrompt(&quiet);
    AppState state;
    // The process-wide catalog, so that the messages the core makes follow the language too.
    Catalog &texts = catalog();
    TFPraxedoreFirmWare mainWindow(state, texts, workspace.path());
    TFPraxedoreFirmWare::Windows w;
    w.newProject = new TFNew_Project(state, texts, &mainWindow);
    w.openConf = new TFOpenConf(state, texts, &mainWindow);
    w.about = new TFAbout(state, texts, &mainWindow);
    w.boot = new TFBoot(state, texts, &mainWindow);
    w.softOptions = new TFSoftOptions(state, texts, &mainWindow);
    w.modifyFileSx = new TFModifyFileSx(state, texts, &mainWindow);
    mainWindow.setWindows(w);

    const std::unique_ptr<QWidget> sheet(controlsSheet());
    const QList<Shot> shots = {
        {QStringLiteral("main-window.png"),
         [&]() -> QWidget * {
             mainWindow.show();
             return &mainWindow;
         }},
        {QStringLiteral("new-configuration.png"),
         [&]() -> QWidget * {
             w.newProject->show();
             w.newProject->findChild<QLineEdit *>(QStringLiteral("E_New_Proj"))
                 ->setText(QStringLiteral("Line 3 - Dock"));
             return w.newProject;
         }},
        {QStringLiteral("open-configuration.png"),
         [&]() -> QWidget * {
             w.openConf->show();
             return w.openConf;
         }},
        {QStringLiteral("update-device.png"),
         [&]() -> QWidget * {
             w.boot->Form_Type = 1;
             w.boot->show();
             return w.boot;
         }},
        {QStringLiteral("controls.png"),
         [&]() -> QWidget * {
             sheet->show();
             return sheet.get();
         }},
        {QStringLiteral("software-options.png"),
         [&]() -> QWidget * {
             w.softOptions->show();
             return w.softOptions;
         }},
        {QStringLiteral("generate-firmware.png"),
         [&]() -> QWidget * {
             w.modifyFileSx->show();
             return w.modifyFileSx;
         }},
        {QStringLiteral("about.png"),
         [&]() -> QWidget * {
             w.about->show();
             return w.about;
         }},
    };

    int failures = 0;
    for (const Shot &shot : shots) {
        QWidget *window = shot.prepare();
        const QString path = QDir(outDir).filePath(shot.file);
        if (save(window, path)) {
            QTextStream(stdout) << path << "\n";
        } else {
            err << "cannot write " << path << "\n";
            ++failures;
        }
        if (window != &mainWindow)
            window->hide();
    }
    setPrompt(nullptr);
    // The temporary workspace goes away; the settings the main window writes on close too.
    return failures == 0 ? 0 : 1;
}
