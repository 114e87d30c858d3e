#pragma once

#include <QList>
#include <QPixmap>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QRadioButton;
class QSpinBox;
class QStatusBar;
class QTimer;
class QWidget;
class TBitBtnWithColor;
class TComPort;
class TDigit;
class TImage;
class TLbSpeedButton;
class TOvalButton;
class TSortGrid;

// Every control, timer and hidden command of the main window, laid out by setupUi in its
// start-up state. The window owns them; the subsystems act on them through this record.
class TFormMainUi
{
public:
    void setupUi(QMainWindow *form);

    QMainWindow *form = nullptr;

    // Header band
    QFrame *Panel1 = nullptr;
    TImage *ImageLogo = nullptr;
    TLbSpeedButton *bCFG = nullptr;
    TLbSpeedButton *bInfo = nullptr;
    TLbSpeedButton *bHelp = nullptr;
    QLabel *PanelDate = nullptr;

    // Competition and rider band
    QFrame *Panel7 = nullptr;
    QLabel *LabFText1 = nullptr;
    QLineEdit *eFText1 = nullptr;
    QLineEdit *eFText2 = nullptr;
    TLbSpeedButton *sbLoad = nullptr;
    TImage *Image2 = nullptr;
    QComboBox *cbStNr = nullptr;
    TImage *Image3 = nullptr;
    QComboBox *cbKNr = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *ePferd = nullptr;
    QLabel *Label12 = nullptr;
    QLineEdit *Reiter = nullptr;
    QRadioButton *rbModeA = nullptr;
    QRadioButton *rbModeC = nullptr;
    QRadioButton *rbModeCfahren = nullptr;
    TBitBtnWithColor *bNoStart = nullptr;
    TBitBtnWithColor *bAus = nullptr;

    // Timing band, left: the clock
    QFrame *Panel2 = nullptr;
    QFrame *PanelLeft = nullptr;
    QFrame *PanelTimerOwner = nullptr;
    QFrame *PanelTimer = nullptr;
    TDigit *Digit4 = nullptr;
    TDigit *Digit5 = nullptr;
    TDigit *Digit6 = nullptr;
    QLabel *LabSec = nullptr;
    TDigit *Digit7 = nullptr;
    TDigit *Digit8 = nullptr;
    QLabel *Lab_sek = nullptr;
    TImage *Image1 = nullptr;
    QLabel *Label11 = nullptr;
    QComboBox *cbRezervLS = nullptr;

    // Timing band, right: commands and scoring fields
    QFrame *Panel5 = nullptr;
    TBitBtnWithColor *bTimer = nullptr;
    QCheckBox *cbEliminieren = nullptr;
    QLabel *LabEliminieren = nullptr;
    TImage *ImageTitle = nullptr;
    TImage *ImageLSstart = nullptr;
    TBitBtnWithColor *bSTART = nullptr;
    TImage *ImageLSstop = nullptr;
    TBitBtnWithColor *bSTOP = nullptr;
    TOvalButton *bHF = nullptr;
    TLbSpeedButton *sbS1 = nullptr;
    TLbSpeedButton *sbS2 = nullptr;
    TLbSpeedButton *sbS3 = nullptr;
    QLabel *Label9 = nullptr;
    QSpinBox *seELZmain = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *eHindPkt = nullptr;
    TBitBtnWithColor *bPlus4 = nullptr;
    TBitBtnWithColor *bMinus4 = nullptr;
    QComboBox *cbPlus = nullptr;
    QLabel *Label10 = nullptr;
    QLineEdit *eStrafPkt = nullptr;
    TBitBtnWithColor *bStrafPlus = nullptr;
    TBitBtnWithColor *bStrafMinus = nullptr;
    QLabel *LabelRavno = nullptr;
    TBitBtnWithColor *bStrafsek4 = nullptr;
    TBitBtnWithColor *bStrafsek6 = nullptr;
    TBitBtnWithColor *bStrafsek8 = nullptr;
    TBitBtnWithColor *bStrafsek10 = nullptr;
    QLabel *LabelSekInPachka = nullptr;
    QLineEdit *ePktSek = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *eVerein = nullptr;
    TLbSpeedButton *sb1m = nullptr;
    QLabel *LabelBase = nullptr;
    TLbSpeedButton *sb1p = nullptr;

    // Protocol area
    QFrame *Panel3 = nullptr;
    QFrame *Panel4 = nullptr;
    TLbSpeedButton *sbCLS = nullptr;
    TLbSpeedButton *sbWord = nullptr;
    TLbSpeedButton *sbSave = nullptr;
    TLbSpeedButton *sbPrint = nullptr;
    TLbSpeedButton *sbExcel = nullptr;
    TLbSpeedButton *sbHTML = nullptr;
    TLbSpeedButton *bMon2 = nullptr;
    TBitBtnWithColor *bAbbruch = nullptr;
    TBitBtnWithColor *bEINTRAGEN = nullptr;
    TBitBtnWithColor *bRESET = nullptr;
    TSortGrid *SortGrid1 = nullptr;
    TSortGrid *SortGridToris = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanels[3] = {};
    QMenu *PopupMenu1 = nullptr;
    QAction *Strokadelete = nullptr;
    QAction *Copy1 = nullptr;
    QMenu *PopupMenuNul = nullptr;

    // The photocell pictures: [0] not armed, [1] armed.
    QPixmap ImageList1[2];

    // Timers
    QTimer *Clock = nullptr;
    QTimer *TimerDate = nullptr;
    QTimer *TimerGesperrt = nullptr;

    // The start and the finish photocell's serial ports.
    TComPort *ComPort1 = nullptr;
    TComPort *ComPort2 = nullptr;

    // Hidden menus: their items exist only for their shortcuts.
    QMenu *HideMenu1 = nullptr;
    QAction *mTimer = nullptr;
    QAction *mStart = nullptr;
    QAction *mStop = nullptr;
    QAction *HF1 = nullptr;
    QAction *LockSTART1 = nullptr;
    QAction *LockSTOP1 = nullptr;
    QAction *mEintragen = nullptr;
    QAction *mAbbruch = nullptr;
    QAction *mReset = nullptr;
    QAction *Open1 = nullptr;
    QAction *Save1 = nullptr;
    QAction *Drucker1 = nullptr;
    QAction *Monitor11 = nullptr;
    QAction *Beenden1 = nullptr;
    QAction *Cfg1 = nullptr;
    QAction *EinstellunGen1 = nullptr;
    QAction *Info1 = nullptr;
    QAction *Help1 = nullptr;

    QMenu *Straf1 = nullptr;  // Ctrl+1..9
    QMenu *Straf21 = nullptr; // Ctrl with the keypad, Num Lock off
    QMenu *mStraf3 = nullptr; // Ctrl with the keypad digits
    QMenu *Hind1 = nullptr;
    QMenu *StrafSek1 = nullptr;
    QList<QAction *> faultActions; // every +1..+9 item of the three fault menus
    QAction *Nplus4 = nullptr;
    QAction *Nminus4 = nullptr;
    QAction *Nplus4a = nullptr;
    QAction *Nminus4a = nullptr;
    QAction *N13 = nullptr; // F6
    QAction *N14 = nullptr; // F8
    QAction *N15 = nullptr; // F10

    // Every hidden command, in one list, for the shortcut precedence over edit fields.
    QList<QAction *> hiddenCommands;
};
