#include "RecordingPrompt.h"
#include "TestPaths.h"

#include "ui/app/Configurator.h"
#include "ui/app/TFAbout.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/config/TFParGen2.h"
#include "ui/config/TFSetCobIDAccess.h"
#include "ui/i18n/TFSoftOptions.h"
#include "ui/image/TFModifyFileSx.h"
#include "ui/projects/TFNew_Project.h"
#include "ui/projects/TFOpenConf.h"
#include "ui/update/TFBoot.h"
#include "ui/widgets/StyledButton.h"

#include <QAbstractButton>
#include <QCheckBox>
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
    void labelsFit_data();
    void labelsFit();
};

namespace {
// A configurator in `language` on a throw-away workspace, with a project open so that every
// step of the main window shows.
bool startIn(const QTemporaryDir &dir, const QString &language)
{
    if (!QDir(dir.path()).mkdir(QStringLiteral("LANGUAGE"))
        || !QDir(dir.path()).mkpath(QStringLiteral("PROJECTS/Line 2/bin")))
        return false;
    const QString file = language + QStringLiteral(".lng");
    if (!QFile::copy(QDir::cleanPath(TestPaths::data(QStringLiteral("../../resources/LANGUAGE/") + file)),
                     dir.filePath(QStringLiteral("LANGUAGE/") + file)))
        return false;
    QFile settings(dir.filePath(QStringLiteral("Praxedo.xml")));
    return settings.open(QIODevice::WriteOnly)
        && settings.write("<Conf_Settings><lastproj><projectname>Line 2</projectname></lastproj><lastlang><language>"
                          + language.toUtf8() + "</language></lastlang></Conf_Settings>")
        > 0;
}
} // namespace

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
    QVERIFY(startIn(dir, language));
    RecordingPrompt prompt;
    Configurator configurator(dir.path());
    configurator.createWindows();
    TFPraxedoreFirmWare &main = configurator.mainWindow();
    const TFPraxedoreFirmWare::Windows &w = main.windows();
    QWidget *windows[] = {&main,  w.newProject, w.openConf,    w.about, w.softOptions, w.setCobIDAccess,
                          w.boot, w.parGen2,    w.modifyFileSx};
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

void TestCaptions::labelsFit_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page"); // the filter window's page, by its frame-check button
    QTest::addColumn<QStringList>("controls");
    const QStringList frameCheck0{u"L_Frame_Title_C0_C1"_qs, u"CB_Ext_C0_C1"_qs, u"L_Rows_C0_C1"_qs};
    const QStringList frameCheck1{u"L_Frame_Title_C1_C0"_qs, u"CB_Ext_C1_C0"_qs, u"L_Rows_C1_C0"_qs};
    for (const QString &language : {u"English"_qs, u"Italiano"_qs}) {
        QTest::addRow("%s, CAN 0 to CAN 1", qPrintable(language)) << language << u"_C0_C1"_qs << frameCheck0;
        QTest::addRow("%s, CAN 1 to CAN 0", qPrintable(language)) << language << u"_C1_C0"_qs << frameCheck1;
    }
}

// The one-line labels and boxes of the filter window's tools show whole beside the table.
void TestCaptions::labelsFit()
{
#ifdef Q_OS_WIN
    QSKIP("Under wine the offscreen platform measures DejaVu Sans wider than Linux does; widths are checked on Linux");
#endif
    QFETCH(QString, language);
    QFETCH(QString, page);
    QFETCH(QStringList, controls);
    QTemporaryDir dir;
    QVERIFY(startIn(dir, language));
    RecordingPrompt prompt;
    Configurator configurator(dir.path());
    configurator.createWindows();
    QWidget *filters = configurator.mainWindow().windows().setCobIDAccess;
    filters->show();
    filters->findChild<QTabWidget *>(u"PageControl1"_qs)->setCurrentIndex(page == u"_C1_C0"_qs ? 1 : 0);
    filters->findChild<QAbstractButton *>(u"Btn_Frames"_qs + page)->setChecked(true);
    QCoreApplication::processEvents();
    for (const QString &name : controls) {
        auto *control = filters->findChild<QWidget *>(name);
        QVERIFY2(control && control->isVisible(), qPrintable(name));
        int needed = 0;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(control)) {
            text = label->text();
            needed = label->fontMetrics().horizontalAdvance(text) + 2 * label->margin();
            QVERIFY2(needed <= label->contentsRect().width(),
                     qPrintable(u"%1: \"%2\" needs %3 px, has %4"_qs.arg(name, text)
                                    .arg(needed)
                                    .arg(label->contentsRect().width())));
        } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
            text = box->text();
            needed = box->sizeHint().width();
            QVERIFY2(needed <= box->width(),
                     qPrintable(u"%1: \"%2\" needs %3 px, has %4"_qs.arg(name, text).arg(needed).arg(box->width())));
        }
        QVERIFY2(!text.trimmed().isEmpty(), qPrintable(name));
    }
    filters->hide();
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
