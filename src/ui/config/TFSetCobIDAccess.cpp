#include "ui/config/TFSetCobIDAccess.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/config/CobIdChecks.h"
#include "core/config/CobIdCsv.h"
#include "core/config/CobIdImport.h"
#include "core/config/DbcImport.h"
#include "core/config/FilterTables.h"
#include "core/config/ParGen.h"
#include "core/device/DevicePrediction.h"
#include "core/projects/ProjectFiles.h"
#include "core/projects/ProjectLock.h"
#include "core/traffic/TraceReplay.h"
#include "ui/config/CobIdDelegate.h"
#include "ui/config/CobIdGrid.h"
#include "ui/config/CobIdTableModel.h"
#include "ui/config/FrameCheckPanel.h"
#include "ui/widgets/FileChooser.h"
#include "ui/widgets/Prompt.h"
#include "ui/widgets/StyledButton.h"
#include "ui/widgets/WindowStyle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 1034;
constexpr int ClientHeight = 337;
constexpr int RowHeight = 22;
constexpr int ColumnWidths[CobIdTableModel::ColumnCount] = {40, 130, 130, 130, 130, 440};
constexpr int ButtonLeft = 16;
constexpr int ButtonPitch = 118;
constexpr int ToolButtonWidth = 110;
constexpr int ToolButtonHeight = 22;
constexpr int ReplayButtonWidth = 165;
constexpr int FramePanelWidth = 300;
constexpr int FramePanelWindowHeight = 560;

} // namespace

TFSetCobIDAccess::TFSetCobIDAccess(AppState &state, Catalog &catalog, QWidget *parent)
    : PraxDialog(parent)
    , m_state(state)
    , m_catalog(catalog)
{
    setObjectName(QStringLiteral("TFSetCobIDAccess"));
    setClientSize(ClientWidth, ClientHeight, true);
    setMinimumSize(8 * ButtonPitch + ButtonLeft, WindowStyle::HeaderHeight + WindowStyle::ButtonPanelHeight + 120);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QWidget *header = WindowStyle::createHeader(this, m_state.SW_Code, &L_SW_Code, &L_SW_Desc);
    header->setFixedHeight(WindowStyle::HeaderHeight);
    layout->addWidget(header);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(false);
    TS_CAN0_to_CAN1 = new QWidget;
    TS_CAN0_to_CAN1->setObjectName(QStringLiteral("TS_CAN0_to_CAN1"));
    TS_CAN1_to_CAN0 = new QWidget;
    TS_CAN1_to_CAN0->setObjectName(QStringLiteral("TS_CAN1_to_CAN0"));
    PageControl1->addTab(TS_CAN0_to_CAN1, QString());
    PageControl1->addTab(TS_CAN1_to_CAN0, QString());
    m_toolBars = new QStackedWidget;
    PageControl1->setCornerWidget(m_toolBars, Qt::TopRightCorner);
    connect(PageControl1, &QTabWidget::currentChanged, m_toolBars, &QStackedWidget::setCurrentIndex);
    createGrid(Direction::Can0ToCan1, QStringLiteral("ACG_C0_C1"), TS_CAN0_to_CAN1);
    createGrid(Direction::Can1ToCan0, QStringLiteral("ACG_C1_C0"), TS_CAN1_to_CAN0);
    layout->addWidget(PageControl1, 1);

    QWidget *buttons = WindowStyle::createButtonPanel(this);
    buttons->setFixedHeight(WindowStyle::ButtonPanelHeight);
    layout->addWidget(buttons);
    const struct
    {
        StyledButton **button;
        const char16_t *name;
        StyledButton::Picture picture;
        void (TFSetCobIDAccess::*click)();
    } bar[] = {
        {&Btn_OK, u"Btn_OK", StyledButton::Picture::Ok, &TFSetCobIDAccess::Btn_OKClick},
        {&Btn_Cancel, u"Btn_Cancel", StyledButton::Picture::Cancel, nullptr},
        {&Btn_DelRow, u"Btn_DelRow", StyledButton::Picture::DeleteRow, &TFSetCobIDAccess::Btn_DelRowClick},
        {&Btn_InsRow, u"Btn_InsRow", StyledButton::Picture::InsertRow, &TFSetCobIDAccess::Btn_InsRowClick},
        {&Btn_CopyRow, u"Btn_CopyRow", StyledButton::Picture::CopyRow, &TFSetCobIDAccess::Btn_CopyRowClick},
        {&Btn_PasteRow, u"Btn_PasteRow", StyledButton::Picture::PasteRow, &TFSetCobIDAccess::Btn_PasteRowClick},
        {&Btn_Compile_All, u"Btn_Compile_All", StyledButton::Picture::CompileAll,
         &TFSetCobIDAccess::Btn_Compile_AllClick},
        {&Btn_Cancel_All, u"Btn_Cancel_All", StyledButton::Picture::CancelAll, &TFSetCobIDAccess::Btn_Cancel_AllClick},
    };
    int left = ButtonLeft;
    for (const auto &b : bar) {
        auto *button = new StyledButton(QString::fromUtf16(b.name), b.picture, buttons);
        button->setGeometry(left, WindowStyle::ButtonTop, WindowStyle::ButtonWidth, WindowStyle::ButtonHeight);
        // Enter belongs to the grid; it must never press a button the user clicked earlier.
        button->setAutoDefault(false);
        left += ButtonPitch;
        *b.button = button;
        if (b.click)
            connect(button, &QAbstractButton::clicked, this, b.click);
    }
    connect(Btn_Cancel, &QAbstractButton::clicked, this, &TFSetCobIDAccess::reject);

    Set_Lang();
}

