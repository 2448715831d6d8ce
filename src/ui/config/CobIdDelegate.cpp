#include "ui/config/CobIdDelegate.h"

#include "ui/config/CobIdTableModel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

CobIdDelegate::CobIdDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QWidget *CobIdDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    QWidget *editor = nullptr;
    if (CobIdTableModel::isTypeColumn(index.column())) {
        auto *list = new QComboBox(parent);
        list->setObjectName(QStringLiteral("PickList"));
        list->addItems(CobIdTableModel::typeTexts());
        editor = list;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setMaxLength(CobIdTable::MaxCellLength);
    }
    m_editor = editor;
    return editor;
}

void CobIdDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *list = qobject_cast<QComboBox *>(editor)) {
        // A cell holding something else shows no choice until the user picks one.
        list->setCurrentIndex(list->findText(index.data(Qt::EditRole).toString()));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CobIdDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *list = qobject_cast<QComboBox *>(editor)) {
        if (list->currentIndex() >= 0)
            model->setData(index, list->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void CobIdDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    if (m_editor == editor)
        m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void CobIdDelegate::commitOpenEditor()
{
    QWidget *editor = m_editor;
    if (!editor)
        return;
    m_editor = nullptr;
    Q_EMIT commitData(editor);
    Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CobIdDelegate::discardOpenEditor()
{
    QWidget *editor = m_editor;
    if (!editor)
        return;
    m_editor = nullptr;
    Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool CobIdDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_enterJumps) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_enterJumps()) {
            commitOpenEditor();
            Q_EMIT enterJump();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}
