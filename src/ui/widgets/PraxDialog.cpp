#include "ui/widgets/PraxDialog.h"

#include "ui/widgets/WindowStyle.h"

#include <QGuiApplication>
#include <QScreen>

PraxDialog::PraxDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    WindowStyle::apply(this);
    setModal(true);
}

void PraxDialog::setClientSize(int width, int height, bool resizable)
{
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(width, height);
    } else {
        setFixedSize(width, height);
    }
}

void PraxDialog::reject()
{
    done(ModalCancel);
}

int PraxDialog::exec()
{
    if (!prepareToShow())
        return ModalCancel;
    return QDialog::exec();
}

void PraxDialog::open()
{
    if (!prepareToShow()) {
        done(ModalCancel);
        return;
    }
    QDialog::open();
}

void PraxDialog::showEvent(QShowEvent *event)
{
    placeOnScreen();
    QDialog::showEvent(event);
}

void PraxDialog::placeOnScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The client area is placed, not the frame: the frame is unknown before the first showing,
    // and a move() would then put the window lower from the second showing on.
    const QRect area = screen->availableGeometry();
    setGeometry(QRect(area.center() - rect().center(), size()));
}