TFSetCobIDAccess::~TFSetCobIDAccess()
{
    // The views go before the models and the document they show.
    for (QTableView *g : m_grids)
        g->setModel(nullptr);
}

QTableView *TFSetCobIDAccess::createGrid(int table, const QString &name, QWidget *page)
{
    auto *grid = new CobIdGrid(page);
    grid->setObjectName(name);

    auto *model = new CobIdTableModel(m_document.table(table), this);
    auto *delegate = new CobIdDelegate(grid);
    delegate->setEnterJumps([this] { return m_state.Enable_Jump_Field_Tables; });
    connect(delegate, &CobIdDelegate::enterJump, this, [this, grid] { Jump_Next_Cell(grid, Qt::Key_Return); });
    grid->setModel(model);
    grid->setItemDelegate(delegate);
    m_grids[table] = grid;
    m_models[table] = model;
    m_delegates[table] = delegate;

    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(RowHeight);
    grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    QHeaderView *titles = grid->horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(false);
    titles->setHighlightSections(false);
    titles->setSectionsClickable(false);
    titles->setMinimumSectionSize(8);
    for (int c = 0; c < CobIdTableModel::ColumnCount; ++c)
        titles->resizeSection(c, ColumnWidths[c]);
    // Double clicks on the titles size a column only under the user's option (Auto_Size_Column),
    // so the view's own fit-on-divider is switched off.
    disconnect(titles, &QHeaderView::sectionHandleDoubleClicked, grid, nullptr);
    connect(titles, &QHeaderView::sectionHandleDoubleClicked, this,
            [this, grid](int column) { Auto_Size_Column(grid, 0, column); });
    connect(titles, &QHeaderView::sectionDoubleClicked, this,
            [this, grid](int column) { Auto_Size_Column(grid, 0, column); });

    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->setCurrentIndex(model->index(0, 1));
    connect(grid, &QAbstractItemView::clicked, this,
            [this, grid](const QModelIndex &index) { ClickCell(grid, index); });
    grid->installEventFilter(this);
    createTools(table, page, grid, name.mid(3)); // ACG_C0_C1 -> _C0_C1
    connect(model, &QAbstractItemModel::dataChanged, this, [this, table] { tableChanged(table); });
    return grid;
}

