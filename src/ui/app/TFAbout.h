#pragma once

#include "ui/widgets/PraxDialog.h"

class QLabel;
class PicturePanel;
class StyledButton;
struct AppState;
class Catalog;

// About window: product, code, version, manual code and the loaded language file's
// version, with a link to the vendor's home page. Its texts are fixed (no Set_Lang).
class TFAbout : public PraxDialog
{
    Q_OBJECT
public:
    explicit TFAbout(AppState &state, Catalog &catalog, QWidget *parent = nullptr);

    void Label4Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    QLabel *addLabel(const QString &name, int x, int y, const QString &text = QString());

    AppState &m_state;

    PicturePanel *Image2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label12 = nullptr;
    QLabel *Label4 = nullptr;
    StyledButton *LbButton1 = nullptr;
};
