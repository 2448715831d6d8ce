#include "ui/i18n/TFSoftOptions.h"

#include "TestPaths.h"
#include "core/LocalHttpServer.h"
#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/i18n/Language.h"
#include "core/i18n/VersionCheck.h"
#include "ui/RecordingPrompt.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/widgets/Links.h"
#include "ui/widgets/StyledButton.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

QByteArray flagBmp(QRgb colour)
{
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(QColor(248, 247, 237));
    for (int y = 8; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
            image.setPixel(x, y, colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

constexpr char kDeutsch[] = "//Version 1.0\r\n"
                            "STR 15 = Neue Konfiguration\r\n"
                            "STR 302 = Sprache\r\n"
                            "STR 304 = Gewählte Sprache : ¶\r\n"
                            "STR 305 = Seite ¶\r\n"
                            "STR 316 = Sprache wechseln von ¶\r\n"
                            "STR 317 = ¶ auf ¶\r\n";
} // namespace

// One options window over a LANGUAGE folder of its own.
struct Fixture
{
    QTemporaryDir dir;
    AppState state;
    Catalog catalog;
    TFSoftOptions *window = nullptr;

    Fixture()
    {
        state.Dir_Language = dir.path();
        state.SW_Code = QStringLiteral("PK58104");
        catalog.Load_Default_Texts();
        window = new TFSoftOptions(state, catalog);
    }
    ~Fixture() { delete window; }

    void addLanguages(const QStringList &names)
    {
        for (const QString &n : names)
            writeFile(dir.filePath(n), "STR 0 = x\r\n");
    }
    template <typename T>
    T *child(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLabel *label(const QString &name) const { return child<QLabel>(name); }
    StyledButton *button(const QString &name) const { return child<StyledButton>(name); }
    QCheckBox *box(const QString &name) const { return child<QCheckBox>(name); }
    QStringList shownNames() const
    {
        QStringList names;
        for (int k = 1; k <= 6; ++k) {
            QLabel *l = label(QStringLiteral("L_L%1").arg(k));
            if (l->isVisible())
                names.append(l->text());
        }
        return names;
    }
};

class TestSoftOptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void languagePages_data();
    void languagePages();
    void pagingBackAndForth();
    void flagPictures();
    void declinedQuestionChangesNothing();
    void confirmedThenCancelled();
    void confirmedThenOk();
    void checkBoxRule();
    void okStoresTicksOfDisabledBoxes();
    void showingAgainForgetsCancelledChanges();
    void checkOnRequest_data();
    void checkOnRequest();
    void shippedLanguages();
    void mainWindowTickThroughLocalServer_data();
    void mainWindowTickThroughLocalServer();
};

void TestSoftOptions::languagePages_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("readOnly");
    QTest::addColumn<QStringList>("firstPage");
    QTest::addColumn<QString>("pageLabel");
    QTest::addColumn<bool>("nextShown");

    const QStringList seven = {QStringLiteral("A.lng"), QStringLiteral("B.lng"), QStringLiteral("C.lng"),
                               QStringLiteral("D.lng"), QStringLiteral("E.lng"), QStringLiteral("F.lng"),
                               QStringLiteral("G.lng")};
    const QStringList abcdef = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F")};
    QTest::newRow("seven files, two pages") << seven << QString() << abcdef << "Page 1 / 2" << true;
    QTest::newRow("six files, one page") << seven.mid(0, 6) << QString() << abcdef << "Page 1 / 1" << false;
    QTest::newRow("read-only file not listed") << seven << QStringLiteral("G.lng") << abcdef << "Page 1 / 1" << false;
    QTest::newRow("order ignores letter case")
        << QStringList({QStringLiteral("English.lng"), QStringLiteral("deutsch.lng")}) << QString()
        << QStringList({QStringLiteral("deutsch"), QStringLiteral("English")}) << "Page 1 / 1" << false;
    QTest::newRow("no language file") << QStringList() << QString() << QStringList() << "Page 1 / 0" << false;
}

void TestSoftOptions::languagePages()
{
    QFETCH(QStringList, files);
    QFETCH(QString, readOnly);
    QFETCH(QStringList, firstPage);
    QFETCH(QString, pageLabel);
    QFETCH(bool, nextShown);

    Fixture f;
    f.addLanguages(files);
    if (!readOnly.isEmpty())
        QVERIFY(QFile::setPermissions(f.dir.filePath(readOnly), QFile::ReadOwner | QFile::ReadGroup));
    f.window->open();

    QCOMPARE(f.shownNames(), firstPage);
    QCOMPARE(f.label(QStringLiteral("L_Page_Lang"))->text(), pageLabel);
    QVERIFY(!f.button(QStringLiteral("Btn_Prev"))->isVisible());
    QCOMPARE(f.button(QStringLiteral("Btn_Next"))->isVisible(), nextShown);
    for (int k = firstPage.size() + 1; k <= 6; ++k)
        QVERIFY(!f.label(QStringLiteral("I_L%1").arg(k))->isVisible());
}

void TestSoftOptions::pagingBackAndForth()
{
    Fixture f;
    f.addLanguages({QStringLiteral("A.lng"), QStringLiteral("B.lng"), QStringLiteral("C.lng"), QStringLiteral("D.lng"),
                    QStringLiteral("E.lng"), QStringLiteral("F.lng"), QStringLiteral("G.lng")});
    f.window->open();
    StyledButton *prev = f.button(QStringLiteral("Btn_Prev"));
    StyledButton *next = f.button(QStringLiteral("Btn_Next"));

    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(f.window->shownPage(), 2);
    QCOMPARE(f.shownNames(), QStringList(QStringLiteral("G")));
    QVERIFY(f.label(QStringLiteral("L_L1"))->isVisible());
    QCOMPARE(f.label(QStringLiteral("L_Page_Lang"))->text(), QStringLiteral("Page 2 / 2"));
    QVERIFY(!next->isVisible());
    QVERIFY(prev->isVisible());

    // Clicking a slot on page 2 asks about the language of that page.
    RecordingPrompt answers;
    answers.answers.enqueue(false);
    QTest::mouseClick(f.label(QStringLiteral("I_L1")), Qt::LeftButton);
    QCOMPARE(answers.lastText(), QStringLiteral("Do you want to change the Language from English to G?"));

    QTest::mouseClick(prev, Qt::LeftButton);
    QCOMPARE(f.window->shownPage(), 1);
    QCOMPARE(f.shownNames().size(), 6);
    QVERIFY(!prev->isVisible());
    QVERIFY(next->isVisible());

    // Showing again starts from page 1.
    QTest::mouseClick(next, Qt::LeftButton);
    f.window->reject();
    f.window->open();
    QCOMPARE(f.window->shownPage(), 1);
}

void TestSoftOptions::flagPictures()
{
    Fixture f;
    f.addLanguages({QStringLiteral("Alpha.lng"), QStringLiteral("Beta.lng")});
    writeFile(f.dir.filePath(QStringLiteral("Alpha.bmp")), flagBmp(qRgb(200, 0, 0)));

    f.window->open();
    QLabel *alpha = f.label(QStringLiteral("I_L1"));
    QLabel *beta = f.label(QStringLiteral("I_L2"));
    QVERIFY(alpha->isVisible());
    QCOMPARE(alpha->pixmap().size(), QSize(48, 48));
    // The colour of the bottom-left corner is see-through; the flag itself is not.
    const QImage shown = alpha->pixmap().toImage();
    QCOMPARE(qAlpha(shown.pixel(0, 47)), 0);
    QCOMPARE(QColor(shown.pixel(10, 20)), QColor(200, 0, 0));
    QVERIFY(!beta->isVisible());
    QVERIFY(f.label(QStringLiteral("L_L2"))->isVisible());

    writeFile(f.dir.filePath(QStringLiteral("DefaultFlag.bmp")), flagBmp(qRgb(0, 0, 200)));
    f.window->reject();
    f.window->open();
    QVERIFY(beta->isVisible());
    QCOMPARE(QColor(beta->pixmap().toImage().pixel(10, 20)), QColor(0, 0, 200));
}

void TestSoftOptions::declinedQuestionChangesNothing()
{
    Fixture f;
    f.addLanguages({QStringLiteral("English.lng")});
    writeFile(f.dir.filePath(QStringLiteral("Deutsch.lng")), kDeutsch);
    int changes = 0;
    f.window->setChangeLanguage([&changes] { ++changes; });
    f.window->open();

    RecordingPrompt answers;
    answers.answers.enqueue(false);
    QTest::mouseClick(f.label(QStringLiteral("L_L1")), Qt::LeftButton);
    QCOMPARE(answers.shown.size(), 1);
    QCOMPARE(answers.lastKind(), Prompt::Kind::Question);
    QCOMPARE(answers.lastText(), QStringLiteral("Do you want to change the Language from English to Deutsch?"));
    QCOMPARE(changes, 0);
    QCOMPARE(f.catalog.text(15), QStringLiteral("New Configuration"));
    QCOMPARE(f.window->languageInUse(), QStringLiteral("English"));
}

// Confirming a language changes every window at once; Cancel keeps the old choice for the
// next start.
void TestSoftOptions::confirmedThenCancelled()
{
    QTemporaryDir exe;
    QVERIFY(QDir(exe.path()).mkdir(QStringLiteral("LANGUAGE")));
    const QString languages = exe.filePath(QStringLiteral("LANGUAGE"));
    writeFile(QDir(languages).filePath(QStringLiteral("English.lng")), "//version EN-1\r\n");
    writeFile(QDir(languages).filePath(QStringLiteral("Deutsch.lng")), kDeutsch);
    const QString settings = exe.filePath(QStringLiteral("Praxedo.xml"));

    {
        AppState state;
        Catalog catalog;
        TFPraxedoreFirmWare main(state, catalog, exe.path());
        auto *options = new TFSoftOptions(state, catalog, &main);
        options->setChangeLanguage([&main] { main.Change_Language(); });
        options->setTimerRule([&main] { main.applyTimerRule(); });
        TFPraxedoreFirmWare::Windows windows;
        windows.softOptions = options;
        main.setWindows(windows);
        main.show();
        auto *newButton = main.findChild<StyledButton *>(QStringLiteral("Btn_New"));
        QCOMPARE(newButton->text(), QStringLiteral("New Configuration"));

        // What the window shows after the confirmation, read while it is open.
        RecordingPrompt answers;
        QString question, tab, selected, page, newWhileOpen, selWhileOpen, verWhileOpen;
        QTimer::singleShot(0, options, [&] {
            QTest::mouseClick(options->findChild<QLabel *>(QStringLiteral("L_L1")), Qt::LeftButton);
            question = answers.lastText();
            newWhileOpen = newButton->text();
            tab = options->findChild<QTabWidget *>(QStringLiteral("PC_Options"))->tabText(0);
            selected = options->findChild<QLabel *>(QStringLiteral("L_Sel_Lang"))->text();
            page = options->findChild<QLabel *>(QStringLiteral("L_Page_Lang"))->text();
            selWhileOpen = state.Language_Sel;
            verWhileOpen = state.Language_Ver;
            QTest::mouseClick(options->findChild<StyledButton *>(QStringLiteral("Btn_Cancel")), Qt::LeftButton);
        });
        main.Btn_Click(main.findChild<StyledButton *>(QStringLiteral("Btn_Opz")));

        QCOMPARE(question, QStringLiteral("Do you want to change the Language from English to Deutsch?"));
        // Every window at once, this one included, and the page in the new words.
        QCOMPARE(newWhileOpen, QStringLiteral("Neue Konfiguration"));
        QCOMPARE(tab, QStringLiteral("Sprache"));
        QCOMPARE(selected, QStringLiteral("Gewählte Sprache : Deutsch"));
        QCOMPARE(page, QStringLiteral("Seite 1 / 1"));
        QCOMPARE(selWhileOpen, QStringLiteral("English"));
        QCOMPARE(verWhileOpen, QStringLiteral("1.0"));

        QCOMPARE(options->result(), int(PraxDialog::ModalCancel));
        QCOMPARE(state.Language_Sel, QStringLiteral("English"));
        QVERIFY(!QFile::exists(settings));
        QCOMPARE(newButton->text(), QStringLiteral("Neue Konfiguration"));
        main.close();
    }
    QVERIFY(QFile::exists(settings));

    // The next start.
    AppState state;
    Catalog catalog;
    TFPraxedoreFirmWare main(state, catalog, exe.path());
    QCOMPARE(state.Language_Sel, QStringLiteral("English"));
    QCOMPARE(main.findChild<StyledButton *>(QStringLiteral("Btn_New"))->text(), QStringLiteral("New Configuration"));
}

void TestSoftOptions::confirmedThenOk()
{
    Fixture f;
    f.addLanguages({QStringLiteral("English.lng")});
    writeFile(f.dir.filePath(QStringLiteral("Deutsch.lng")), kDeutsch);
    f.window->open();

    RecordingPrompt answers;
    QTest::mouseClick(f.label(QStringLiteral("L_L1")), Qt::LeftButton);
    QCOMPARE(f.window->languageInUse(), QStringLiteral("Deutsch"));
    QCOMPARE(f.state.Language_Sel, QStringLiteral("English"));
    // No hook: the window still shows its own texts in the new language.
    QCOMPARE(f.child<QTabWidget>(QStringLiteral("PC_Options"))->tabText(0), QStringLiteral("Sprache"));

    // The file went away after the listing: English is what is loaded, and what is chosen.
    QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("Deutsch.lng"))));
    QTest::mouseClick(f.label(QStringLiteral("L_L1")), Qt::LeftButton);
    QCOMPARE(answers.lastText(), QStringLiteral("Sprache wechseln von Deutsch auf Deutsch?"));
    QCOMPARE(f.catalog.text(302), QStringLiteral("Language"));
    QCOMPARE(f.window->languageInUse(), QStringLiteral("English"));

    QTest::mouseClick(f.label(QStringLiteral("L_L2")), Qt::LeftButton); // English
    writeFile(f.dir.filePath(QStringLiteral("Deutsch.lng")), kDeutsch);
    f.window->Create_Lang_List();
    QTest::mouseClick(f.label(QStringLiteral("L_L1")), Qt::LeftButton);
    QTest::mouseClick(f.button(QStringLiteral("Btn_OK")), Qt::LeftButton);
    QCOMPARE(f.window->result(), int(PraxDialog::ModalOk));
    QCOMPARE(f.state.Language_Sel, QStringLiteral("Deutsch"));
}