void TFSetCobIDAccess::createTools(int table, QWidget *page, QTableView *grid, const QString &suffix)
{
    TableTools &tools = m_tools[table];
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(grid, 1);
    tools.panel = new FrameCheckPanel(table, suffix, m_catalog, page);
    tools.panel->setFixedWidth(FramePanelWidth);
    tools.panel->hide();
    body->addWidget(tools.panel);
    pageLayout->addLayout(body, 1);

    // The page's tools sit in the free room of the tab row, so the grid keeps the page's height.
    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("P_Tools") + suffix);
    auto *footer = new QHBoxLayout(bar);
    footer->setContentsMargins(0, 0, 2, 0);
    footer->setSpacing(4);
    tools.rows = new QLabel(bar);
    tools.rows->setObjectName(QStringLiteral("L_Rows") + suffix);
    footer->addWidget(tools.rows);
    footer->addSpacing(8);
    const auto button = [&](const QString &name, StyledButton::Picture picture) {
        auto *b = new StyledButton(name + suffix, picture, bar);
        b->setFixedSize(ToolButtonWidth, ToolButtonHeight);
        b->setAutoDefault(false);
        footer->addWidget(b);
        return b;
    };
    tools.framesButton = button(QStringLiteral("Btn_Frames"), StyledButton::Picture::Check);
    tools.framesButton->setCheckable(true);
    tools.replayButton = button(QStringLiteral("Btn_Replay"), StyledButton::Picture::Open);
    // Its caption is the longest of the four, in English and in Italian.
    tools.replayButton->setFixedWidth(ReplayButtonWidth);
    tools.importButton = button(QStringLiteral("Btn_Import"), StyledButton::Picture::Import);
    tools.exportButton = button(QStringLiteral("Btn_Export"), StyledButton::Picture::Export);
    m_toolBars->addWidget(bar);

    connect(tools.framesButton, &QAbstractButton::toggled, this, [this, table](bool on) { showFramePanel(table, on); });
    connect(tools.replayButton, &QAbstractButton::clicked, this, [this, table] { replayInto(table); });
    connect(tools.importButton, &QAbstractButton::clicked, this, [this, table] { importInto(table); });
    connect(tools.exportButton, &QAbstractButton::clicked, this, [this, table] { exportFrom(table); });
}

void TFSetCobIDAccess::Set_Lang()
{
    const Catalog &t = m_catalog;
    setWindowTitle(t.text(500));
    L_SW_Desc->setText(t.text(501));
    L_SW_Desc->adjustSize();
    StyledButton *buttons[] = {Btn_OK,      Btn_Cancel,   Btn_DelRow,      Btn_InsRow,
                               Btn_CopyRow, Btn_PasteRow, Btn_Compile_All, Btn_Cancel_All};
    for (int i = 0; i < 8; ++i) {
        buttons[i]->setText(t.text(502 + i));
        buttons[i]->setHint(t.text(524 + i));
    }
    for (const Direction d : Direction::all())
        PageControl1->setTabText(d.index(), t.text(d.titleText()));
    QStringList titles[2];
    for (int c = 0; c < CobIdTableModel::ColumnCount; ++c) {
        titles[0] << t.text(512 + c);
        titles[1] << t.text(518 + c);
    }
    Hint_C0_C1.clear();
    Hint_C1_C0.clear();
    for (int c = 0; c < CobIdTable::CellCount; ++c) {
        Hint_C0_C1 << t.text(532 + c);
        Hint_C1_C0 << t.text(537 + c);
    }
    m_models[0]->setTitles(titles[0]);
    m_models[1]->setTitles(titles[1]);
    m_models[0]->setHints(Hint_C0_C1);
    m_models[1]->setHints(Hint_C1_C0);

    for (int table = 0; table < CobIdDocument::TableCount; ++table) {
        const TableTools &tools = m_tools[table];
        tools.framesButton->setText(t.text(TextId::FrameCheckButton));
        tools.framesButton->setHint(t.text(TextId::FrameCheckButtonHint));
        tools.replayButton->setText(t.text(TextId::ReplayButton));
        tools.replayButton->setHint(t.text(TextId::ReplayButtonHint));
        tools.importButton->setText(t.text(TextId::ImportButton));
        tools.importButton->setHint(t.text(TextId::ImportButtonHint));
        tools.exportButton->setText(t.text(TextId::ExportButton));
        tools.exportButton->setHint(t.text(TextId::ExportButtonHint));
        tools.rows->setText(usedRowsText(table));
        tools.panel->Set_Lang();
    }
}

