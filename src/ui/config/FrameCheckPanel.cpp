#include "ui/config/FrameCheckPanel.h"

#include "core/base/Catalog.h"
#include "core/base/IntText.h"
#include "core/config/CobIdChecks.h"
#include "core/device/FrameAnswerText.h"
#include "ui/config/IdSpaceView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

FrameCheckPanel::FrameCheckPanel(int from, const QString &suffix, const Catalog &catalog, QWidget *parent)
    : QWidget(parent)
    , m_from(Direction::arrivingOn(from))
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("P_Frames") + suffix);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 4, 4);

    L_Frame_Title = new QLabel(this);
    L_Frame_Title->setObjectName(QStringLiteral("L_Frame_Title") + suffix);
    layout->addWidget(L_Frame_Title);

    auto *row = new QHBoxLayout;
    E_Frame = new QLineEdit(this);
    E_Frame->setObjectName(QStringLiteral("E_Frame") + suffix);
    CB_Ext = new QCheckBox(this);
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
    Set_Lang();
}

void FrameCheckPanel::Set_Lang()
{
    L_Frame_Title->setText(m_catalog.text(TextId::FrameQuestion).arg(m_from.fromPort()));
    E_Frame->setPlaceholderText(m_catalog.text(TextId::FramePlaceholder));
    E_Frame->setToolTip(m_catalog.text(TextId::FrameHint));
    CB_Ext->setText(m_catalog.text(TextId::Type29Bit));
    P_Map->setLabels({m_catalog.text(TextId::MapPass), m_catalog.text(TextId::MapBlock),
                      m_catalog.text(TextId::MapRemapped)},
                     m_catalog.text(TextId::MapTraffic));
    showSource();
    check();
}

void FrameCheckPanel::showSource()
{
    if (!m_available) {
        L_Frame_Source->clear();
        return;
    }
    QString source = m_catalog.text(TextId::FrameAnswersFrom).arg(m_device.source(m_catalog));
    for (const QString &assumption : m_device.assumptions(m_catalog))
        source += u'\n' + m_catalog.text(TextId::FrameAssumed).arg(assumption);
    L_Frame_Source->setText(source);
}

void FrameCheckPanel::setPrediction(const DevicePrediction &device, const QString &note)
{
    m_device = device;
    m_available = true;
    m_note = note;
    P_Map->setSpace(m_device.idSpace(m_from));
    showSource();
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
    const quint32 max = extended ? DeviceFacts::Max29Bit : DeviceFacts::Max11Bit;
    const auto id = IntText::read(typed);
    if (!m_available || IntText::trimmed(typed).isEmpty()) {
        text = m_note;
    } else if (!id || *id < 0 || quint32(*id) > max) {
        text = m_catalog.text(extended ? TextId::FrameNot29Bit : TextId::FrameNot11Bit)
                   .arg(CobIdChecks::idText(max, extended));
    } else {
        const FrameAnswerText::Answer a = FrameAnswerText::answer(m_device, m_from, quint32(*id), extended, m_catalog);
        QString reason = a.reason;
        if (!reason.isEmpty())
            reason[0] = reason[0].toUpper();
        text = a.route + QStringLiteral(".\n") + reason + QStringLiteral(".");
        if (!a.rows.isEmpty())
            text += u'\n' + a.rows + u'.';
        if (!m_note.isEmpty())
            text += QStringLiteral("\n") + m_note;
    }
    P_Map->setMarked(m_available && id && !extended && *id >= 0 && quint32(*id) <= DeviceFacts::Max11Bit ? *id : -1);
    L_Frame->setText(text);
}