void TestSoftOptions::checkBoxRule()
{
    Fixture f;
    f.window->open();
    QCheckBox *internet = f.box(QStringLiteral("CB_En_Con"));
    QCheckBox *update = f.box(QStringLiteral("CB_Update"));
    StyledButton *check = f.button(QStringLiteral("Btn_Check_Update"));

    // All options off at first.
    QVERIFY(!update->isEnabled());
    QVERIFY(!check->isEnabled());

    QTest::mouseClick(internet, Qt::LeftButton);
    QVERIFY(update->isEnabled());
    QVERIFY(!check->isEnabled()); // the check at start is still off

    QTest::mouseClick(update, Qt::LeftButton);
    QVERIFY(check->isEnabled());

    QTest::mouseClick(internet, Qt::LeftButton);
    QVERIFY(!update->isEnabled());
    QVERIFY(update->isChecked());
    QVERIFY(!check->isEnabled());
}

void TestSoftOptions::okStoresTicksOfDisabledBoxes()
{
    QTemporaryDir exe;
    AppState state;
    Catalog catalog;
    TFPraxedoreFirmWare main(state, catalog, exe.path());
    auto *options = new TFSoftOptions(state, catalog, &main);
    options->setTimerRule([&main] { main.applyTimerRule(); });
    TFPraxedoreFirmWare::Windows windows;
    windows.softOptions = options;
    main.setWindows(windows);
    QVERIFY(!main.updateTimer()->isActive());

    const auto confirm = [&](const QList<QString> &clicks) {
        QTimer::singleShot(0, options, [&] {
            for (const QString &name : clicks)
                QTest::mouseClick(options->findChild<QWidget *>(name), Qt::LeftButton);
            QTest::mouseClick(options->findChild<StyledButton *>(QStringLiteral("Btn_OK")), Qt::LeftButton);
        });
        main.Btn_Click(main.findChild<StyledButton *>(QStringLiteral("Btn_Opz")));
    };

    confirm({QStringLiteral("CB_En_Con"), QStringLiteral("CB_Update"), QStringLiteral("CB_Soft_Set_Jump_Table")});
    QVERIFY(state.Enable_Internet && state.Enable_Update && state.Enable_Jump_Field_Tables);
    QVERIFY(!state.Double_Click_Auto_Size);
    QVERIFY(main.updateTimer()->isActive());

    // Internet off: the check at start keeps its tick but the timer stops.
    confirm({QStringLiteral("CB_En_Con"), QStringLiteral("CB_DoubleClick_Auto_Size")});
    QVERIFY(!state.Enable_Internet);
    QVERIFY(state.Enable_Update);
    QVERIFY(state.Double_Click_Auto_Size);
    QVERIFY(!main.updateTimer()->isActive());

    QFile file(exe.filePath(QStringLiteral("Praxedo.xml")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray xml = file.readAll();
    QVERIFY(xml.contains("<enable_internet>0</enable_internet>"));
    QVERIFY(xml.contains("<enable_update>1</enable_update>"));
    QVERIFY(xml.contains("<Double_Click_Auto_Size>1</Double_Click_Auto_Size>"));
}

void TestSoftOptions::showingAgainForgetsCancelledChanges()
{
    Fixture f;
    f.state.Enable_Internet = true;
    f.state.Enable_Update = true;
    f.window->setVersionCheck([] { return false; });
    f.window->open();
    QVERIFY(f.button(QStringLiteral("Btn_Check_Update"))->isEnabled());

    auto *pages = f.child<QTabWidget>(QStringLiteral("PC_Options"));
    pages->setCurrentIndex(1);
    QTest::mouseClick(f.button(QStringLiteral("Btn_Check_Update")), Qt::LeftButton);
    QVERIFY(f.label(QStringLiteral("LL_Check_Update"))->isVisible());
    QTest::mouseClick(f.box(QStringLiteral("CB_En_Con")), Qt::LeftButton);
    QTest::mouseClick(f.box(QStringLiteral("CB_Soft_Set_Jump_Table")), Qt::LeftButton);
    f.window->reject();
    QVERIFY(f.state.Enable_Internet);
    QVERIFY(!f.state.Enable_Jump_Field_Tables);

    f.window->open();
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(f.box(QStringLiteral("CB_En_Con"))->isChecked());
    QVERIFY(!f.box(QStringLiteral("CB_Soft_Set_Jump_Table"))->isChecked());
    QVERIFY(f.button(QStringLiteral("Btn_Check_Update"))->isEnabled());
    pages->setCurrentIndex(1);
    QVERIFY(!f.label(QStringLiteral("LL_Check_Update"))->isVisible());
}

void TestSoftOptions::checkOnRequest_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("serverRuns");
    QTest::addColumn<bool>("link");

    QTest::newRow("newer version") << LocalHttpServer::ok("VER. 2.002") << true << true;
    QTest::newRow("same version") << LocalHttpServer::ok("VER. 2.001") << true << false;
    QTest::newRow("no server") << QByteArray() << false << false;
}

void TestSoftOptions::checkOnRequest()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, serverRuns);
    QFETCH(bool, link);

    LocalHttpServer server;
    server.setResponse(response);
    quint16 port = server.port();
    if (!serverRuns) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    VersionCheck versionCheck;
    versionCheck.setEndpoint({QStringLiteral("127.0.0.1"), port});

    Fixture f;
    f.state.Enable_Internet = true;
    f.state.Enable_Update = true;
    f.window->setVersionCheck([&versionCheck] { return versionCheck.Check_Version(); });
    QList<QUrl> opened;
    Links::setOpener([&opened](const QUrl &url) { opened.append(url); });
    f.window->open();
    f.child<QTabWidget>(QStringLiteral("PC_Options"))->setCurrentIndex(1);

    QLabel *outcome = f.label(QStringLiteral("LL_Check_Update"));
    QTest::mouseClick(f.button(QStringLiteral("Btn_Check_Update")), Qt::LeftButton);
    QVERIFY(outcome->isVisible());
    QCOMPARE(server.connections(), serverRuns ? 1 : 0);
    if (link) {
        QCOMPARE(outcome->text(),
                 QStringLiteral("<a href=\"%1\">New Version Available. Click Here for more Details</a>")
                     .arg(Product::downloadPageUrl()));
        Q_EMIT outcome->linkActivated(Product::downloadPageUrl());
        QCOMPARE(opened, QList<QUrl>({QUrl(Product::downloadPageUrl())}));
    } else {
        QCOMPARE(outcome->text(), QStringLiteral("No Update Available"));
        QCOMPARE(outcome->textFormat(), Qt::PlainText);
    }
    Links::setOpener({});
}