bool TFSetCobIDAccess::prepareToShow()
{
    return FormShow();
}

bool TFSetCobIDAccess::FormShow()
{
    // An edit left open when the window last closed belongs to the discarded tables.
    for (CobIdDelegate *d : m_delegates)
        d->discardOpenEditor();

    FilterTables opened;
    DocumentStamp read;
    const QString error = opened.open(m_state.File_ParGen, m_state.File_CobID, &read);
    if (!error.isEmpty()) {
        prompt().error(this, error);
        return false;
    }
    m_stamp = read;
    const ParGenFilterValues &parGen = opened.parGen;
    const CobIdDocument::ReadReport &report = opened.report;
    m_hiddenRowsRefusal = CobIdImport::hiddenRowsRefusal(report, m_state.File_CobID);

    m_parGenSource = XmlSource::load(m_state.File_ParGen);
    DeviceType = parGen.deviceType;
    CAN0Type = parGen.can0Type;
    CAN1Type = parGen.can1Type;
    Imp_Pos = parGen.positive;
    m_document = opened.document;
    for (CobIdTableModel *model : m_models) {
        model->setColumnReadOnly(1, false);
        model->setColumnReadOnly(2, DeviceType == 0);
        model->setColumnReadOnly(3, !Imp_Pos);
        model->setColumnReadOnly(4, !Imp_Pos || DeviceType == 0);
        model->setColumnReadOnly(5, false);
        model->tableReset();
    }
    // Every opening starts at the top of each table, whatever row was left current.
    for (QTableView *grid : m_grids) {
        grid->setCurrentIndex(grid->model()->index(0, 1));
        grid->scrollToTop();
        grid->horizontalScrollBar()->setValue(0);
    }
    // A row copied during an earlier opening cannot be pasted.
    Do_Copy_C0_C1 = false;
    Do_Copy_C1_C0 = false;

    m_previewStale = true;
    for (int table = 0; table < CobIdDocument::TableCount; ++table)
        tableChanged(table);

    const QString warning = CobIdDocument::warning(report, m_state.File_CobID);
    if (!warning.isEmpty())
        prompt().warning(this, warning);
    return true;
}

int TFSetCobIDAccess::activeTable() const
{
    return PageControl1->currentIndex() == 1 ? Direction::Can1ToCan0 : Direction::Can0ToCan1;
}

QTableView *TFSetCobIDAccess::activeGrid() const
{
    return m_grids[activeTable()];
}

int TFSetCobIDAccess::currentRow() const
{
    const QModelIndex current = activeGrid()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TFSetCobIDAccess::commitEditors()
{
    for (CobIdDelegate *d : m_delegates)
        d->commitOpenEditor();
}

void TFSetCobIDAccess::ClickCell(QTableView *grid, const QModelIndex &index)
{
    if (!index.isValid() || index.column() != CobIdTableModel::NumberColumn)
        return;
    QAbstractItemModel *model = grid->model();
    const QItemSelection row(model->index(index.row(), 0), model->index(index.row(), CobIdTableModel::ColumnCount - 1));
    grid->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect);
}

