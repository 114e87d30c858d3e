#include "TFormMonitor2.h"

#include "DisplayColors.h"
#include "LabelColor.h"
#include "LiveState.h"
#include "Screens.h"
#include "Settings.h"
#include "TDigit.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

namespace {
QLabel *textPanel(QWidget *parent, const char *name, const QColor &background, const QColor &text,
                  Qt::Alignment alignment = Qt::AlignCenter)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    l->setPalette(pal);
    l->setAlignment(alignment);
    return l;
}

void setBackground(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QFont boldArial(int points)
{
    QFont font(QStringLiteral("Arial"), qMax(1, points), QFont::Bold);
    return font;
}
} // namespace

TFormMonitor2::TFormMonitor2(const LiveState &live, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_live(live)
{
    setObjectName(QStringLiteral("FormMonitor2"));
    setWindowTitle(QStringLiteral("Monitor 2"));
    // The operator keeps the keyboard: showing the audience window never takes the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setBackground(this, Qt::white);

    PanelText1 = textPanel(this, "PanelText1", Qt::white, Qt::black);
    PanelText2 = textPanel(this, "PanelText2", Qt::white, Qt::black);
    PanelPferd = textPanel(this, "PanelPferd", Qt::black, Qt::white);
    PanelName = textPanel(this, "PanelName", QColor(192, 0, 0), Qt::yellow);
    PanelVerein = textPanel(this, "PanelVerein", QColor(255, 192, 0), Qt::black);
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    PanelTimer = new QFrame(Panel1);
    PanelTimer->setObjectName(QStringLiteral("PanelTimer"));
    TDigit **digits[5] = {&Digit4, &Digit5, &Digit6, &Digit7, &Digit8};
    for (int i = 0; i < 5; ++i) {
        *digits[i] = new TDigit(PanelTimer);
        (*digits[i])->setObjectName(QStringLiteral("Digit%1").arg(i + 4));
    }
    LabSec = new QLabel(QStringLiteral(","), PanelTimer);
    LabSec->setObjectName(QStringLiteral("LabSec"));
    PanelDate =
        textPanel(this, "PanelDate", Qt::white, Qt::black, Qt::AlignLeft | Qt::AlignVCenter);
    Image1 = new QLabel(PanelDate);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
}

void TFormMonitor2::create(QAction *toggle, std::function<MainClockGeometry()> mainClock)
{
    m_toggle = toggle;
    m_mainClock = std::move(mainClock);
    move(0, 0);
    // Shown or not, the texts follow the state, so the window opens with them.
    connect(&m_live, &LiveState::titlesChanged, this, &TFormMonitor2::showTitles);
    connect(&m_live, &LiveState::starterChanged, this, &TFormMonitor2::showStarter);
    // The result of the run, entered or aborted, shows at once, not with the next date tick.
    connect(&m_live, &LiveState::runChanged, this, [this] { showBottomLine(m_dateLine); });
    showTitles();
    showStarter();
    m_toggle->setChecked(Settings.Monitor > 0);
    connect(m_toggle, &QAction::toggled, this, &TFormMonitor2::setShown);
    // A TV unplugged while the program runs: the window goes to a screen that is still there.
    connect(qApp, &QGuiApplication::screenRemoved, this, &TFormMonitor2::screensChanged);
    connect(qApp, &QGuiApplication::screenAdded, this, &TFormMonitor2::screensChanged);
    // Escape must reach this window while it hides the operator's window, wherever the focus is.
    qApp->installEventFilter(this);
    ApplyAudienceSettings();
    setShown(m_toggle->isChecked());
}

void TFormMonitor2::setShown(bool shown)
{
    if (shown == (isVisible() && !isMinimized()))
        return;
    if (!shown) {
        // The keyboard goes back to the operator's window.
        if (isActiveWindow() && parentWidget())
            parentWidget()->activateWindow();
        hide();
        return;
    }
    ApplyAudienceSettings();
    // Minimised from the taskbar: it comes back whole.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
}

bool TFormMonitor2::coversOperator() const
{
    const QWidget *operatorWindow = parentWidget();
    return isVisible() && !isMinimized() && operatorWindow &&
           geometry().contains(operatorWindow->frameGeometry().center());
}

void TFormMonitor2::screensChanged()
{
    if (isVisible())
        ApplyAudienceSettings();
}

void TFormMonitor2::ApplyAudienceSettings()
{
    showBottomLine(m_dateLine);
    const QList<QRect> screens = screenRects();
    if (screens.isEmpty() || (screens.size() < 2 && !m_toggle->isChecked()))
        return;
    const int monitor =
        Settings.Monitor >= 0 && Settings.Monitor < screens.size() ? Settings.Monitor : 0;
    setGeometry(screens.at(monitor));
    for (TDigit *d : {Digit6, Digit7, Digit8})
        d->setColorOn(ActiveColor);
    setLabelColor(LabSec, ActiveColor);
    LayoutAudienceWindow();
}

void TFormMonitor2::LayoutAudienceWindow()
{
    const MainClockGeometry main = m_mainClock();
    const int border = qBound(0, Settings.BorderTV2, 100);
    const QSize client(qMax(0, width() - 2 * border), qMax(0, height() - 2 * border));
    const AudienceLayout l = layoutAudience(client, main);
    const QPoint origin(border, border);

    QLabel *const panels[5] = {PanelText1, PanelText2, PanelPferd, PanelName, PanelVerein};
    for (int i = 0; i < 5; ++i) {
        panels[i]->setGeometry(l.textPanels[i].translated(origin));
        panels[i]->setFont(boldArial(l.fontPointSize));
    }
    PanelDate->setGeometry(l.bottomLine.translated(origin));
    PanelDate->setFont(boldArial(l.fontPointSize));
    // The inner border indents the line; the text keeps the panel's full height, as large as it is.
    PanelDate->setContentsMargins(l.innerBorder, 0, l.innerBorder, 0);
    Panel1->setGeometry(l.digitArea.translated(origin));
    PanelTimer->setGeometry(l.panelTimer);
    const QColor background = toQColor(Settings.C0);
    setBackground(Panel1, background);
    setBackground(PanelTimer, background);
    ScaleY = l.scale;
    ScaleX = ScaleY;

    TDigit *const digits[5] = {Digit4, Digit5, Digit6, Digit7, Digit8};
    for (int i = 0; i < 5; ++i) {
        digits[i]->setGeometry(l.digits[i]);
        digits[i]->setThickness(l.thickness[i]);
        digits[i]->setColor(Settings.C0);
        digits[i]->setColorOff(Settings.C0);
    }
    LabSec->setGeometry(l.labSec);
    QFont comma(QStringLiteral("Times New Roman"), qMax(1, l.labSecPointSize), QFont::Bold);
    LabSec->setFont(comma);
    LabSec->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    const int pictureHeight = qMax(1, l.lineHeight - 2 * l.innerBorder);
    const int pictureWidth =
        m_picture.isNull() ? 0 : m_picture.width() * pictureHeight / qMax(1, m_picture.height());
    Image1->setGeometry(l.bottomLine.width() - l.innerBorder - pictureWidth, l.innerBorder,
                        pictureWidth, pictureHeight);
}

void TFormMonitor2::showTitles()
{
    const auto state = m_live.snapshot();
    PanelText1->setText(state->competition.title1);
    PanelText2->setText(state->competition.title2);
}

void TFormMonitor2::showStarter()
{
    const auto state = m_live.snapshot();
    const LiveSnapshot::Starter &starter = state->starter;
    PanelPferd->setText(starter.headNumber + QStringLiteral("  ") + starter.horse);
    PanelName->setText(starter.startNumber.section(QLatin1Char('\t'), 0, 0) + QStringLiteral("  ") +
                       starter.rider);
    PanelVerein->setText(starter.club);
}

void TFormMonitor2::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    Image1->setPixmap(picture);
}

