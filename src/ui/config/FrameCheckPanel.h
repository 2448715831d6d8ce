#pragma once

#include "core/device/DevicePrediction.h"

#include <QWidget>

#include <vector>

class Catalog;
class QCheckBox;
class QLabel;
class QLineEdit;
class IdSpaceView;

// "What happens to this frame?" for one direction of the filter window: an identifier field
// with a 29-bit box, the answer as the device would give it, and the picture of the 11-bit
// identifier space. The window hands in the prediction built from its tables, read as the
// project's variant runs it; the panel answers from it as the user types. `suffix` names the children (E_Frame_C0_C1
// ...).
class FrameCheckPanel : public QWidget
{
    Q_OBJECT
public:
    FrameCheckPanel(int from, const QString &suffix, const Catalog &catalog, QWidget *parent = nullptr);

    // Takes the texts of the catalog again, the answer shown included.
    void Set_Lang();

    // What to answer from, or the reason there is none. `note` is shown under the answer.
    void setPrediction(const DevicePrediction &device, const QString &note);
    void setUnavailable(const QString &reason);

    // What a replayed trace did: the summary under the map, and the map coloured by traffic.
    void setReplay(const QString &summary, const std::vector<quint64> &framesPerId);
    QString replayText() const;
    IdSpaceView *map() const { return P_Map; }

    QString answer() const;
    // Which files the answers follow, and the assumptions they make.
    QString sourceText() const;

private:
    void check();
    void showSource();

    Direction m_from;
    const Catalog &m_catalog;
    DevicePrediction m_device;
    bool m_available = false;
    QString m_note;

    QLabel *L_Frame_Title = nullptr;
    QLineEdit *E_Frame = nullptr;
    QCheckBox *CB_Ext = nullptr;
    QLabel *L_Frame = nullptr;
    QLabel *L_Frame_Source = nullptr;
    IdSpaceView *P_Map = nullptr;
    QLabel *L_Replay = nullptr;
};