bool TFSetCobIDAccess::Controllo_dati()
{
    const auto failure = m_document.Controllo_dati(Imp_Pos);
    if (!failure)
        return true;
    prompt().error(this, CobIdDocument::message(*failure, m_catalog));
    showFailure(*failure);
    return false;
}

void TFSetCobIDAccess::showFailure(const CobIdFailure &failure)
{
    // Take the user to the cell the message is about.
    static const int columnOfRule[] = {2, 1, 1, 4, 3, 3};
    const int base = failure.table == Direction::Can0ToCan1 ? 543 : 549;
    const int rule = failure.message - base;
    if (rule < 0 || rule >= 6)
        return;
    showCell(failure.table, failure.row - 1, columnOfRule[rule]);
}

void TFSetCobIDAccess::showCell(int table, int row, int column)
{
    PageControl1->setCurrentIndex(table);
    QTableView *grid = m_grids[table];
    const QModelIndex cell = grid->model()->index(row, column);
    grid->setCurrentIndex(cell);
    grid->scrollTo(cell);
    grid->setFocus();
}

bool TFSetCobIDAccess::duplicatesAccepted()
{
    const QString warning = CobIdChecks::duplicatesWarning(m_document);
    if (warning.isEmpty())
        return true;
    if (prompt().ask(this, warning + QStringLiteral("\n\n") + m_catalog.text(TextId::SaveAnywayQuestion)))
        return true;
    for (int table = 0; table < CobIdDocument::TableCount; ++table) {
        const auto found = CobIdChecks::duplicates(m_document.table(table));
        if (!found.empty()) {
            showCell(table, found.front().rows.at(1) - 1, 1);
            break;
        }
    }
    return false;
}

QString TFSetCobIDAccess::tableTitle(int table) const
{
    return m_catalog.text(Direction::at(table).titleText());
}

QString TFSetCobIDAccess::usedRowsText(int table) const
{
    return CobIdChecks::usedRowsText(m_document.table(table), m_catalog);
}

void TFSetCobIDAccess::tableChanged(int table)
{
    m_tools[table].rows->setText(usedRowsText(table));
    // A replay answered for the tables as they were.
    m_tools[table].panel->setReplay(QString(), {});
    m_previewStale = true;
    // Both pages answer from one build; keep it current while either shows its frame check.
    if (m_tools[0].framesButton->isChecked() || m_tools[1].framesButton->isChecked())
        refreshPreview();
}

void TFSetCobIDAccess::showFramePanel(int table, bool shown)
{
    m_tools[table].panel->setVisible(shown);
    // The map needs more height than the table alone: grow a window left at its first size
    // while a panel shows, and give the height back when the last one closes.
    const bool anyShown = m_tools[0].framesButton->isChecked() || m_tools[1].framesButton->isChecked();
    if (shown && height() < FramePanelWindowHeight) {
        m_heightBeforePanel = height();
        resize(width(), FramePanelWindowHeight);
    } else if (!anyShown && m_heightBeforePanel > 0) {
        if (height() == FramePanelWindowHeight)
            resize(width(), m_heightBeforePanel);
        m_heightBeforePanel = 0;
    }
    if (shown && m_previewStale)
        refreshPreview();
}

void TFSetCobIDAccess::refreshPreview()
{
    DevicePrediction device;
    const QString error = device.loadTables(m_parGenSource, m_document);
    m_previewStale = false;
    if (!error.isEmpty()) {
        for (const TableTools &tools : m_tools)
            tools.panel->setUnavailable(m_catalog.text(TextId::TablesCannotBeBuilt) + error);
        return;
    }
    QString note;
    const auto failure = m_document.Controllo_dati(Imp_Pos);
    if (failure)
        note = m_catalog.text(TextId::TablesNotValid).arg(CobIdDocument::message(*failure, m_catalog));
    else if (device.positive() != Imp_Pos)
        note = device.positive() ? m_catalog.text(TextId::PositiveFromParGen) : m_catalog.text(TextId::PositiveOff);
    for (const TableTools &tools : m_tools)
        tools.panel->setPrediction(device, note);
}

