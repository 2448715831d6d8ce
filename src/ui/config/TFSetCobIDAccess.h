#pragma once

#include "core/base/DocumentStamp.h"
#include "core/config/CobIdDocument.h"
#include "core/image/XmlSource.h"
#include "ui/widgets/PraxDialog.h"

#include <QStringList>

class QLabel;
class QStackedWidget;
class QTabWidget;
class QTableView;
class CobIdDelegate;
class CobIdTableModel;
class FrameCheckPanel;
class StyledButton;
struct AppState;
class Catalog;

// COB-ID filter window: edits the two filter tables of CanCanCobID.xml, one page and grid per
// direction. The window's document is the working copy; every opening reads the documents
// afresh and OK validates both tables and writes the document back whole, asking first when
// another program wrote the file since the window read it.
class TFSetCobIDAccess : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFSetCobIDAccess(AppState &state, Catalog &catalog, QWidget *parent = nullptr);
    ~TFSetCobIDAccess() override;

    void Set_Lang();

    // Opening: reads ParGen.xml and the tables. A document that cannot be read is reported and
    // the window does not open (exec() then returns ModalCancel at once).
    bool FormShow();

    void Btn_OKClick();
    void Btn_DelRowClick();
    void Btn_InsRowClick();
    void Btn_CopyRowClick();
    void Btn_PasteRowClick();
    void Btn_Compile_AllClick();
    void Btn_Cancel_AllClick();
    bool Controllo_dati();

    // Import a CSV or DBC file into a table, export a table as CSV; files are chosen through
    // the file chooser seam. Both work on the tables as edited.
    void importInto(int table);
    void exportFrom(int table);
    // Replays a recorded trace through the table as edited and shows the summary and the
    // traffic in the frame panel; the trace is chosen through the file chooser seam.
    void replayInto(int table);
    // Rebuilds what the frame panels answer from: the tables as edited, built in memory.
    void refreshPreview();
    FrameCheckPanel *framePanel(int table) const { return m_tools[table].panel; }

    // Enter-key navigation; true when the key was taken.
    bool Jump_Next_Cell(QTableView *grid, int key);
    // Fits a column to its widest text when the title row (row 0) is double-clicked.
    void Auto_Size_Column(QTableView *grid, int row, int column);

    const CobIdDocument &document() const { return m_document; }
    CobIdTableModel *model(int table) const { return m_models[table]; }
    QTableView *grid(int table) const { return m_grids[table]; }
    QTableView *activeGrid() const;

    int DeviceType = 1;
    int CAN0Type = 0;
    int CAN1Type = 0;
    bool Imp_Pos = true;
    bool Do_Copy_C0_C1 = false;
    bool Do_Copy_C1_C0 = false;
    QStringList Hint_C0_C1;
    QStringList Hint_C1_C0;

protected:
    bool prepareToShow() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QTableView *createGrid(int table, const QString &name, QWidget *page);
    int activeTable() const;
    // The active grid's current row, from 0; -1 when the grid has no current cell.
    int currentRow() const;
    void commitEditors();
    void ClickCell(QTableView *grid, const QModelIndex &index);
    void showFailure(const CobIdFailure &failure);
    void showCell(int table, int row, int column);
    void createTools(int table, QWidget *page, QTableView *grid, const QString &suffix);
    void tableChanged(int table);
    QString usedRowsText(int table) const;
    QString tableTitle(int table) const; // "From CAN 0 to CAN 1"
    void showFramePanel(int table, bool shown);
    // The warning on OK about duplicated identifiers; true to save.
    bool duplicatesAccepted();

    AppState &m_state;
    Catalog &m_catalog;
    CobIdDocument m_document;
    DocumentStamp m_stamp; // CanCanCobID.xml as last read or saved here

    QLabel *L_SW_Code = nullptr;
    QLabel *L_SW_Desc = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QStackedWidget *m_toolBars = nullptr; // the active page's tools, beside the page tabs
    QWidget *TS_CAN0_to_CAN1 = nullptr;
    QWidget *TS_CAN1_to_CAN0 = nullptr;
    QTableView *m_grids[CobIdDocument::TableCount] = {};
    CobIdTableModel *m_models[CobIdDocument::TableCount] = {};
    CobIdDelegate *m_delegates[CobIdDocument::TableCount] = {};

    StyledButton *Btn_OK = nullptr;
    StyledButton *Btn_Cancel = nullptr;
    StyledButton *Btn_DelRow = nullptr;
    StyledButton *Btn_InsRow = nullptr;
    StyledButton *Btn_CopyRow = nullptr;
    StyledButton *Btn_PasteRow = nullptr;
    StyledButton *Btn_Compile_All = nullptr;
    StyledButton *Btn_Cancel_All = nullptr;

    // Under each grid: how full the table is, import and export, and the frame check.
    struct TableTools
    {
        QLabel *rows = nullptr;
        StyledButton *importButton = nullptr;
        StyledButton *exportButton = nullptr;
        StyledButton *framesButton = nullptr;
        StyledButton *replayButton = nullptr;
        FrameCheckPanel *panel = nullptr;
    };
    TableTools m_tools[CobIdDocument::TableCount];
    XmlSource m_parGenSource; // ParGen.xml as read at opening, for the preview build
    bool m_previewStale = true;
    int m_heightBeforePanel = 0; // the height the frame check grew the window from
    QString m_lastDir;
    // Rows of the document the tables do not show: an import is refused while OK would drop them.
    QString m_hiddenRowsRefusal;
};
