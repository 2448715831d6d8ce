#include "ui/image/TFModifyFileSx.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/image/FlashTool.h"
#include "core/projects/ProjectLock.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

TFModifyFileSx::TFModifyFileSx(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
    , m_startTool(&FlashTool::startDetached)
{
    setObjectName(QStringLiteral("TFModifyFileSx"));
    // A tool-window frame with its caption and no title-bar buttons; LbButton1 closes it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Generate Firmware"));
    setClientSize(430, 224);

    LbButton1 = new StyledButton(QStringLiteral("LbButton1"), StyledButton::Picture::None, this);
    LbButton1->setText(QStringLiteral("X"));
    LbButton1->setGeometry(400, 3, 25, 17);
    connect(LbButton1, &QPushButton::clicked, this, &QDialog::reject);

    cbport = new QComboBox(this);
    cbport->setObjectName(QStringLiteral("cbport"));
    cbport->setEditable(false);
    for (int i = 1; i <= 8; ++i)
        cbport->addItem(QStringLiteral("COM%1").arg(i));
    cbport->setGeometry(328, 143, 89, 21);

    LbButton2 = new StyledButton(QStringLiteral("LbButton2"), StyledButton::Picture::None, this);
    LbButton2->setText(QStringLiteral("Execute update firmware"));
    LbButton2->setGeometry(160, 142, 153, 23);
    LbButton2->setEnabled(false);
    connect(LbButton2, &QPushButton::clicked, this, &TFModifyFileSx::LbButton2Click);

    Avanzamento = new QProgressBar(this);
    Avanzamento->setObjectName(QStringLiteral("Avanzamento"));
    Avanzamento->setGeometry(8, 176, 417, 24);
    Avanzamento->setTextVisible(false);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 208, 417, 10);
    Shape1->setStyleSheet(QStringLiteral("#Shape1 { background-color: rgb(166, 202, 240); border: 1px solid %1; }")
                              .arg(WindowStyle::darkGrey().name()));

    L_Status = new QLabel(this);
    L_Status->setObjectName(QStringLiteral("L_Status"));
    L_Status->setGeometry(8, 30, 414, 100);
    L_Status->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    L_Status->setWordWrap(true);

    // The bank choice is fixed (banks 1 and 2); the panel only carries it.
    GbBank = new QWidget(this);
    GbBank->setObjectName(QStringLiteral("GbBank"));
    GbBank->setGeometry(8, 30, 300, 100);
    for (int k = 0; k < SrecMerge::BankCount; ++k) {
        Cbbank[k] = new QCheckBox(QStringLiteral("Bank %1").arg(k + 1), GbBank);
        Cbbank[k]->setObjectName(QStringLiteral("Cbbank%1").arg(k + 1));
        Cbbank[k]->setEnabled(false);
        Cbbank[k]->move(8, 4 + 18 * k);
    }
    GbBank->hide();
}

void TFModifyFileSx::setToolStarter(ToolStarter starter)
{
    m_startTool = starter ? std::move(starter) : ToolStarter(&FlashTool::startDetached);
}

void TFModifyFileSx::showEvent(QShowEvent *event)
{
    PraxDialog::showEvent(event);
    FormShow();
}

// Above the middle of the screen, centred across.
void TFModifyFileSx::placeOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize full = frameGeometry().size().expandedTo(size());
    move(area.x() + area.width() / 2 - full.width() / 2, area.y() + area.height() / 2 - full.height());
}

void TFModifyFileSx::FormShow()
{
    GbBank->hide();
    for (int k = 0; k < SrecMerge::BankCount; ++k)
        Cbbank[k]->setChecked(k < 2);
    cbport->setCurrentIndex(0);
    Avanzamento->setValue(0);
    LbButton2->setEnabled(false);
    L_Status->clear();

    const QString firmwareName = QString::fromUtf16(SrecMerge::Name_Firmware);
    m_files = SrecMerge::filesFor(m_state.Dir_Project, m_state.Dir_Master, firmwareName);
    for (int k = 0; k < SrecMerge::BankCount; ++k)
        m_files.banks[size_t(k)] = Cbbank[k]->isChecked();

    if (!QFileInfo(m_files.sourcePath()).isFile()) {
        prompt().error(this, QStringLiteral("Error file ") + firmwareName + QStringLiteral(" not found"));
        return;
    }
    if (!QDir::setCurrent(m_state.Dir_Master)) {
        prompt().error(this, QStringLiteral("Error"));
        return;
    }
    LbButton2->setEnabled(true);
}

void TFModifyFileSx::LbButton2Click()
{
    L_Status->clear();
    if (ExeModFileSxClick())
        ExeUpdateFirClick();
}

bool TFModifyFileSx::ExeModFileSxClick()
{
    SrecMerge::Progress progress;
    progress.setMaximum = [this](int maximum) { Avanzamento->setRange(0, maximum); };
    progress.setValue = [this](int value) { Avanzamento->setValue(value); };
    ProjectLock lock(m_state.Dir_Project);
    if (!lock.acquire()) {
        prompt().error(this, lock.refusal(m_catalog));
        return false;
    }
    const SrecMerge::ChainOutcome chain = SrecMerge::runChain(m_files, progress);
    lock.release();
    if (!chain.stopped())
        return true;
    if (chain.fileError)
        prompt().error(this, chain.message);
    else
        prompt().plain(this, chain.message);
    return false;
}

void TFModifyFileSx::ExeUpdateFirClick()
{
    const QString newFile = m_files.newFilePath();
    if (!QFileInfo(newFile).isFile()) {
        prompt().plain(this, QStringLiteral("File *.Sx Not Found,Abort Procedure"));
        return;
    }
    const QString tool = FlashTool::programPath(m_state.Dir_Exe);
    if (!QFileInfo(tool).isFile()) {
        prompt().plain(this, QStringLiteral("Burnquill.exe Not Found, Procedure Aborted"));
        return;
    }
    // The tool runs on its own; only a start that did not happen is worth a word.
    const QString written = m_catalog.text(TextId::FirmwareWritten) + QDir::toNativeSeparators(newFile);
    L_Status->setText(written);
    const QString error = m_startTool(tool, newFile, cbport->currentIndex());
    if (!error.isEmpty()) {
        prompt().error(this, error);
        return;
    }
    L_Status->setText(written + u'\n' + m_catalog.text(TextId::FirmwareToolStarted) + cbport->currentText());
}
