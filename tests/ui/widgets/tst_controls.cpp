#include "ui/widgets/PicturePanel.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QEnterEvent>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using Picture = StyledButton::Picture;

namespace {

QImage render(const QIcon &icon, int size, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(size, size), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return n;
}

// A window with the common style holding one control at (10, 10).
struct Host
{
    QWidget window;
    Host()
    {
        WindowStyle::apply(&window);
        window.resize(220, 120);
    }
};

void enter(QWidget *w)
{
    QEnterEvent e(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(w, &e);
}

void leave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyPictureIsDrawnAndDistinct();
    void picturesStaySharpAtAnySize();
    void disabledPictureIsGrey();
    void hotTrackingAndPressedLooks();
    void flatButtonShowsItsFrameOnlyWhenHot();
    void hintShowsAsTooltip();
    void captionAlignment_data();
    void captionAlignment();
    void panelStretchesOrCentresItsPicture();
    void panelClickIsALeftClickInside();
    void keysOnTheFocusedButton_data();
    void keysOnTheFocusedButton();
};

void TestControls::everyPictureIsDrawnAndDistinct()
{
    QVERIFY(StyledButton::icon(Picture::None).isNull());
    QList<QImage> seen;
    for (int i = 1; i <= int(StyledButton::LastPicture); ++i) {
        const QIcon icon = StyledButton::icon(Picture(i));
        QVERIFY(!icon.isNull());
        const QImage image = render(icon, 24);
        QVERIFY2(opaquePixels(image) > 24, qPrintable(QStringLiteral("picture %1 is nearly empty").arg(i)));
        QVERIFY2(!seen.contains(image), qPrintable(QStringLiteral("picture %1 repeats another").arg(i)));
        seen.append(image);
    }
}

void TestControls::picturesStaySharpAtAnySize()
{
    // Drawn, not scaled up from a small bitmap: a large rendering has far more detail.
    for (int size : {16, 32, 64}) {
        const QImage image = render(StyledButton::icon(Picture::Info), size);
        QCOMPARE(image.size(), QSize(size, size));
    }
    QVERIFY(opaquePixels(render(StyledButton::icon(Picture::Info), 64))
            > 8 * opaquePixels(render(StyledButton::icon(Picture::Info), 16)));
}

void TestControls::disabledPictureIsGrey()
{
    const QImage image = render(StyledButton::icon(Picture::Ok), 24, QIcon::Disabled);
    QVERIFY(opaquePixels(image) > 24);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            QVERIFY(qAbs(qRed(p) - qGreen(p)) <= 1 && qAbs(qGreen(p) - qBlue(p)) <= 1);
        }
    }
}

void TestControls::hotTrackingAndPressedLooks()
{
    Host host;
    auto *b = new StyledButton(QStringLiteral("Btn_Test"), Picture::Ok, &host.window);
    b->setText(QStringLiteral("OK"));
    b->setGeometry(10, 10, 110, 28);
    host.window.show();

    QCOMPARE(b->look(), StyledButton::Look::Normal);
    const QImage normal = b->grab().toImage();

    enter(b);
    QCOMPARE(b->look(), StyledButton::Look::Hot);
    const QImage hot = b->grab().toImage();
    QVERIFY(hot != normal);

    QTest::mousePress(b, Qt::LeftButton);
    QCOMPARE(b->look(), StyledButton::Look::Pressed);
    const QImage pressed = b->grab().toImage();
    QVERIFY(pressed != hot && pressed != normal);
    QTest::mouseRelease(b, Qt::LeftButton);
    QCOMPARE(b->look(), StyledButton::Look::Hot);

    leave(b);
    QCOMPARE(b->look(), StyledButton::Look::Normal);
    QCOMPARE(b->grab().toImage(), normal);

    // Hidden while hot (its window closed under the pointer): shown again, it is not hot.
    enter(b);
    host.window.hide();
    host.window.show();
    QCOMPARE(b->look(), StyledButton::Look::Normal);

    b->setEnabled(false);
    enter(b);
    QCOMPARE(b->look(), StyledButton::Look::Disabled);
    QVERIFY(b->grab().toImage() != normal);
}

