#include "ui/widgets/Prompt.h"

#include <QApplication>
#include <QMessageBox>

namespace {
Prompt *g_override = nullptr;

QString caption()
{
    return QApplication::applicationDisplayName();
}
} // namespace

void MessageBoxPrompt::show(QWidget *parent, Kind kind, const QString &text)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
    case Kind::Error:
        icon = QMessageBox::Critical;
        break;
    case Kind::Warning:
        icon = QMessageBox::Warning;
        break;
    case Kind::Information:
        icon = QMessageBox::Information;
        break;
    case Kind::Question:
        icon = QMessageBox::Question;
        break;
    case Kind::Plain:
        break;
    }
    QMessageBox box(icon, caption(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool MessageBoxPrompt::ask(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, caption(), text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

Prompt &prompt()
{
    static MessageBoxPrompt boxes;
    return g_override ? *g_override : boxes;
}

void setPrompt(Prompt *replacement)
{
    g_override = replacement;
}
