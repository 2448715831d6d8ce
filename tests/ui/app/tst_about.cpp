#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/app/TFAbout.h"
#include "ui/widgets/Links.h"
#include "ui/widgets/PicturePanel.h"
#include "ui/widgets/StyledButton.h"

#include <QLabel>
#include <QTest>

namespace {

struct Fixture
{
    AppState state;
    Catalog catalog;
    TFAbout *window = nullptr;
    QList<QUrl> opened;

    Fixture()
    {
        state.SW_Desc = Product::description();
        Links::setOpener([this](const QUrl &url) { opened.append(url); });
        window = new TFAbout(state, catalog);
    }
    ~Fixture()
    {
        delete window;
        Links::setOpener({});
    }
    QLabel *label(const QString &name) const { return window->findChild<QLabel *>(name); }
    QUrl homePage() const
    {
        return QUrl(QStringLiteral("http://%1/HOME/default.asp?frompg=PK58104").arg(Product::vendorHost()));
    }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fixedTexts_data();
    void fixedTexts();
    void descriptionIsShownWhole();
    void languageVersionIsReadAtEveryShowing();
    void clientSizeIsRestoredAtEveryShowing();
    void linkAndPictureOpenTheHomePage_data();
    void linkAndPictureOpenTheHomePage();
    void okAndCloseBoxHide_data();
    void okAndCloseBoxHide();
};

void TestAbout::fixedTexts_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("text");

    QTest::newRow("title") << QStringLiteral("Label1") << QPoint(143, 24) << QStringLiteral("Software Praxedo ");
    QTest::newRow("code caption") << QStringLiteral("Label6") << QPoint(143, 62) << QStringLiteral("Software Code : ");
    QTest::newRow("code") << QStringLiteral("Label9") << QPoint(255, 62) << QStringLiteral("PK58104");
    QTest::newRow("version caption") << QStringLiteral("Label3") << QPoint(143, 77) << QStringLiteral("Version :");
    QTest::newRow("version") << QStringLiteral("Label10") << QPoint(255, 77) << QStringLiteral("2.001");
    QTest::newRow("document caption") << QStringLiteral("Label8") << QPoint(143, 92)
                                      << QStringLiteral("Document Code :");
    QTest::newRow("document") << QStringLiteral("Label12") << QPoint(255, 92) << QStringLiteral("UG58104");
    QTest::newRow("language caption") << QStringLiteral("Label5") << QPoint(143, 107)
                                      << QStringLiteral("Language Ver :");
    QTest::newRow("language") << QStringLiteral("Label7") << QPoint(255, 107) << QStringLiteral("NO VER.");
}

void TestAbout::fixedTexts()
{
    QFETCH(QString, label);
    QFETCH(QPoint, at);
    QFETCH(QString, text);
    Fixture f;
    f.window->open();
    QCOMPARE(f.window->windowTitle(), QStringLiteral("About..."));
    QLabel *l = f.label(label);
    QVERIFY(l);
    QCOMPARE(l->text(), text);
    QCOMPARE(l->pos(), at);
    QCOMPARE(l->palette().color(QPalette::WindowText), QColor(51, 51, 51));
}

void TestAbout::descriptionIsShownWhole()
{
    Fixture f;
    f.window->open();
    QLabel *l = f.label(QStringLiteral("Label2"));
    QCOMPARE(l->pos(), QPoint(143, 39));
    QVERIFY(l->geometry().right() < f.window->width());
    // Never shortened: on one line, or wrapped onto a second one, ending above the next label.
    QCOMPARE(l->text(), Product::description());
    const QRect needed =
        l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 1000), l->wordWrap() ? Qt::TextWordWrap : 0, l->text());
    QVERIFY(needed.width() <= l->width());
    QVERIFY(needed.height() <= l->height());
    QVERIFY(l->geometry().bottom() < f.label(QStringLiteral("Label6"))->y() + 4);
}

void TestAbout::languageVersionIsReadAtEveryShowing()
{
    Fixture f;
    f.window->open();
    f.window->done(1);
    f.state.Language_Ver = QStringLiteral("3.07");
    f.window->open();
    QCOMPARE(f.label(QStringLiteral("Label7"))->text(), QStringLiteral("3.07"));
}

void TestAbout::clientSizeIsRestoredAtEveryShowing()
{
    Fixture f;
    f.window->open();
    QCOMPARE(f.window->size(), QSize(435, 162));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    f.window->done(1);
    f.window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    f.window->resize(600, 400);
    f.window->open();
    QCOMPARE(f.window->size(), QSize(435, 162));
}

void TestAbout::linkAndPictureOpenTheHomePage_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("link") << QStringLiteral("Label4");
    QTest::newRow("picture") << QStringLiteral("Image2");
}

void TestAbout::linkAndPictureOpenTheHomePage()
{
    QFETCH(QString, control);
    Fixture f;
    f.window->open();
    QWidget *w = f.window->findChild<QWidget *>(control);
    QVERIFY(w);
    QCOMPARE(w->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(w->geometry().right() < f.window->width());

    QTest::mouseClick(w, Qt::LeftButton);

    QCOMPARE(f.opened, QList<QUrl>{f.homePage()});
    QVERIFY(f.window->isVisible());
}

void TestAbout::okAndCloseBoxHide_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << false << 1;
    QTest::newRow("close box") << true << 2;
}

void TestAbout::okAndCloseBoxHide()
{
    QFETCH(bool, closeBox);
    QFETCH(int, result);
    Fixture f;
    f.window->open();
    auto *ok = f.window->findChild<StyledButton *>(QStringLiteral("LbButton1"));
    QCOMPARE(ok->geometry(), QRect(32, 132, 96, 22));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    if (closeBox)
        QVERIFY(f.window->close());
    else
        QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), result);
    QVERIFY(f.opened.isEmpty());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
