#pragma once

#include "ui/widgets/FileChooser.h"

#include <QQueue>
#include <QStringList>

// Stands in for the file dialogs: answers from a queue (cancel when it is empty) and records
// the caption and suggested path of each request. Installs itself for its lifetime.
class ScriptedFileChooser : public FileChooser
{
public:
    ScriptedFileChooser() { setFileChooser(this); }
    ~ScriptedFileChooser() override { setFileChooser(nullptr); }

    QString openFile(QWidget *, const QString &caption, const QString &dir, const QString &) override
    {
        requests.append(caption + QStringLiteral(" | ") + dir);
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
    QString saveFile(QWidget *, const QString &caption, const QString &path, const QString &, const QString &) override
    {
        requests.append(caption + QStringLiteral(" | ") + path);
        return answers.isEmpty() ? QString() : answers.dequeue();
    }

    QStringList requests;
    QQueue<QString> answers;
};