void TFormMonitor2::showDigits(const int values[5], TColor hundreds, TColor tens, bool running)
{
    Digit4->setValue(values[0]);
    Digit4->setColorOn(hundreds);
    Digit5->setValue(values[1]);
    Digit5->setColorOn(tens);
    Digit6->setValue(values[2]);
    Digit7->setValue(running ? 0 : values[3]);
    Digit8->setValue(running ? 0 : values[4]);
}

void TFormMonitor2::applyColors(TColor on, TColor off)
{
    for (TDigit *d : {Digit4, Digit5, Digit6, Digit7, Digit8}) {
        d->setColorOn(on);
        d->setColorOff(off);
        d->setColor(off);
    }
    setLabelColor(LabSec, on);
    // The digit area around the digits is the display's background too.
    setBackground(Panel1, toQColor(off));
    setBackground(PanelTimer, toQColor(off));
}

void TFormMonitor2::applyAlarm(TColor color)
{
    for (TDigit *d : {Digit6, Digit7, Digit8})
        d->setColorOn(color);
    setLabelColor(LabSec, color);
}

void TFormMonitor2::applyAccuracy(int decimals)
{
    Digit8->setVisible(decimals == 2);
    Digit7->setVisible(decimals >= 1);
    LabSec->setVisible(decimals >= 1);
}

void TFormMonitor2::showBottomLine(const QString &dateLine)
{
    m_dateLine = dateLine;
    const QString info = m_live.snapshot()->info;
    PanelDate->setText(QStringLiteral("         ") + (info.isEmpty() ? dateLine : info));
}

bool TFormMonitor2::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) ||
        static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape || !coversOperator())
        return QWidget::eventFilter(watched, event);
    // Claimed before any shortcut or dialog sees it; the press then hides this window.
    event->accept();
    if (type == QEvent::KeyPress && m_toggle)
        m_toggle->trigger();
    return true;
}

void TFormMonitor2::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Closed or minimised by the window manager: the check mark follows, so that the next
    // Ctrl+T shows the window again.
    if (m_toggle && m_toggle->isChecked())
        m_toggle->setChecked(false);
}

void TFormMonitor2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Brought back by the window manager (restored from the taskbar): the check mark follows.
    if (m_toggle && !m_toggle->isChecked())
        m_toggle->setChecked(true);
}

void TFormMonitor2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_toggle->trigger();
        return;
    }
    // Clicked into by mistake: every other key belongs to the operator's window, and this window
    // keeps the keyboard only so that Escape still hides it.
    if (QWidget *operatorWindow = parentWidget()) {
        QWidget *target =
            operatorWindow->focusWidget() ? operatorWindow->focusWidget() : operatorWindow;
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                       event->isAutoRepeat(), quint16(event->count()));
        QApplication::sendEvent(target, &copy);
    }
}
