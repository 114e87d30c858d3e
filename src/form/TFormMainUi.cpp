#include "TFormMainUi.h"

#include "Artwork.h"
#include "LanguageTable.h"
#include "TBitBtnWithColor.h"
#include "TComPort.h"
#include "TDigit.h"
#include "TImage.h"
#include "TLbSpeedButton.h"
#include "TOvalButton.h"
#include "TSortGrid.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

template <typename T> T *make(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QFrame *panel(QWidget *parent, const char *name)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setAutoFillBackground(true);
    return f;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, int x, int y, int w = 80,
              int h = 22)
{
    auto *l = make<QLabel>(parent, name, x, y, w, h);
    l->setText(caption);
    return l;
}

QLineEdit *edit(QWidget *parent, const char *name, int x, int y, int w, int h = 24)
{
    return make<QLineEdit>(parent, name, x, y, w, h);
}

TBitBtnWithColor *button(QWidget *parent, const char *name, const QString &caption, int x, int y,
                         int w, int h)
{
    auto *b = make<TBitBtnWithColor>(parent, name, x, y, w, h);
    b->setText(caption);
    return b;
}

TLbSpeedButton *speedButton(QWidget *parent, const char *name, const char *icon, int x, int y,
                            int size = 26)
{
    auto *b = make<TLbSpeedButton>(parent, name, x, y, size, size);
    b->setIcon(toolIcon(QString::fromLatin1(icon)));
    b->setIconSize(QSize(size - 6, size - 6));
    return b;
}

void setColors(QWidget *w, const QColor &background, const QColor &text)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QAction *command(QMainWindow *form, QMenu *menu, const char *name, const QString &text,
                 const QList<QKeySequence> &keys, QList<QAction *> &all)
{
    auto *a = new QAction(text, form);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    // Holding a key acts once: the operator's finger resting on F5 must not restart the run.
    a->setAutoRepeat(false);
    menu->addAction(a);
    form->addAction(a);
    all.append(a);
    return a;
}

QKeySequence ctrl(int key)
{
    return QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key(key)));
}

QKeySequence ctrlKeypad(int key)
{
    return QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key(key)));
}

} // namespace

