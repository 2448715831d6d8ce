#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "ui/app/Configurator.h"
#include "ui/app/StyledButton.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"
#include "ui/app/TFAbout.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// Every button caption of every window shows whole, in each shipped language, measured with
// the font the button really has on this platform.
class TestCaptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void buttonCaptionsFit_data();
    void buttonCaptionsFit();
};

void TestCaptions::buttonCaptionsFit_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("English");
    QTest::newRow("Italiano") << QStringLiteral("Italiano");
}

void TestCaptions::buttonCaptionsFit()
{
#ifdef Q_OS_WIN
    QSKIP("Under wine the offscreen platform measures DejaVu Sans wider than Linux does, and a Windows desktop "
          "uses Verdana; caption widths are checked on Linux");
#endif
    QFETCH(QString, language);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("LANGUAGE")));
    const QString file = language + QStringLiteral(".lng");
    QVERIFY(QFile::copy(QDir::cleanPath(TestPaths::data(QStringLiteral("../../resources/LANGUAGE/") + file)),
                        dir.filePath(QStringLiteral("LANGUAGE/") + file)));
    {
        QFile settings(dir.filePath(QStringLiteral("Praxedo.xml")));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("<Conf_Settings><lastlang><language>" + language.toUtf8()
                       + "</language></lastlang></Conf_Settings>");
    }
    RecordingPrompt prompt;
    Configurator configurator(dir.path());
    configurator.createWindows();
    TFPraxedoreFirmWare &main = configurator.mainWindow();
    const TFPraxedoreFirmWare::Windows &w = main.windows();
    QWidget *windows[] = {&main, w.newProject, w.openConf, w.about, w.softOptions,
                          w.setCobIDAccess, w.boot, w.parGen2, w.modifyFileSx};
    int checked = 0;
    QStringList cut;
    // Each window as it shows, each of its pages in turn; a button counts where it is seen.
    const auto check = [&](QWidget *window) {
        QCoreApplication::processEvents();
        for (const StyledButton *b : window->findChildren<StyledButton *>()) {
            if (!b->isVisible() || b->text().isEmpty())
                continue;
            ++checked;
            if (!b->captionFits())
                cut << QStringLiteral("%1 %2: \"%3\" (%4 px wide, caption %5 px)")
                           .arg(window->objectName(), b->objectName(), b->text())
                           .arg(b->width())
                           .arg(b->fontMetrics().horizontalAdvance(b->text()));
        }
    };
    for (QWidget *window : windows) {
        QVERIFY(window);
        window->show();
        check(window);
        for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
            for (int i = 1; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                check(window);
            }
            tabs->setCurrentIndex(0);
        }
        window->hide();
    }
    cut.removeDuplicates();
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    QVERIFY(checked > 30);
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