void TFSetCobIDAccess::importInto(int table)
{
    commitEditors();
    if (!m_hiddenRowsRefusal.isEmpty()) {
        prompt().error(this, m_hiddenRowsRefusal);
        return;
    }
    const QString title = tableTitle(table);
    const QString path =
        fileChooser().openFile(this, m_catalog.text(TextId::ImportChooserTitle).arg(title),
                               m_lastDir.isEmpty() ? m_state.Dir_Project : m_lastDir,
                               QStringLiteral("%1 (*.csv *.dbc);;%2 (*.csv);;%3 (*.dbc)")
                                   .arg(m_catalog.text(TextId::ChooserCsvAndDbc), m_catalog.text(TextId::ChooserCsv),
                                        m_catalog.text(TextId::ChooserDbc)));
    if (path.isEmpty())
        return;
    m_lastDir = QFileInfo(path).absolutePath();
    std::vector<ImportedRow> rows;
    DbcImport::Report dbc;
    QString error = CobIdImport::readFile(path, Imp_Pos, rows, DbcImport::WideIds::Refuse, &dbc);
    // Many databases leave the 29-bit flag out; the user may take those identifiers as 29-bit.
    if (!error.isEmpty() && dbc.wideIds > 0
        && prompt().ask(this, error + QStringLiteral("\n\n") + m_catalog.text(TextId::DbcTakeAs29Bit)))
        error = CobIdImport::readFile(path, Imp_Pos, rows, DbcImport::WideIds::As29Bit, &dbc);
    else if (!error.isEmpty() && dbc.wideIds > 0)
        return;
    if (!error.isEmpty()) {
        prompt().error(this, error);
        return;
    }
    if (!dbc.warnings.isEmpty())
        prompt().warning(this, dbc.warnings.join(u'\n'));
    // Replace the used rows, add to them, or leave the table alone.
    CobIdImport::Mode mode = CobIdImport::Mode::Replace;
    const int used = m_document.table(table).usedRowCount();
    const QString name = QFileInfo(path).fileName();
    if (used > 0) {
        if (!prompt().ask(this,
                          m_catalog.text(TextId::ImportReplaceQuestion)
                              .arg(QString::number(used), title, QString::number(rows.size()), name))) {
            if (!prompt().ask(this,
                              m_catalog.text(TextId::ImportAppendQuestion)
                                  .arg(QString::number(rows.size()), name, QString::number(used))))
                return;
            mode = CobIdImport::Mode::Append;
        }
    }
    // Tried on a copy first: tables that could not be saved again are refused before they
    // replace what the user has.
    CobIdDocument imported = m_document;
    error = CobIdImport::apply(imported.table(table), rows, mode, QDir::toNativeSeparators(path));
    QByteArray bytes;
    if (error.isEmpty())
        error = imported.toBytes(bytes);
    if (!error.isEmpty()) {
        prompt().error(this, error);
        return;
    }
    m_document.table(table) = imported.table(table);
    m_models[table]->tableReset();
    PageControl1->setCurrentIndex(table);
}

