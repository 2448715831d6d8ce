#include "ui/app/TFAbout.h"

#include "core/app/AppState.h"
#include "ui/widgets/Links.h"
#include "ui/widgets/PicturePanel.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

TFAbout::TFAbout(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
{
    Q_UNUSED(catalog); // the About texts are fixed
    setObjectName(QStringLiteral("TFAbout"));
    setWindowTitle(QStringLiteral("About..."));
    setClientSize(435, 162);

    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, WindowStyle::darkGrey());
    setPalette(pal);

    Image2 = new PicturePanel(QStringLiteral("Image2"), this);
    Image2->setGeometry(32, 24, 96, 96);
    Image2->setBordered(false);
    Image2->setStretch(true);
    Image2->setPicture(Pictures::product(192));
    Image2->setCursor(Qt::PointingHandCursor);
    connect(Image2, &PicturePanel::clicked, this, &TFAbout::Label4Click);

    Label1 = addLabel(QStringLiteral("Label1"), 143, 24, QStringLiteral("Software Praxedo "));
    QFont title = WindowStyle::baseFont();
    title.setPixelSize(13);
    title.setBold(true);
    Label1->setFont(title);
    Label1->adjustSize();
    Label2 = addLabel(QStringLiteral("Label2"), 143, 39);
    addLabel(QStringLiteral("Label6"), 143, 62, QStringLiteral("Software Code : "));
    Label9 = addLabel(QStringLiteral("Label9"), 255, 62);
    addLabel(QStringLiteral("Label3"), 143, 77, QStringLiteral("Version :"));
    Label10 = addLabel(QStringLiteral("Label10"), 255, 77);
    addLabel(QStringLiteral("Label8"), 143, 92, QStringLiteral("Document Code :"));
    Label12 = addLabel(QStringLiteral("Label12"), 255, 92);
    addLabel(QStringLiteral("Label5"), 143, 107, QStringLiteral("Language Ver :"));
    Label7 = addLabel(QStringLiteral("Label7"), 255, 107);

    Label4 = addLabel(QStringLiteral("Label4"), 323, 141, Product::vendorHost());
    QPalette link = Label4->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label4->setPalette(link);
    QFont underlined = WindowStyle::baseFont();
    underlined.setUnderline(true);
    Label4->setFont(underlined);
    Label4->adjustSize();
    WindowStyle::keepInside(Label4, 6, 143); // a longer vendor host still shows whole
    Label4->setCursor(Qt::PointingHandCursor);
    Label4->installEventFilter(this);

    LbButton1 = new StyledButton(QStringLiteral("LbButton1"), StyledButton::Picture::Ok, this);
    LbButton1->setText(QStringLiteral("OK"));
    LbButton1->setGeometry(32, 132, 96, 22);
    LbButton1->setIconSize(QSize(16, 16));
    LbButton1->setDefault(true);
    connect(LbButton1, &QAbstractButton::clicked, this, [this] { done(ModalOk); });
}

QLabel *TFAbout::addLabel(const QString &name, int x, int y, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void TFAbout::showEvent(QShowEvent *event)
{
    FormShow();
    PraxDialog::showEvent(event);
}

void TFAbout::FormShow()
{
    const auto set = [](QLabel *label, const QString &text) {
        label->setText(text);
        label->adjustSize();
    };
    // The description is wider than the window in most fonts: then it takes two lines in a
    // slightly smaller font, which still end above the next label.
    const int room = 435 - Label2->x() - 6;
    QFont font = Label2->font();
    font.setPixelSize(WindowStyle::baseFont().pixelSize());
    const bool oneLine = QFontMetrics(font).horizontalAdvance(m_state.SW_Desc) <= room;
    if (!oneLine)
        font.setPixelSize(font.pixelSize() - 1);
    Label2->setFont(font);
    Label2->setWordWrap(!oneLine);
    Label2->setText(m_state.SW_Desc);
    if (oneLine) {
        Label2->adjustSize();
    } else {
        const QRect needed =
            QFontMetrics(font).boundingRect(QRect(0, 0, room, 1000), Qt::TextWordWrap, m_state.SW_Desc);
        Label2->resize(room, needed.height());
    }
    set(Label9, QString::fromUtf16(Product::Code));
    set(Label10, QString::fromUtf16(Product::SoftwareVersion));
    set(Label12, QString::fromUtf16(Product::DocumentCode));
    set(Label7, m_state.Language_Ver);
    setClientSize(435, 162);
}

void TFAbout::Label4Click()
{
    Links::open(QUrl(Product::homePageUrl()));
}

bool TFAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label4 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return PraxDialog::eventFilter(watched, event);
}
