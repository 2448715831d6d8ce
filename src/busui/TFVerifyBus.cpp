#include "busui/TFVerifyBus.h"

#include "bus/BusVerifier.h"
#include "bus/VerifyResult.h"
#include "bus/VerifyText.h"
#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "ui/app/TFPraxedoreFirmWare.h"
#include "ui/widgets/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

TFVerifyBus::TFVerifyBus(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFVerifyBus"));
    auto *grid = new QGridLayout(this);
    for (QLabel *&label : m_labels)
        label = new QLabel(this);
    for (int p = 0; p < 2; ++p) {
        m_ports[p] = new QComboBox(this);
        m_ports[p]->setEditable(true);
        m_ports[p]->setObjectName(p == 0 ? QStringLiteral("CB_Can0") : QStringLiteral("CB_Can1"));
        grid->addWidget(m_labels[p], p, 0);
        grid->addWidget(m_ports[p], p, 1, 1, 2);
    }
    m_direction = new QComboBox(this);
    m_direction->setObjectName(QStringLiteral("CB_Direction"));
    m_direction->addItems({QString(), QString(), QString()});
    grid->addWidget(m_labels[2], 2, 0);
    grid->addWidget(m_direction, 2, 1, 1, 2);
    m_deep = new QCheckBox(this);
    m_deep->setObjectName(QStringLiteral("CB_Deep"));
    grid->addWidget(m_deep, 3, 1, 1, 2);
    m_progress = new QProgressBar(this);
    grid->addWidget(m_progress, 4, 0, 1, 3);
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("L_Result"));
    m_result->setWordWrap(true);
    grid->addWidget(m_result, 5, 0, 1, 3);
    m_mismatches = new QListWidget(this);
    m_mismatches->setObjectName(QStringLiteral("LB_Mismatches"));
    grid->addWidget(m_mismatches, 6, 0, 1, 3);
    m_start = new QPushButton(this);
    m_start->setObjectName(QStringLiteral("Btn_Start"));
    m_stop = new QPushButton(this);
    m_stop->setObjectName(QStringLiteral("Btn_Stop"));
    m_stop->setEnabled(false);
    m_close = new QPushButton(this);
    m_close->setObjectName(QStringLiteral("Btn_Close"));
    grid->addWidget(m_start, 7, 0);
    grid->addWidget(m_stop, 7, 1);
    grid->addWidget(m_close, 7, 2);
    connect(m_start, &QPushButton::clicked, this, &TFVerifyBus::startRun);
    connect(m_stop, &QPushButton::clicked, this, &TFVerifyBus::stopRun);
    connect(m_close, &QPushButton::clicked, this, &TFVerifyBus::reject);
    setClientSize(560, 420, true);
    Set_Lang();
}

TFVerifyBus::~TFVerifyBus() = default;

void TFVerifyBus::Set_Lang()
{
    setWindowTitle(m_catalog.text(TextId::VerifyTitle));
    m_labels[0]->setText(m_catalog.text(TextId::VerifyCan0Label));
    m_labels[1]->setText(m_catalog.text(TextId::VerifyCan1Label));
    m_labels[2]->setText(m_catalog.text(TextId::VerifyDirectionLabel));
    for (int i = 0; i < 3; ++i)
        m_direction->setItemText(i, m_catalog.text(TextId::VerifyBothDirections + i));
    m_ports[0]->setToolTip(m_catalog.text(TextId::VerifyInterfaceHint));
    m_ports[1]->setToolTip(m_catalog.text(TextId::VerifyInterfaceHint));
    m_deep->setText(m_catalog.text(TextId::VerifyDeep));
    m_start->setText(m_catalog.text(TextId::VerifyStart));
    m_stop->setText(m_catalog.text(TextId::VerifyStop));
    m_close->setText(m_catalog.text(TextId::VerifyClose));
    m_mismatches->setToolTip(m_catalog.text(TextId::VerifyMismatchesHint));
}

