#pragma once

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers every modal window that opens while it lives: runs `act` on it (for example,
// type a name and click OK), then closes it with `result` if it is still open. Records the
// objectName of each window it met, so a test can also assert that none opened.
class ModalAnswer
{
public:
    explicit ModalAnswer(int result, std::function<void(QDialog *)> act = {})
        : m_result(result)
        , m_act(std::move(act))
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { answer(); });
        m_timer.start();
    }

    QStringList seen;

private:
    void answer()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        seen.append(dialog->objectName());
        if (m_act)
            m_act(dialog);
        if (dialog->isVisible())
            dialog->done(m_result);
    }

    int m_result;
    std::function<void(QDialog *)> m_act;
    QTimer m_timer;
};
