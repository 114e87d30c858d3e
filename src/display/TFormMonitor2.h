#pragma once

#include "AudienceClock.h"
#include "AudienceLayout.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class LiveState;
class QAction;
class QFrame;
class QLabel;
class TDigit;

// The audience window: titles, starter and clock on a second monitor or TV, borderless, on top,
// filling the monitor of the setting "Monitor". It holds no timing state: the clock display
// writes its digits, and the titles, the starter and the bottom line follow the live state.
class TFormMonitor2 : public QWidget, public AudienceClock
{
    Q_OBJECT
public:
    // parent: the operator's window, which keeps the keyboard.
    TFormMonitor2(const LiveState &live, QWidget *parent);

    // The command that shows and hides the window (its check mark is the state) and the main
    // window's digit block that the layout scales. Then the creation steps run.
    void create(QAction *toggle, std::function<MainClockGeometry()> mainClock);

    void ApplyAudienceSettings();
    void LayoutAudienceWindow();
    // The window fills the screen the operator's window is on.
    bool coversOperator() const;
    // The picture at the end of the bottom line.
    void setPicture(const QPixmap &picture);
    // A screen came or went: a window on a screen that is gone moves to the first one.
    void screensChanged();

    void showDigits(const int values[5], TColor hundreds, TColor tens, bool running) override;
    void applyColors(TColor on, TColor off) override;
    void applyAlarm(TColor color) override;
    void applyAccuracy(int decimals) override;
    void showBottomLine(const QString &dateLine) override;

    QLabel *PanelText1 = nullptr;
    QLabel *PanelText2 = nullptr;
    QLabel *PanelPferd = nullptr;
    QLabel *PanelName = nullptr;
    QLabel *PanelVerein = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *PanelTimer = nullptr;
    TDigit *Digit4 = nullptr;
    TDigit *Digit5 = nullptr;
    TDigit *Digit6 = nullptr;
    TDigit *Digit7 = nullptr;
    TDigit *Digit8 = nullptr;
    QLabel *LabSec = nullptr;
    QLabel *PanelDate = nullptr;
    QLabel *Image1 = nullptr;
    double ScaleX = 1.0;
    double ScaleY = 1.0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setShown(bool shown);
    void showTitles();
    void showStarter();

    const LiveState &m_live;

    // Guarded: at exit the command may go before this window does.
    QPointer<QAction> m_toggle;
    std::function<MainClockGeometry()> m_mainClock;
    QString m_dateLine;
    QPixmap m_picture;
};
