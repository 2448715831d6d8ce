#include "ui/widgets/FileChooser.h"

#include <QFileDialog>

namespace {
FileChooser *g_override = nullptr;
} // namespace

QString DialogFileChooser::openFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    QFileDialog dialog(parent, caption, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString DialogFileChooser::saveFile(QWidget *parent, const QString &caption, const QString &path, const QString &filter,
                                    const QString &defaultSuffix)
{
    QFileDialog dialog(parent, caption, path, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

FileChooser &fileChooser()
{
    static DialogFileChooser dialogs;
    return g_override ? *g_override : dialogs;
}

void setFileChooser(FileChooser *replacement)
{
    g_override = replacement;
}
