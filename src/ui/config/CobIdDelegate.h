#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

// Cell editors of the filter grids: free text, or a pick list of the two frame types in the
// type columns. Keeps track of the open editor so the window can commit it before it acts on
// the table, and lets the window take Enter for its cell-to-cell navigation.
class CobIdDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit CobIdDelegate(QObject *parent = nullptr);

    // Asked when Enter is pressed in an editor: true when Enter moves to the next cell. The
    // edit is then committed and closed, and enterJump() is emitted.
    void setEnterJumps(std::function<bool()> enterJumps) { m_enterJumps = std::move(enterJumps); }

    // Writes the open editor's text into the model and closes it; nothing when none is open.
    void commitOpenEditor();
    // Closes the open editor without writing its text.
    void discardOpenEditor();
    QWidget *openEditor() const { return m_editor; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

Q_SIGNALS:
    void enterJump();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool()> m_enterJumps;
    mutable QPointer<QWidget> m_editor;
};
