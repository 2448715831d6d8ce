#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class Catalog;
class DocumentStamp;
class QWidget;

// The one way windows show message boxes and questions, so tests can answer them headless.
class Prompt
{
public:
    enum class Kind { Error, Warning, Information, Plain, Question };

    virtual ~Prompt() = default;
    virtual void show(QWidget *parent, Kind kind, const QString &text) = 0;
    // Yes/No question with the question icon; true for Yes.
    virtual bool ask(QWidget *parent, const QString &text) = 0;
    // A question with its own answers, one button each, in this order; returns the index of
    // the one chosen. Escape and the close box choose `escapeChoice`, and so does a prompt
    // without buttons of its own, after showing the question.
    virtual int choose(QWidget *parent, const QString &text, const QStringList &choices, int escapeChoice)
    {
        Q_UNUSED(choices);
        show(parent, Kind::Question, text);
        return escapeChoice;
    }

    void error(QWidget *parent, const QString &text) { show(parent, Kind::Error, text); }
    void warning(QWidget *parent, const QString &text) { show(parent, Kind::Warning, text); }
    void information(QWidget *parent, const QString &text) { show(parent, Kind::Information, text); }
    void plain(QWidget *parent, const QString &text) { show(parent, Kind::Plain, text); }
};

// Real message boxes.
class MessageBoxPrompt : public Prompt
{
public:
    void show(QWidget *parent, Kind kind, const QString &text) override;
    bool ask(QWidget *parent, const QString &text) override;
    int choose(QWidget *parent, const QString &text, const QStringList &choices, int escapeChoice) override;
};

// The process-wide seam; tests replace it with setPrompt().
Prompt &prompt();
void setPrompt(Prompt *replacement); // nullptr restores the message boxes

// On saving a document another program wrote after the window read it: what the user wants.
enum class ChangedDocument { Reload, Overwrite, GoBack };
ChangedDocument askChangedDocument(QWidget *parent, const Catalog &catalog, const QString &path);
// Before an editor saves its document: true when it may write. When another program wrote the
// file since the window read it, the user is asked first; Reload runs `reload`, and then, as
// with Go back, nothing is written.
bool mayOverwrite(QWidget *parent, const Catalog &catalog, const DocumentStamp &stamp, const QString &path,
                  const std::function<void()> &reload);
