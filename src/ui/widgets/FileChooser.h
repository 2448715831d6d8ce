#pragma once

#include <QString>

class QWidget;

// The one way windows ask the user for a file to read or write, so tests can answer headless.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The chosen file, or an empty text when the user cancelled. `filter` as in QFileDialog.
    virtual QString openFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) = 0;
    // `path` is the suggested file; a name typed without extension gets `defaultSuffix`.
    virtual QString saveFile(QWidget *parent, const QString &caption, const QString &path, const QString &filter,
                             const QString &defaultSuffix) = 0;
};

// The platform's file dialogs.
class DialogFileChooser : public FileChooser
{
public:
    QString openFile(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &caption, const QString &path, const QString &filter,
                     const QString &defaultSuffix) override;
};

// The process-wide seam; tests replace it with setFileChooser().
FileChooser &fileChooser();
void setFileChooser(FileChooser *replacement); // nullptr restores the dialogs