void TFSetCobIDAccess::replayInto(int table)
{
    commitEditors();
    const QString path = fileChooser().openFile(this, m_catalog.text(TextId::ReplayChooserTitle) + tableTitle(table),
                                                m_lastDir.isEmpty() ? m_state.Dir_Project : m_lastDir,
                                                QStringLiteral("%1 (*.log *.asc *.txt);;%2 (*)")
                                                    .arg(m_catalog.text(TextId::ChooserTraces),
                                                         m_catalog.text(TextId::ChooserAllFiles)));
    if (path.isEmpty())
        return;
    m_lastDir = QFileInfo(path).absolutePath();
    DevicePrediction device;
    QString error = device.loadTables(m_parGenSource, m_document);
    if (!error.isEmpty()) {
        prompt().error(this, m_catalog.text(TextId::TablesCannotBeBuilt) + error);
        return;
    }
    // A pipe or device chosen in the dialog is refused, not waited for.
    QFile trace(path);
    if (const QString why = FileIo::openForReading(trace); !why.isEmpty()) {
        prompt().error(this, why);
        return;
    }
    TraceReplay::Options options;
    options.from = Direction::at(table);
    ReplaySummary summary;
    QStringList malformed;
    // A recorded trace of a gigabyte takes a second or two.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    error = TraceReplay::run(trace, nullptr, device, options, summary, [&](const MalformedLine &m) {
        if (malformed.size() < 5)
            malformed << m_catalog.text(TextId::ReplayMalformedLine).arg(QString::number(m.line), m.reason);
    });
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        prompt().error(this, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    QStringList lines{QFileInfo(path).fileName()};
    lines << summary.text(Direction::at(table), m_catalog);
    for (const QString &warning : summary.warnings(Direction::at(table), m_catalog))
        lines << m_catalog.text(TextId::ReplayWarning).arg(warning);
    lines << malformed;
    m_tools[table].framesButton->setChecked(true);
    m_tools[table].panel->setReplay(lines.join(u'\n'),
                                    std::vector<quint64>(summary.trafficIn.begin(), summary.trafficIn.end()));
}

