#pragma once

#include "ui/widgets/Prompt.h"

#include <QList>
#include <QQueue>

#include <functional>

// Stands in for the message boxes: records each box and answers questions from a queue
// (Yes when the queue is empty; for a question with its own answers, the one Escape picks).
// Installs itself for its lifetime.
class RecordingPrompt : public Prompt
{
public:
    struct Shown
    {
        Kind kind;
        QString text;
    };

    RecordingPrompt() { setPrompt(this); }
    ~RecordingPrompt() override { setPrompt(nullptr); }

    void show(QWidget *, Kind kind, const QString &text) override
    {
        shown.append({kind, text});
        if (onShow)
            onShow();
    }
    bool ask(QWidget *, const QString &text) override
    {
        shown.append({Kind::Question, text});
        if (onShow)
            onShow();
        return answers.isEmpty() ? true : answers.dequeue();
    }
    int choose(QWidget *, const QString &text, const QStringList &offered, int escapeChoice) override
    {
        shown.append({Kind::Question, text});
        lastChoices = offered;
        if (onShow)
            onShow();
        return choices.isEmpty() ? escapeChoice : choices.dequeue();
    }

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    Kind lastKind() const { return shown.isEmpty() ? Kind::Plain : shown.last().kind; }
    void clear() { shown.clear(); }

    QList<Shown> shown;
    QQueue<bool> answers;
    QQueue<int> choices;          // answers to choose(), by index
    QStringList lastChoices;      // the answers the last choose() offered
    std::function<void()> onShow; // called as each box would be on screen
};
