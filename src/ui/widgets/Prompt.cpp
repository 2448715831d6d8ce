#include "ui/widgets/Prompt.h"

#include "core/base/Catalog.h"
#include "core/base/DocumentStamp.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

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

int MessageBoxPrompt::choose(QWidget *parent, const QString &text, const QStringList &choices, int escapeChoice)
{
    QMessageBox box(QMessageBox::Question, caption(), text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> buttons;
    for (const QString &choice : choices)
        buttons.append(box.addButton(choice, QMessageBox::ActionRole));
    if (escapeChoice >= 0 && escapeChoice < buttons.size()) {
        box.setEscapeButton(buttons.at(escapeChoice));
        // Enter must not pick a choice that loses work.
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.at(escapeChoice)));
    }
    box.exec();
    const int chosen = int(buttons.indexOf(box.clickedButton()));
    return chosen < 0 ? escapeChoice : chosen;
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

ChangedDocument askChangedDocument(QWidget *parent, const Catalog &catalog, const QString &path)
{
    const QString text = catalog.text(TextId::DocumentChangedOnDisk).arg(QDir::toNativeSeparators(path))
        + QStringLiteral("\n\n") + catalog.text(TextId::DocumentChangedQuestion);
    // In the order of the enumeration.
    const QStringList choices{catalog.text(TextId::ChoiceReload), catalog.text(TextId::ChoiceOverwrite),
                              catalog.text(TextId::ChoiceGoBack)};
    const int goBack = int(ChangedDocument::GoBack);
    const int chosen = prompt().choose(parent, text, choices, goBack);
    return ChangedDocument(chosen >= 0 && chosen < choices.size() ? chosen : goBack);
}

bool mayOverwrite(QWidget *parent, const Catalog &catalog, const DocumentStamp &stamp, const QString &path,
                  const std::function<void()> &reload)
{
    if (!stamp.changedOnDisk(path))
        return true;
    switch (askChangedDocument(parent, catalog, path)) {
    case ChangedDocument::Reload:
        reload();
        return false;
    case ChangedDocument::GoBack:
        return false;
    case ChangedDocument::Overwrite:
        break;
    }
    return true;
}