void TestControls::flatButtonShowsItsFrameOnlyWhenHot()
{
    Host host;
    auto *b = new StyledButton(QStringLiteral("Btn_Info"), Picture::Info, &host.window);
    b->setFlat(true);
    b->setIconSize(QSize(32, 32));
    b->setGeometry(10, 10, 50, 50);
    host.window.show();

    const QPoint edge(1, 25); // on the frame, beside the picture
    QCOMPARE(b->grab().toImage().pixelColor(edge), WindowStyle::background());
    enter(b);
    QVERIFY(b->grab().toImage().pixelColor(edge) != WindowStyle::background());
}

void TestControls::hintShowsAsTooltip()
{
    Host host;
    auto *b = new StyledButton(QStringLiteral("Btn_Test"), Picture::Next, &host.window);
    b->setGeometry(10, 10, 110, 28);
    b->setHint(QStringLiteral("Go on"));
    host.window.show();
    QCOMPARE(b->toolTip(), QStringLiteral("Go on"));

    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), b->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(b, &help);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Go on"));
    QToolTip::hideText();
}

void TestControls::captionAlignment_data()
{
    QTest::addColumn<bool>("left");
    QTest::newRow("centred") << false;
    QTest::newRow("left") << true;
}

void TestControls::captionAlignment()
{
    QFETCH(bool, left);
    Host host;
    auto *b = new StyledButton(QStringLiteral("Btn_New"), Picture::New, &host.window);
    b->setGeometry(10, 10, 170, 36);
    b->setText(QStringLiteral("New"));
    if (left)
        b->setCaptionAlignment(Qt::AlignLeft);
    host.window.show();

    // The first column, past the frame, where the picture begins.
    const QImage image = b->grab().toImage();
    const QImage blank = [&] {
        StyledButton empty(QStringLiteral("blank"), Picture::None, &host.window);
        empty.setGeometry(b->geometry());
        return empty.grab().toImage();
    }();
    int first = -1;
    for (int x = 2; x < image.width() - 2 && first < 0; ++x)
        for (int y = 4; y < image.height() - 4; ++y)
            if (image.pixel(x, y) != blank.pixel(x, y)) {
                first = x;
                break;
            }
    QVERIFY(first >= 0);
    if (left)
        QVERIFY2(first <= 8, qPrintable(QString::number(first)));
    else
        QVERIFY2(first > 40, qPrintable(QString::number(first)));
}

void TestControls::panelStretchesOrCentresItsPicture()
{
    QPixmap red(10, 10);
    red.fill(Qt::red);
    Host host;
    auto *panel = new PicturePanel(QStringLiteral("P_Picture"), &host.window);
    panel->setGeometry(10, 10, 60, 40);
    panel->setPicture(red);
    host.window.show();

    // Bordered and centred: border at the edge, background beside the small picture.
    QImage image = panel->grab().toImage();
    QVERIFY(image.pixelColor(0, 20) != WindowStyle::background());
    QCOMPARE(image.pixelColor(5, 20), WindowStyle::background());
    QCOMPARE(image.pixelColor(30, 20), QColor(Qt::red));

    panel->setBordered(false);
    panel->setStretch(true);
    image = panel->grab().toImage();
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(image.pixelColor(59, 39), QColor(Qt::red));
}

void TestControls::panelClickIsALeftClickInside()
{
    Host host;
    auto *panel = new PicturePanel(QStringLiteral("Image2"), &host.window);
    panel->setGeometry(10, 10, 60, 40);
    host.window.show();
    QSignalSpy clicks(panel, &PicturePanel::clicked);

    QTest::mouseClick(panel, Qt::RightButton);
    QCOMPARE(clicks.size(), 0);
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(100, 5)); // dragged off: no click
    QCOMPARE(clicks.size(), 0);
    QTest::mouseClick(panel, Qt::LeftButton);
    QCOMPARE(clicks.size(), 1);
}

void TestControls::keysOnTheFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1;
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0;
    QTest::newRow("a letter") << int(Qt::Key_A) << int(Qt::NoModifier) << 0;
}

void TestControls::keysOnTheFocusedButton()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    Host host;
    auto *b = new StyledButton(QStringLiteral("Btn_OK"), Picture::Ok, &host.window);
    b->setText(QStringLiteral("OK"));
    b->setAutoDefault(false);
    b->setGeometry(10, 10, 110, 28);
    QSignalSpy clicked(b, &QAbstractButton::clicked);
    host.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    b->setFocus();
    QTest::keyClick(b, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(clicked.size(), clicks);
    // A disabled button takes no key.
    b->setEnabled(false);
    QTest::keyClick(b, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(clicked.size(), clicks);
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
