#include "ui/config/FrameCheckPanel.h"

#include "core/app/IntText.h"
#include "core/config/CobIdChecks.h"
#include "ui/config/IdSpaceView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

FrameCheckPanel::FrameCheckPanel(int from, const QString &suffix, QWidget *parent)
    : QWidget(parent)
    , m_from(from)
{
    setObjectName(QStringLiteral("P_Frames") + suffix);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 4, 4);

    L_Frame_Title = new QLabel(QStringLiteral("What happens to this frame from CAN %1?").arg(from), this);
    L_Frame_Title->setObjectName(QStringLiteral("L_Frame_Title") + suffix);
    layout->addWidget(L_Frame_Title);

    auto *row = new QHBoxLayout;
    E_Frame = new QLineEdit(this);
    E_Frame->setObjectName(QStringLiteral("E_Frame") + suffix);
    E_Frame->setPlaceholderText(QStringLiteral("Identifier, e.g. 0x181"));
    E_Frame->setToolTip(QStringLiteral("Decimal, or hexadecimal after 0x or $"));
    CB_Ext = new QCheckBox(QStringLiteral("29-bit"), this);
    CB_Ext->setObjectName(QStringLiteral("CB_Ext") + suffix);
    row->addWidget(E_Frame, 1);
    row->addWidget(CB_Ext);
    layout->addLayout(row);

    L_Frame = new QLabel(this);
    L_Frame->setObjectName(QStringLiteral("L_Frame") + suffix);
    L_Frame->setWordWrap(true);
    L_Frame->setTextInteractionFlags(Qt::TextSelectableByMouse);
    L_Frame->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(L_Frame);

    // Which files the answers come from, and what they cannot tell.
    L_Frame_Source = new QLabel(this);
    L_Frame_Source->setObjectName(QStringLiteral("L_Frame_Source") + suffix);
    L_Frame_Source->setWordWrap(true);
    L_Frame_Source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    L_Frame_Source->setStyleSheet(QStringLiteral("color: palette(mid)"));
    layout->addWidget(L_Frame_Source);

    P_Map = new IdSpaceView(this);
    P_Map->setObjectName(QStringLiteral("P_Map") + suffix);
    layout->addWidget(P_Map, 1);

    L_Replay = new QLabel(this);
    L_Replay->setObjectName(QStringLiteral("L_Replay") + suffix);
    L_Replay->setWordWrap(true);
    L_Replay->setTextInteractionFlags(Qt::TextSelectableByMouse);
    L_Replay->hide();
    layout->addWidget(L_Replay);

    connect(E_Frame, &QLineEdit::textChanged, this, &FrameCheckPanel::check);
    connect(CB_Ext, &QCheckBox::toggled, this, &FrameCheckPanel::check);
    // A click on a cell asks about that identifier.
    connect(P_Map, &IdSpaceView::idClicked, this, [this](int id) {
        const QSignalBlocker block(CB_Ext);
        CB_Ext->setChecked(false);
        E_Frame->setText(CobIdChecks::idText(quint32(id), false));
        check();
    });
    check();
}

void FrameCheckPanel::setPrediction(const DevicePrediction &device, const QString &note)
{
    m_device = device;
    m_available = true;
    m_note = note;
    P_Map->setSpace(m_device.idSpace(m_from));
    QString source = QStringLiteral("Answers as the device runs %1, built from these tables.").arg(m_device.source());
    for (const QString &assumption : m_device.assumptions())
        source += QStringLiteral("\nAssumed: ") + assumption;
    L_Frame_Source->setText(source);
    check();
}

void FrameCheckPanel::setUnavailable(const QString &reason)
{
    m_device = DevicePrediction();
    m_available = false;
    m_note = reason;
    P_Map->setMessage(reason);
    L_Frame_Source->clear();
    check();
}

QString FrameCheckPanel::answer() const
{
    return L_Frame->text();
}

void FrameCheckPanel::setReplay(const QString &summary, const std::vector<quint64> &framesPerId)
{
    L_Replay->setText(summary);
    L_Replay->setVisible(!summary.isEmpty());
    P_Map->setTraffic(framesPerId);
}

QString FrameCheckPanel::replayText() const
{
    return L_Replay->text();
}

QString FrameCheckPanel::sourceText() const
{
    return L_Frame_Source->text();
}

void FrameCheckPanel::check()
{
    QString text;
    const QString typed = E_Frame->text();
    const bool extended = CB_Ext->isChecked();
    const quint32 max = extended ? FilterImage::Max29Bit : FilterImage::Max11Bit;
    const auto id = IntText::read(typed);
    if (!m_available) {
        text = m_note;
    } else if (IntText::trimmed(typed).isEmpty()) {
        text = m_note;
    } else if (!id || *id < 0 || quint32(*id) > max) {
        text = QStringLiteral("Not %1 identifier: 0 to %2.")
                   .arg(extended ? QStringLiteral("a 29-bit") : QStringLiteral("an 11-bit"), CobIdChecks::idText(max, extended));
    } else {
        const FilterImage::Route r = m_device.route(m_from, quint32(*id), extended);
        QString reason = m_device.reasonText(m_from, quint32(*id), extended, r);
        reason[0] = reason[0].toUpper();
        text = FilterImage::routeText(m_from, quint32(*id), extended, r) + QStringLiteral(".\n") + reason + QStringLiteral(".");
        if (m_device.positive() && r.listedIn > 1)
            text += QStringLiteral("\n%1 rows list this identifier; the %2 one is shown.")
                        .arg(QString::number(r.listedIn),
                             m_device.layout() == DevicePrediction::Layout::Image ? QStringLiteral("first") : QStringLiteral("last"));
        if (!m_note.isEmpty())
            text += QStringLiteral("\n") + m_note;
    }
    P_Map->setMarked(m_available && id && !extended && *id >= 0 && quint32(*id) <= FilterImage::Max11Bit ? *id : -1);
    L_Frame->setText(text);
}