// What a new user finds: our own languages, each with its flag.
void TestSoftOptions::shippedLanguages()
{
    Fixture f;
    const QDir source(QDir::cleanPath(TestPaths::data(QStringLiteral("../../resources/LANGUAGE"))));
    const QStringList files = source.entryList({QStringLiteral("*.lng"), QStringLiteral("*.bmp")}, QDir::Files);
    QVERIFY(files.contains(QStringLiteral("English.lng")));
    for (const QString &name : files)
        QVERIFY(QFile::copy(source.filePath(name), f.dir.filePath(name)));
    Language::Load_Language(f.catalog, f.state);
    f.window->open();

    QCOMPARE(f.shownNames(), QStringList({QStringLiteral("English"), QStringLiteral("Italiano")}));
    QVERIFY(f.label(QStringLiteral("I_L1"))->isVisible());
    QVERIFY(f.label(QStringLiteral("I_L2"))->isVisible());

    RecordingPrompt answers;
    QTest::mouseClick(f.label(QStringLiteral("L_L2")), Qt::LeftButton);
    QCOMPARE(f.label(QStringLiteral("L_Page_Lang"))->text(), QStringLiteral("Pagina 1 / 1"));
    QCOMPARE(f.label(QStringLiteral("L_Sel_Lang"))->text(), QStringLiteral("Lingua selezionata : Italiano"));
    QCOMPARE(f.state.Language_Ver, QStringLiteral("2.001"));
}

void TestSoftOptions::mainWindowTickThroughLocalServer_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("shown");
    QTest::newRow("newer version") << LocalHttpServer::ok("ver. 2.010") << true;
    QTest::newRow("none offered") << LocalHttpServer::ok("VER. 0.000") << false;
}

void TestSoftOptions::mainWindowTickThroughLocalServer()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, shown);

    LocalHttpServer server;
    server.setResponse(response);
    VersionCheck versionCheck;
    versionCheck.setEndpoint({QStringLiteral("127.0.0.1"), server.port()});

    QTemporaryDir exe;
    AppState state;
    Catalog catalog;
    TFPraxedoreFirmWare main(state, catalog, exe.path());
    main.setVersionCheck([&versionCheck] { return versionCheck.Check_Version(); });
    main.show();
    main.Timer_UpdateTimer();

    QLabel *link = main.findChild<QLabel *>(QStringLiteral("LL_Update"));
    QCOMPARE(server.connections(), 1);
    QCOMPARE(link->isVisible(), shown);
    if (shown)
        QVERIFY(link->text().contains(QStringLiteral("New Version Available. Click Here for more Details")));
}

QTEST_MAIN(TestSoftOptions)
#include "tst_softoptions.moc"