void TFormMainUi::setupUi(QMainWindow *f)
{
    form = f;
    f->setObjectName(QStringLiteral("FormMain"));
    f->setMinimumSize(800, 445);
    f->resize(800, 600);

    auto *central = new QWidget(f);
    central->setObjectName(QStringLiteral("central"));
    auto *bands = new QVBoxLayout(central);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(0);
    f->setCentralWidget(central);

    // ---- Header band
    Panel1 = panel(central, "Panel1");
    Panel1->setFixedHeight(38);
    Panel1->setFrameShape(QFrame::StyledPanel);
    ImageLogo = make<TImage>(Panel1, "ImageLogo", 4, 3, 110, 32);
    ImageLogo->setPixmap(makerLogo(30));
    ImageLogo->setCursor(Qt::PointingHandCursor);
    bCFG = speedButton(Panel1, "bCFG", "settings", 124, 4, 30);
    bCFG->setToolTip(LanguageText(3));
    bInfo = speedButton(Panel1, "bInfo", "info", 156, 4, 30);
    bInfo->setToolTip(LanguageText(4));
    bHelp = speedButton(Panel1, "bHelp", "help", 188, 4, 30);
    bHelp->setToolTip(LanguageText(2));
    PanelDate = make<QLabel>(Panel1, "PanelDate", 560, 4, 236, 30);
    setColors(PanelDate, Qt::black, QColor(0xC0, 0xC0, 0xC0));
    PanelDate->setAlignment(Qt::AlignCenter);
    PanelDate->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    bands->addWidget(Panel1);

    // ---- Competition and rider band
    Panel7 = panel(central, "Panel7");
    Panel7->setFixedHeight(68);
    setColors(Panel7, QColor(0x80, 0x40, 0x00), Qt::white);
    {
        // The procedure buttons are locked during a run; their captions must show it.
        QPalette pal = Panel7->palette();
        pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xB0, 0x90, 0x70));
        Panel7->setPalette(pal);
    }
    LabFText1 = label(Panel7, "LabFText1", LanguageText(5), 6, 6, 44, 24);
    eFText1 = edit(Panel7, "eFText1", 50, 6, 170);
    eFText2 = edit(Panel7, "eFText2", 224, 6, 170);
    Label12 = label(Panel7, "Label12", LanguageText(14), 402, 6, 50, 24);
    Reiter = edit(Panel7, "Reiter", 452, 6, 260);
    bAus = button(Panel7, "bAus", LanguageText(110), 720, 5, 74, 26);
    bAus->setToolTip(LanguageText(111));
    bAus->setProperty("Tag", 2);

    sbLoad = speedButton(Panel7, "sbLoad", "load", 6, 37, 26);
    sbLoad->setToolTip(LanguageText(10));
    Image2 = make<TImage>(Panel7, "Image2", 36, 38, 38, 24);
    Image2->setText(QStringLiteral("StNr."));
    Image2->setToolTip(LanguageText(11));
    cbStNr = make<QComboBox>(Panel7, "cbStNr", 74, 38, 70, 24);
    cbStNr->setEditable(true);
    cbStNr->setToolTip(QStringLiteral("Startnummer"));
    Image3 = make<TImage>(Panel7, "Image3", 150, 38, 38, 24);
    Image3->setText(QStringLiteral("KoNr."));
    Image3->setToolTip(LanguageText(13));
    cbKNr = make<QComboBox>(Panel7, "cbKNr", 188, 38, 64, 24);
    cbKNr->setEditable(true);
    cbKNr->setToolTip(QStringLiteral("Kopfnummer"));
    cbKNr->setEnabled(false);
    rbModeA = make<QRadioButton>(Panel7, "rbModeA", 258, 38, 36, 24);
    rbModeA->setText(QStringLiteral("A"));
    rbModeA->setToolTip(LanguageText(107));
    rbModeA->setChecked(true);
    rbModeC = make<QRadioButton>(Panel7, "rbModeC", 294, 38, 36, 24);
    rbModeC->setText(LanguageText(8));
    rbModeC->setToolTip(LanguageText(108));
    rbModeCfahren = make<QRadioButton>(Panel7, "rbModeCfahren", 330, 38, 72, 24);
    rbModeCfahren->setText(LanguageText(9));
    rbModeCfahren->setToolTip(LanguageText(109));
    Label2 = label(Panel7, "Label2", LanguageText(12), 402, 38, 50, 24);
    ePferd = edit(Panel7, "ePferd", 452, 38, 260);
    // Each caption gets the width it needs, so none runs into the next; the rider fields start
    // after the procedure buttons.
    int x = rbModeA->x();
    for (QRadioButton *rb : {rbModeA, rbModeC, rbModeCfahren}) {
        rb->setGeometry(x, rb->y(), rb->sizeHint().width(), rb->height());
        x += rb->width() + 6;
    }
    const int labelX = qMax(Label2->x(), x);
    const int labelWidth = qMax(Label2->sizeHint().width(), Label12->sizeHint().width()) + 6;
    for (QLabel *l : {Label12, Label2})
        l->setGeometry(labelX, l->y(), labelWidth, l->height());
    for (QLineEdit *e : {Reiter, ePferd})
        e->move(labelX + labelWidth, e->y());
    bNoStart = button(Panel7, "bNoStart", LanguageText(16), 720, 37, 74, 26);
    bNoStart->setToolTip(LanguageText(17));
    bNoStart->setProperty("Tag", 1);
    bNoStart->setColor(Colors::clMaroon);
    bNoStart->setFontColor(Colors::clWhite);
    bAus->setFontColor(Colors::clWhite);
    bAus->setEnabled(false);
    bands->addWidget(Panel7);

    // ---- Timing band
    Panel2 = panel(central, "Panel2");
    Panel2->setFixedHeight(207);
    auto *timingRow = new QHBoxLayout(Panel2);
    timingRow->setContentsMargins(0, 0, 0, 0);
    timingRow->setSpacing(0);

    PanelLeft = panel(Panel2, "PanelLeft");
    PanelLeft->setFixedWidth(436);
    PanelTimerOwner = make<QFrame>(PanelLeft, "PanelTimerOwner", 2, 2, 432, 174);
    PanelTimer = make<QFrame>(PanelTimerOwner, "PanelTimer", 0, 0, 432, 174);
    PanelTimer->setFrameShape(QFrame::Panel);
    PanelTimer->setFrameShadow(QFrame::Sunken);
    PanelTimer->setLineWidth(2);
    setColors(PanelTimer, Qt::black, Qt::black);
    const int digitY = 4;
    auto digit = [&](const char *name, int x) {
        auto *d = make<TDigit>(PanelTimer, name, x, digitY, 76, 150);
        d->setThickness(9);
        d->setSeparation(1);
        return d;
    };
    Digit4 = digit("Digit4", 6);
    Digit5 = digit("Digit5", 86);
    Digit6 = digit("Digit6", 166);
    LabSec = make<QLabel>(PanelTimer, "LabSec", 244, digitY + 110, 20, 40);
    LabSec->setText(QStringLiteral(","));
    LabSec->setFont(QFont(QStringLiteral("Times New Roman"), 32, QFont::Bold));
    Digit7 = digit("Digit7", 266);
    Digit8 = digit("Digit8", 346);
    Lab_sek = make<QLabel>(PanelTimer, "Lab_sek", 370, digitY + 150, 56, 16);
    Lab_sek->setText(LanguageText(36));
    Lab_sek->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lab_sek->setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
    Image1 = make<TImage>(PanelTimer, "Image1", 2, 2, 428, 170);
    Image1->setPixmap(revealBanner(428, 170));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->hide();

    Label11 = label(PanelLeft, "Label11", LanguageText(37), 4, 180, 80, 24);
    Label11->hide();
    cbRezervLS = make<QComboBox>(PanelLeft, "cbRezervLS", 86, 179, 346, 26);
    cbRezervLS->setToolTip(QStringLiteral("LS-Kontakt"));
    cbRezervLS->setMaxVisibleItems(20);
    cbRezervLS->setFont(QFont(QStringLiteral("Arial"), 11, QFont::Bold));
    {
        // The style draws a drop-down list as a button; every role it paints with is set.
        QPalette pal = cbRezervLS->palette();
        for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
            pal.setColor(role, Qt::black);
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            pal.setColor(role, Qt::yellow);
        cbRezervLS->setPalette(pal);
        cbRezervLS->view()->setPalette(pal);
    }
    cbRezervLS->hide();
    cbRezervLS->setEnabled(false);
    timingRow->addWidget(PanelLeft);

    Panel5 = panel(Panel2, "Panel5");
    QFont runFont(QStringLiteral("Arial"), 14, QFont::Bold);
    bTimer = button(Panel5, "bTimer", LanguageText(19), 4, 4, 103, 30);
    bTimer->setToolTip(LanguageText(20));
    bTimer->setFont(runFont);
    bTimer->setKeyboardClick(false);
    bTimer->setEnabled(false);
    cbEliminieren = make<QCheckBox>(Panel5, "cbEliminieren", 112, 9, 18, 20);
    LabEliminieren = label(Panel5, "LabEliminieren", LanguageText(21), 132, 8, 80);
    ImageTitle = make<TImage>(Panel5, "ImageTitle", 216, 2, 146, 34);
    ImageTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ImageTitle->hide();

    ImageLSstart = make<TImage>(Panel5, "ImageLSstart", 4, 50, 20, 20);
    ImageLSstart->setToolTip(LanguageText(22));
    ImageLSstart->hide();
    bSTART = button(Panel5, "bSTART", LanguageText(23), 4, 38, 103, 44);
    bSTART->setToolTip(LanguageText(24));
    bSTART->setFont(runFont);
    bSTART->setKeyboardClick(false);
    bSTART->setEnabled(false);
    ImageLSstop = make<TImage>(Panel5, "ImageLSstop", 4, 98, 20, 20);
    ImageLSstop->setToolTip(LanguageText(29));
    ImageLSstop->hide();
    bSTOP = button(Panel5, "bSTOP", LanguageText(30), 4, 86, 103, 44);
    bSTOP->setToolTip(LanguageText(31));
    bSTOP->setFont(runFont);
    bSTOP->setKeyboardClick(false);
    bSTOP->setEnabled(false);

    bHF = make<TOvalButton>(Panel5, "bHF", 112, 40, 44, 44);
    bHF->setToolTip(LanguageText(26));
    bHF->setEnabled(false);
    sbS1 = speedButton(Panel5, "sbS1", "bell", 160, 40, 24);
    sbS1->setToolTip(LanguageText(25));
    sbS2 = speedButton(Panel5, "sbS2", "pause", 186, 40, 24);
    sbS2->setToolTip(LanguageText(27));
    sbS3 = speedButton(Panel5, "sbS3", "continue", 212, 40, 24);
    sbS3->setToolTip(LanguageText(28));
    for (auto *b : {sbS1, sbS2, sbS3})
        b->setEnabled(false);
    Label9 = label(Panel5, "Label9", LanguageText(32), 160, 66, 90);
    seELZmain = make<QSpinBox>(Panel5, "seELZmain", 252, 64, 64, 24);
    seELZmain->setRange(0, 999);

    Label1 = label(Panel5, "Label1", LanguageText(35), 112, 94, 66);
    eHindPkt = edit(Panel5, "eHindPkt", 180, 93, 44);
    eHindPkt->setText(QStringLiteral("0"));
    eHindPkt->setEnabled(false);
    bPlus4 = button(Panel5, "bPlus4", QStringLiteral("+3"), 228, 93, 30, 24);
    bPlus4->setProperty("Tag", 3);
    bMinus4 = button(Panel5, "bMinus4", QStringLiteral("-4"), 260, 93, 30, 24);
    bMinus4->setProperty("Tag", -4);
    cbPlus = make<QComboBox>(Panel5, "cbPlus", 292, 93, 56, 24);
    cbPlus->setEditable(true);
    cbPlus->addItems({QStringLiteral("+3"), QStringLiteral("+4"), QStringLiteral("+5"),
                      QStringLiteral("+6"), QStringLiteral("+8")});
    cbPlus->setEditText(QStringLiteral("0"));
    cbPlus->setToolTip(QStringLiteral("Strg+1..9"));
    for (QWidget *w : std::initializer_list<QWidget *>{bPlus4, bMinus4, cbPlus})
        w->setEnabled(false);

    Label10 = label(Panel5, "Label10", LanguageText(34), 112, 122, 66);
    eStrafPkt = edit(Panel5, "eStrafPkt", 180, 121, 44);
    eStrafPkt->setText(QStringLiteral("0"));
    bStrafPlus = button(Panel5, "bStrafPlus", QStringLiteral("+"), 228, 121, 24, 24);
    bStrafMinus = button(Panel5, "bStrafMinus", QStringLiteral("-"), 254, 121, 24, 24);
    bStrafPlus->setProperty("Tag", 1);
    bStrafMinus->setProperty("Tag", -1);
    LabelRavno = label(Panel5, "LabelRavno", QStringLiteral("="), 282, 122, 12);
    bStrafsek4 = button(Panel5, "bStrafsek4", QStringLiteral("+4"), 112, 149, 40, 24);
    bStrafsek6 = button(Panel5, "bStrafsek6", QStringLiteral("+6"), 154, 149, 40, 24);
    bStrafsek8 = button(Panel5, "bStrafsek8", QStringLiteral("+8"), 196, 149, 40, 24);
    bStrafsek10 = button(Panel5, "bStrafsek10", QStringLiteral("+10"), 238, 149, 44, 24);
    bStrafsek4->setProperty("Tag", 4);
    bStrafsek6->setProperty("Tag", 6);
    bStrafsek8->setProperty("Tag", 8);
    bStrafsek10->setProperty("Tag", 10);
    for (QWidget *w : std::initializer_list<QWidget *>{
             eStrafPkt, bStrafPlus, bStrafMinus, bStrafsek4, bStrafsek6, bStrafsek8, bStrafsek10})
        w->setEnabled(false);

    LabelSekInPachka = label(Panel5, "LabelSekInPachka", LanguageText(33), 4, 136, 76);
    ePktSek = edit(Panel5, "ePktSek", 4, 156, 60);
    ePktSek->setReadOnly(true);
    ePktSek->setText(QStringLiteral("0"));
    ePktSek->setAlignment(Qt::AlignRight);

    sb1m = speedButton(Panel5, "sb1m", "prev", 68, 156, 24);
    sb1m->setEnabled(false);
    LabelBase =
        label(Panel5, "LabelBase", QStringLiteral("0 %1 0").arg(LanguageText(18)), 68, 181, 70);
    LabelBase->setToolTip(LanguageText(18));
    sb1p = speedButton(Panel5, "sb1p", "next", 94, 156, 24);
    sb1p->setEnabled(false);
    Label6 = label(Panel5, "Label6", LanguageText(15), 122, 179, 56);
    eVerein = edit(Panel5, "eVerein", 180, 178, 180);
    timingRow->addWidget(Panel5, 1);
    bands->addWidget(Panel2);

    // ---- Protocol area
    Panel3 = panel(central, "Panel3");
    auto *protocol = new QVBoxLayout(Panel3);
    protocol->setContentsMargins(0, 0, 0, 0);
    protocol->setSpacing(0);
    Panel4 = panel(Panel3, "Panel4");
    Panel4->setFixedHeight(34);
    auto *tools = new QHBoxLayout(Panel4);
    tools->setContentsMargins(4, 2, 4, 2);
    tools->setSpacing(2);
    auto tool = [&](const char *name, const char *icon, const QString &hint) {
        auto *b = speedButton(Panel4, name, icon, 0, 0, 28);
        b->setToolTip(hint);
        b->setEnabled(false);
        tools->addWidget(b);
        return b;
    };
    sbCLS = tool("sbCLS", "clear", LanguageText(43));
    sbWord = tool("sbWord", "word", LanguageText(40));
    sbSave = tool("sbSave", "save", LanguageText(38));
    sbPrint = tool("sbPrint", "print", LanguageText(39));
    sbExcel = tool("sbExcel", "excel", LanguageText(41));
    sbHTML = tool("sbHTML", "html", LanguageText(42));
    bMon2 = tool("bMon2", "monitor", LanguageText(44));
    tools->addStretch(1);
    auto toolbarButton = [&](const char *name, const QString &caption, const QString &hint) {
        auto *b = button(Panel4, name, caption, 0, 0, 120, 28);
        b->setMinimumWidth(120);
        b->setToolTip(hint);
        b->setFont(QFont(QStringLiteral("Arial"), 10, QFont::Bold));
        b->setEnabled(false);
        b->setAutoDefault(true); // Enter on the focused button acts, as the focus moves to it
        tools->addWidget(b);
        return b;
    };
    bAbbruch = toolbarButton("bAbbruch", LanguageText(45), LanguageText(46));
    bAbbruch->setProperty("Tag", 0);
    bEINTRAGEN = toolbarButton("bEINTRAGEN", LanguageText(47), LanguageText(48));
    bRESET = toolbarButton("bRESET", LanguageText(49), LanguageText(50));
    protocol->addWidget(Panel4);

    SortGrid1 = new TSortGrid(Panel3);
    SortGrid1->setObjectName(QStringLiteral("SortGrid1"));
    SortGrid1->setColCount(12);
    SortGrid1->setGridRowCount(2);
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPixelSize(16);
    SortGrid1->setFont(gridFont);
    SortGrid1->verticalHeader()->setDefaultSectionSize(22);
    SortGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    protocol->addWidget(SortGrid1, 1);
    SortGridToris = new TSortGrid(Panel3);
    SortGridToris->setObjectName(QStringLiteral("SortGridToris"));
    SortGridToris->hide();

    StatusBar1 = new QStatusBar(Panel3);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    const QString panelTexts[3] = {QString(), QStringLiteral("Ostrel Rittmeter"),
                                   QStringLiteral("Multilingual")};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(panelTexts[i], StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setMinimumWidth(i == 1 ? 300 : 90);
        StatusBar1->addWidget(StatusPanels[i], i == 1 ? 1 : 0);
    }
    protocol->addWidget(StatusBar1);
    bands->addWidget(Panel3, 1);

    PopupMenu1 = new QMenu(f);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Strokadelete = PopupMenu1->addAction(LanguageText(63));
    Strokadelete->setObjectName(QStringLiteral("Strokadelete"));
    Copy1 = PopupMenu1->addAction(LanguageText(64));
    Copy1->setObjectName(QStringLiteral("Copy1"));
    PopupMenuNul = new QMenu(f);
    PopupMenuNul->setObjectName(QStringLiteral("PopupMenuNul"));
    for (QLineEdit *e : {eHindPkt, eStrafPkt})
        e->setContextMenuPolicy(Qt::CustomContextMenu); // no paste menu on the scoring fields

    ImageList1[0] = armingIcon(false);
    ImageList1[1] = armingIcon(true);

    // ---- Timers
    Clock = new QTimer(f);
    Clock->setObjectName(QStringLiteral("Clock"));
    Clock->setInterval(10);
    Clock->setTimerType(Qt::PreciseTimer);
    TimerDate = new QTimer(f);
    TimerDate->setObjectName(QStringLiteral("TimerDate"));
    TimerDate->setInterval(500);
    TimerGesperrt = new QTimer(f);
    TimerGesperrt->setObjectName(QStringLiteral("TimerGesperrt"));
    TimerGesperrt->setInterval(1000);

    // ---- Photocell ports: only the modem lines matter; the port numbers come from the settings.
    for (TComPort **port : {&ComPort1, &ComPort2}) {
        *port = new TComPort(f);
        (*port)->setObjectName(port == &ComPort1 ? QStringLiteral("ComPort1")
                                                 : QStringLiteral("ComPort2"));
        (*port)->setBaudRateUser(28800);
        (*port)->setPort(0);
        (*port)->setFlowControl(fcRtsCts);
        (*port)->setDataBits(5);
        (*port)->setEvents(eventSet({evCTS, evDSR, evRLSD}));
        (*port)->setWriteBufSize(64);
        (*port)->setReadBufSize(64);
    }

    // ---- Hidden menus
    auto menu = [&](const char *name) {
        auto *m = new QMenu(f);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    QList<QAction *> &all = hiddenCommands;
    HideMenu1 = menu("HideMenu1");
    mTimer = command(f, HideMenu1, "mTimer", QStringLiteral("&Timer"), {Qt::Key_F4}, all);
    mStart = command(f, HideMenu1, "mStart", QStringLiteral("&Start"), {Qt::Key_F5}, all);
    mStop = command(f, HideMenu1, "mStop", QStringLiteral("Sto&pp"), {Qt::Key_F9}, all);
    HF1 = command(f, HideMenu1, "HF1", QStringLiteral("H"), {Qt::Key_F7}, all);
    LockSTART1 =
        command(f, HideMenu1, "LockSTART1", QStringLiteral("Lock START"), {Qt::Key_F11}, all);
    LockSTOP1 = command(f, HideMenu1, "LockSTOP1", QStringLiteral("Lock STOP"), {Qt::Key_F12}, all);
    mEintragen =
        command(f, HideMenu1, "mEintragen", QStringLiteral("Eintragen"), {ctrl(Qt::Key_V)}, all);
    mAbbruch =
        command(f, HideMenu1, "mAbbruch", QStringLiteral("Eliminieren"), {ctrl(Qt::Key_X)}, all);
    mAbbruch->setProperty("Tag", 0);
    mReset = command(f, HideMenu1, "mReset", QStringLiteral("Next"), {ctrl(Qt::Key_N)}, all);
    Open1 = command(f, HideMenu1, "Open1", QStringLiteral("Öffnen"), {ctrl(Qt::Key_O)}, all);
    Save1 = command(f, HideMenu1, "Save1", QStringLiteral("Speichern"), {ctrl(Qt::Key_S)}, all);
    Drucker1 =
        command(f, HideMenu1, "Drucker1", QStringLiteral("&Drucker"), {ctrl(Qt::Key_P)}, all);
    Drucker1->setProperty("Tag", 1);
    Monitor11 =
        command(f, HideMenu1, "Monitor11", QStringLiteral("TV Modus"), {ctrl(Qt::Key_T)}, all);
    Monitor11->setCheckable(true);
    Beenden1 = command(f, HideMenu1, "Beenden1", QStringLiteral("&Beenden"),
                       {QKeySequence(Qt::ALT | Qt::Key_B)}, all);
    Cfg1 = command(f, HideMenu1, "Cfg1", QStringLiteral("Einstellungen"), {Qt::Key_F2}, all);
    EinstellunGen1 = command(f, HideMenu1, "EinstellunGen1", QStringLiteral("&Einstellungen"),
                             {QKeySequence(Qt::ALT | Qt::Key_E)}, all);
    Info1 = command(f, HideMenu1, "Info1", QStringLiteral("Info"), {Qt::Key_F3}, all);
    Help1 = command(f, HideMenu1, "Help1", QStringLiteral("Hilfe"),
                    {Qt::Key_F1, QKeySequence(Qt::ALT | Qt::Key_I)}, all);

    // Obstacle faults: Ctrl+digit, the keypad with Num Lock off (its navigation keys; the 5 is
    // Clear), and the keypad digits.
    Straf1 = menu("Straf1");
    Straf21 = menu("Straf21");
    mStraf3 = menu("mStraf3");
    const char *straf1Names[9] = {"N3", "N4", "N5", "N6", "N7", "N8", "N9", "N10", "N12"};
    const char *straf21Names[9] = {"N11", "N21", "N31", "N41", "N51", "N61", "N71", "N81", "N91"};
    const int straf21Keys[9] = {Qt::Key_End,  Qt::Key_Down,  Qt::Key_PageDown,
                                Qt::Key_Left, Qt::Key_Clear, Qt::Key_Right,
                                Qt::Key_Home, Qt::Key_Up,    Qt::Key_PageUp};
    const char *straf3Names[9] = {"np1", "np2", "np3", "N42", "N52", "N62", "N72", "N82", "N92"};
    for (int n = 1; n <= 9; ++n) {
        QAction *a = command(f, Straf1, straf1Names[n - 1], QStringLiteral("+%1").arg(n),
                             {ctrl(Qt::Key_0 + n)}, all);
        QAction *b = command(f, Straf21, straf21Names[n - 1], QStringLiteral("+%1").arg(n),
                             {ctrlKeypad(straf21Keys[n - 1])}, all);
        QAction *c = command(f, mStraf3, straf3Names[n - 1], QStringLiteral("+%1").arg(n),
                             {ctrlKeypad(Qt::Key_0 + n)}, all);
        for (QAction *x : {a, b, c}) {
            x->setProperty("Tag", n);
            faultActions.append(x);
        }
    }
    Hind1 = menu("Hind1");
    Nplus4 = command(f, Hind1, "Nplus4", QStringLiteral("+4"), {ctrlKeypad(Qt::Key_Plus)}, all);
    Nplus4->setProperty("Tag", 4);
    Nminus4 = command(f, Hind1, "Nminus4", QStringLiteral("-4"), {ctrlKeypad(Qt::Key_Minus)}, all);
    Nminus4->setProperty("Tag", -4);
    Nplus4a = Hind1->addAction(QStringLiteral("+4"));
    Nplus4a->setObjectName(QStringLiteral("Nplus4a"));
    Nminus4a = Hind1->addAction(QStringLiteral("-4"));
    Nminus4a->setObjectName(QStringLiteral("Nminus4a"));

    StrafSek1 = menu("StrafSek1");
    N13 = command(f, StrafSek1, "N13", QStringLiteral("+6"), {Qt::Key_F6}, all);
    N14 = command(f, StrafSek1, "N14", QStringLiteral("+8"), {Qt::Key_F8}, all);
    N15 = command(f, StrafSek1, "N15", QStringLiteral("+10"), {Qt::Key_F10}, all);
    N13->setProperty("Tag", 6);
    N14->setProperty("Tag", 8);
    N15->setProperty("Tag", 10);

    // The run commands start out as disabled as their buttons.
    for (QAction *a : {mTimer, mStart, mStop, mEintragen, mAbbruch, mReset})
        a->setEnabled(false);
}