bool TFVerifyBus::prepareToShow()
{
    // Not in the main window's language round: read the texts afresh at every opening.
    Set_Lang();
    if (!m_state.projectOpen()) {
        prompt().error(this, m_catalog.text(18));
        return false;
    }
    const QStringList available = CanPorts::available();
    for (int p = 0; p < 2; ++p) {
        const QString kept = m_ports[p]->currentText();
        m_ports[p]->clear();
        m_ports[p]->addItems(available);
        m_ports[p]->setCurrentText(kept.isEmpty() ? available.value(p) : kept);
    }
    return true;
}

bool TFVerifyBus::running() const
{
    return m_verifier && m_verifier->running();
}

void TFVerifyBus::startRun()
{
    if (running())
        return;
    m_mismatches->clear();
    m_result->clear();
    QString error = m_bus.loadProject(m_state.Dir_Project);
    m_verifier.reset();
    int failedPort = -1;
    if (error.isEmpty())
        error = m_bus.parse(m_ports[0]->currentText().trimmed(), m_ports[1]->currentText().trimmed(), failedPort);
    if (error.isEmpty())
        error = m_bus.open();
    if (!error.isEmpty()) {
        m_bus.close();
        prompt().error(this, error);
        return;
    }
    // The choices: both, then CAN 0 to CAN 1, then CAN 1 to CAN 0.
    const int choice = m_direction->currentIndex();
    const std::optional<Direction> only =
        choice > 0 ? std::optional<Direction>(Direction::at(choice - 1)) : std::nullopt;
    m_plan = TestPlan::build(m_bus.prediction, TestPlan::directionsFor(only), m_deep->isChecked());
    VerifyOptions options;
    options.bitRate[0] = m_bus.bitRates[0];
    options.bitRate[1] = m_bus.bitRates[1];
    m_verifier = std::make_unique<BusVerifier>(*m_bus.ports[0], *m_bus.ports[1], m_plan, options);
    m_progress->setRange(0, m_plan.size());
    m_progress->setValue(0);
    connect(m_verifier.get(), &BusVerifier::progress, m_progress, &QProgressBar::setValue);
    connect(m_verifier.get(), &BusVerifier::finished, this, &TFVerifyBus::finishRun, Qt::QueuedConnection);
    m_start->setEnabled(false);
    m_stop->setEnabled(true);
    m_verifier->start();
}

void TFVerifyBus::stopRun()
{
    if (running())
        m_verifier->cancel();
}

void TFVerifyBus::finishRun()
{
    if (!m_verifier)
        return;
    const VerifyResult result = VerifyResult::evaluate(m_plan, *m_verifier);
    m_start->setEnabled(true);
    m_stop->setEnabled(false);
    // With mismatches the verdict of each direction says more than their count.
    if (result.cancelled || !result.error.isEmpty() || result.allMatched()) {
        m_result->setText(VerifyText::result(result, m_catalog));
    } else {
        QStringList lines;
        for (const VerifyResult::PerDirection &d : result.directions)
            lines << VerifyText::direction(d, m_catalog);
        m_result->setText(lines.join(u'\n'));
    }
    for (const VerifyResult::PerDirection &d : result.directions) {
        for (const int i : d.mismatches)
            m_mismatches->addItem(
                QStringLiteral("CAN %1 > CAN %2  ").arg(d.from.fromPort()).arg(d.from.toPort())
                + VerifyText::mismatch(m_plan.framesFrom(d.from)[size_t(i)], d.verdicts[size_t(i)].seen, m_catalog));
    }
    m_verifier.reset();
    m_bus.close();
    if (!result.error.isEmpty())
        prompt().error(this, result.error);
}

void TFVerifyBus::installEntry(TFPraxedoreFirmWare &mainWindow, AppState &state, Catalog &catalog)
{
    auto *window = new TFVerifyBus(state, catalog, &mainWindow);
    auto *action = new QAction(catalog.text(TextId::VerifyMenuEntry), &mainWindow);
    action->setObjectName(QStringLiteral("Act_VerifyBus"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setToolTip(catalog.text(TextId::VerifyMenuEntryHint));
    QObject::connect(action, &QAction::triggered, window, [window] { window->exec(); });
    mainWindow.addAction(action);
    // Right-click on the window's background; the buttons keep their own behaviour.
    mainWindow.setContextMenuPolicy(Qt::ActionsContextMenu);
}
