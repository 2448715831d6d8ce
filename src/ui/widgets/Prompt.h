#pragma once

#include <QString>

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
};

// The process-wide seam; tests replace it with setPrompt().
Prompt &prompt();
void setPrompt(Prompt *replacement); // nullptr restores the message boxes
