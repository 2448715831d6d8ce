#pragma once

#include <QDialog>

// Base of every secondary window: common style, close box only, opens centred on the
// screen, shown modally and hidden (not destroyed) when it closes. Modal results follow
// the program's convention: OK = 1, Cancel = 2; the close box counts as Cancel.
class PraxDialog : public QDialog
{
    Q_OBJECT
public:
    enum ModalResult { ModalOk = 1, ModalCancel = 2 };

    explicit PraxDialog(QWidget *parent = nullptr);

    // Sets the client area size (fixed unless `resizable`).
    void setClientSize(int width, int height, bool resizable = false);

    void reject() override;

    // Both run prepareToShow() first; when it refuses, the window is not shown and the
    // result is Cancel.
    int exec() override;
    void open() override;

protected:
    // Reads what the window shows; false (after telling the user why) keeps it closed.
    virtual bool prepareToShow() { return true; }
    void showEvent(QShowEvent *event) override;
    // Windows that place themselves (not centred) override this.
    virtual void placeOnScreen();
};