void TFSetCobIDAccess::exportFrom(int table)
{
    commitEditors();
    const QString project = QDir(m_state.Dir_Project).dirName();
    const QString suggested = joinPath(m_lastDir.isEmpty() ? m_state.Dir_Project : m_lastDir,
                                       QStringLiteral("%1_%2.csv").arg(project, CobIdDocument::listName(table)));
    const QString path =
        fileChooser().saveFile(this, m_catalog.text(TextId::ExportChooserTitle).arg(tableTitle(table)), suggested,
                               QStringLiteral("%1 (*.csv)").arg(m_catalog.text(TextId::ChooserCsv)),
                               QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    m_lastDir = QFileInfo(path).absolutePath();
    QString error = ProjectFiles::refuseOutput(m_state, path);
    if (error.isEmpty())
        error = CobIdCsv::save(m_document.table(table), path);
    if (!error.isEmpty())
        prompt().error(this, error);
}

void TFSetCobIDAccess::Btn_OKClick()
{
    commitEditors();
    if (!Controllo_dati() || !duplicatesAccepted())
        return;
    ProjectLock lock(m_state.Dir_Project);
    if (!lock.acquire()) {
        prompt().error(this, lock.refusal(m_catalog));
        return;
    }
    if (!mayOverwrite(this, m_catalog, m_stamp, m_state.File_CobID, [this] { FormShow(); }))
        return;
    const QString error = m_document.save(m_state.File_CobID);
    if (!error.isEmpty()) {
        prompt().error(this, error);
        return;
    }
    QByteArray written;
    if (m_document.toBytes(written).isEmpty())
        m_stamp.saved(written);
    done(ModalOk);
}

void TFSetCobIDAccess::Btn_DelRowClick()
{
    commitEditors();
    const int row = currentRow();
    if (row < 0)
        return;
    if (!prompt().ask(this, m_catalog.text(557) + QString::number(row + 1)))
        return;
    m_models[activeTable()]->Delete_Row(row);
    activeGrid()->setFocus();
}

void TFSetCobIDAccess::Btn_InsRowClick()
{
    commitEditors();
    const int row = currentRow();
    if (row < 0)
        return;
    m_models[activeTable()]->Insert_Row(row);
    activeGrid()->setFocus();
}

void TFSetCobIDAccess::Btn_CopyRowClick()
{
    commitEditors();
    const int row = currentRow();
    if (row < 0)
        return;
    m_state.Copied_Row = m_document.table(activeTable()).Copy_Row(row);
    Do_Copy_C0_C1 = activeTable() == Direction::Can0ToCan1;
    Do_Copy_C1_C0 = !Do_Copy_C0_C1;
    activeGrid()->setFocus();
}

void TFSetCobIDAccess::Btn_PasteRowClick()
{
    commitEditors();
    const int row = currentRow();
    if (row < 0)
        return;
    const int table = activeTable();
    const bool copiedHere = table == Direction::Can0ToCan1 ? Do_Copy_C0_C1 : Do_Copy_C1_C0;
    const CobIdTable::Paste check = m_document.table(table).checkPaste(row, copiedHere, m_state.Copied_Row);
    switch (check) {
    case CobIdTable::Paste::NothingCopied:
    case CobIdTable::Paste::WrongSize:
        prompt().error(this, m_catalog.text(CobIdTable::messageIndex(check)));
        return;
    case CobIdTable::Paste::AskOverwrite:
        if (!prompt().ask(this, m_catalog.text(CobIdTable::messageIndex(check))))
            return;
        break;
    case CobIdTable::Paste::Ready:
        break;
    }
    m_models[table]->Paste_Row(row, m_state.Copied_Row);
    activeGrid()->setFocus();
}

void TFSetCobIDAccess::Btn_Compile_AllClick()
{
    commitEditors();
    if (!prompt().ask(this, m_catalog.text(556)))
        return;
    m_models[activeTable()]->compileAll();
}

void TFSetCobIDAccess::Btn_Cancel_AllClick()
{
    commitEditors();
    if (!prompt().ask(this, m_catalog.text(555)))
        return;
    m_models[activeTable()]->cancelAll();
}

bool TFSetCobIDAccess::Jump_Next_Cell(QTableView *grid, int key)
{
    if (!m_state.Enable_Jump_Field_Tables || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return false;
    const QModelIndex current = grid->currentIndex();
    if (current.isValid() && current.column() > CobIdTableModel::NumberColumn) {
        int row = current.row();
        int column = current.column() + 1;
        if (column == CobIdTableModel::ColumnCount) {
            column = 1;
            row = (row + 1) % CobIdTable::RowCount;
        }
        grid->setCurrentIndex(grid->model()->index(row, column));
    }
    return true;
}

void TFSetCobIDAccess::Auto_Size_Column(QTableView *grid, int row, int column)
{
    if (!m_state.Double_Click_Auto_Size || row != 0 || column < 0 || column >= CobIdTableModel::ColumnCount)
        return;
    // The widest text plus the space the grid itself keeps around a cell's or a title's text.
    const QAbstractItemModel *model = grid->model();
    const QFontMetrics cellFont = grid->fontMetrics();
    const int cellMargin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    int width = 0;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QString text = model->index(r, column).data(Qt::DisplayRole).toString();
        if (!text.isEmpty())
            width = qMax(width, cellFont.horizontalAdvance(text) + cellMargin);
    }
    QHeaderView *titles = grid->horizontalHeader();
    const QString title = model->headerData(column, Qt::Horizontal).toString();
    const int titleMargin = 2 * titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles);
    width = qMax(width, titles->fontMetrics().horizontalAdvance(title) + titleMargin);
    titles->resizeSection(column, width);
}

bool TFSetCobIDAccess::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        for (QTableView *grid : m_grids) {
            if (watched == grid && Jump_Next_Cell(grid, static_cast<QKeyEvent *>(event)->key()))
                return true;
        }
    }
    return PraxDialog::eventFilter(watched, event);
}

void TFSetCobIDAccess::keyPressEvent(QKeyEvent *event)
{
    // A stray Escape must not throw away a table of edits; the window closes by its buttons
    // and its close box.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    PraxDialog::keyPressEvent(event);
}
