#pragma once

#include "AudienceClock.h"
#include "AudienceLayout.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAction;
class QFrame;
class QLabel;
class TDigit;

// What the audience reads of the current starter and the competition.
struct AudienceTexts
{
    QString title1, title2;
    QString startNumber, headNumber, horse, rider, club;
};

// The audience window: titles, starter and clock on a second monitor or TV, borderless, on top,
// filling the monitor of the setting "Monitor". It holds no timing state: the clock display
// writes its digits, and the main window hands it the starter's texts.
class TFormMonitor2 : public QWidget, public AudienceClock
{
    Q_OBJECT
public:
    // parent: the operator's window, which keeps the keyboard.
    explicit TFormMonitor2(QWidget *parent);

    // The command that shows and hides the window (its check mark is the state), the main
    // window's digit block that the layout scales, and the main window's texts as they read
    // now. Then the creation steps run.
    void create(QAction *toggle, std::function<MainClockGeometry()> mainClock,
                std::function<AudienceTexts()> mainTexts);

    void ApplyAudienceSettings();
    void LayoutAudienceWindow();
    // Reads the titles and the starter from the main window.
    void RefreshAudienceTexts();
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

    // Guarded: at exit the command may go before this window does.
    QPointer<QAction> m_toggle;
    std::function<MainClockGeometry()> m_mainClock;
    std::function<AudienceTexts()> m_mainTexts;
    QString m_dateLine;
    QPixmap m_picture;
};
