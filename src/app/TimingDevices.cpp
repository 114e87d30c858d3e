#include "TimingDevices.h"

#include "DeviceImpulses.h"
#include "LanguageTable.h"
#include "Scoreboard.h"
#include "Settings.h"
#include "TimingDevice.h"

#include <QLabel>
#include <QStatusBar>

namespace {
constexpr int MaxStatusWidth = 480;
constexpr int RawShown = 40;      // characters of a bad line in the status bar
constexpr int TipLineWidth = 100; // the tooltip breaks the whole line into rows this wide

// A device's bytes as text: Latin-1, control characters blank, so the status bar stays one line.
QString printable(const QByteArray &raw)
{
    QString text = QString::fromLatin1(raw);
    for (QChar &c : text)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            c = QLatin1Char(' ');
    return text;
}
} // namespace

TimingDevices::TimingDevices(const LiveState &state, DeviceImpulses &impulses,
                             QStatusBar &statusBar, QObject *parent)
    : QObject(parent), m_impulses(impulses), m_device(std::make_unique<TimingDevice>()),
      m_board1(std::make_unique<Scoreboard>(state)), m_board2(std::make_unique<Scoreboard>(state))
{
    lDevices = new QLabel(&statusBar);
    lDevices->setObjectName(QStringLiteral("lDevices"));
    lDevices->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lDevices->setContentsMargins(4, 0, 6, 0);
    statusBar.addPermanentWidget(lDevices);
    lDevices->hide();

    // The run first: the word in the status bar can wait, the impulse cannot.
    connect(m_device.get(), &TimingDevice::linesRead, &m_impulses, &DeviceImpulses::linesRead);
    connect(m_device.get(), &TimingDevice::linesRead, this, &TimingDevices::linesRead);
    connectPort(*m_device, m_deviceWord);
    connectPort(*m_board1, m_boardWord[0]);
    connectPort(*m_board2, m_boardWord[1]);

    m_badLineRepaint.setSingleShot(true);
    m_badLineRepaint.setInterval(BadLineRepaintMs);
    connect(&m_badLineRepaint, &QTimer::timeout, this, &TimingDevices::repaintBadLines);
    m_badLineExpiry.setSingleShot(true);
    m_badLineExpiry.setInterval(BadLineShownMs);
    connect(&m_badLineExpiry, &QTimer::timeout, this, &TimingDevices::clearBadLines);
}

TimingDevices::~TimingDevices()
{
    closeAll();
}

template <class Port> void TimingDevices::connectPort(Port &port, PortWord &word)
{
    // A word from a port the settings have since moved away from is old news.
    connect(&port, &Port::opened, this, [this, &word](const QString &path) {
        if (path != word.path || word.state == PortWord::Off)
            return;
        word.state = PortWord::Open;
        word.reason.clear();
        showStatus();
    });
    connect(&port, &Port::failed, this, [this, &word](const QString &path, const QString &reason) {
        if (path != word.path || word.state == PortWord::Off)
            return;
        word.state = PortWord::Gone;
        word.reason = reason;
        showStatus();
    });
}

void TimingDevices::apply()
{
    const QString devPath = Settings.DevPort.trimmed();
    const TimerModel model = timerModelFromKey(Settings.DevType);
    const int baud = Settings.DevBaud > 0 ? Settings.DevBaud : 9600;
    if (devPath != m_devPath || int(model) != m_devModel || baud != m_devBaud) {
        m_devPath = devPath;
        m_devModel = int(model);
        m_devBaud = baud;
        m_deviceWord = {devPath, devPath.isEmpty() ? PortWord::Off : PortWord::Opening, {}};
        clearBadLines();
        m_impulses.setSource(devPath);
        if (devPath.isEmpty())
            m_device->close();
        else
            m_device->open(devPath, model, baud);
    }
    applyBoard(1, {Settings.Board1Port.trimmed(), boardShowsFromKey(Settings.Board1Shows),
                   Settings.BoardCountdown});
    applyBoard(2, {Settings.Board2Port.trimmed(), boardShowsFromKey(Settings.Board2Shows),
                   Settings.BoardCountdown});
    showStatus();
}

void TimingDevices::applyBoard(int n, const BoardSetting &setting)
{
    BoardSetting &applied = m_boardSetting[n - 1];
    if (setting == applied)
        return;
    if (setting.path != applied.path)
        m_boardWord[n - 1] = {
            setting.path, setting.path.isEmpty() ? PortWord::Off : PortWord::Opening, {}};
    applied = setting;
    if (setting.path.isEmpty())
        board(n).close();
    else
        // The same port with another picture is simply opened anew.
        board(n).open(setting.path, setting.shows, setting.countdown);
}

void TimingDevices::applyTexts()
{
    showStatus();
}

void TimingDevices::closeAll()
{
    // The ports' last words must not reach a half-destroyed window.
    m_device->disconnect(this);
    m_board1->disconnect(this);
    m_board2->disconnect(this);
    m_device->close();
    m_board1->close();
    m_board2->close();
    m_devPath.clear();
    m_devModel = -1;
    m_boardSetting[0] = m_boardSetting[1] = {};
    m_deviceWord = m_boardWord[0] = m_boardWord[1] = {};
    m_badLineRepaint.stop();
    m_badLineExpiry.stop();
}

void TimingDevices::linesRead(const DeviceLines &lines)
{
    const int before = m_badLines;
    for (const DeviceLine &line : lines)
        if (line.line.kind == TimerLine::Invalid) {
            ++m_badLines;
            m_lastFault = line.line.fault;
            m_lastBadRaw = line.line.raw;
            m_lastBadArrival = line.arrival;
        }
    if (m_badLines == before)
        return;
    m_badLinePending = true;
    if (!m_badLineRepaint.isActive())
        repaintBadLines();
}

void TimingDevices::repaintBadLines()
{
    if (!m_badLinePending)
        return;
    m_badLinePending = false;
    showStatus();
    m_badLineRepaint.start();
    m_badLineExpiry.start();
}

void TimingDevices::clearBadLines()
{
    m_badLines = 0;
    m_badLinePending = false;
    m_lastFault = TimerLine::NoFault;
    m_lastBadRaw.clear();
    showStatus();
}

QString TimingDevices::portText(const PortWord &word, int board) const
{
    const QString reason = word.reason.isEmpty() ? QStringLiteral("?") : word.reason;
    switch (word.state) {
    case PortWord::Off:
    case PortWord::Opening:
        break;
    case PortWord::Open:
        return board == 0 ? LanguageText(LanguageLine::DeviceConnected).arg(word.path)
                          : LanguageText(LanguageLine::BoardConnected)
                                .arg(QString::number(board), word.path);
    case PortWord::Gone:
        return board == 0 ? LanguageText(LanguageLine::DeviceGone).arg(word.path, reason)
                          : LanguageText(LanguageLine::BoardGone)
                                .arg(QString::number(board), word.path, reason);
    }
    return {};
}

QString TimingDevices::badLineText() const
{
    if (m_badLines == 0)
        return {};
    const int fault =
        qBound(int(TimerLine::Garbage), int(m_lastFault), int(TimerLine::TimeOutOfRange));
    const QString word =
        LanguageText(LanguageLine::FirstLineFault + fault - int(TimerLine::Garbage));
    QString raw = printable(m_lastBadRaw);
    if (raw.size() > RawShown)
        raw = raw.left(RawShown - 1) + QChar(0x2026);
    if (m_badLines == 1)
        return LanguageText(LanguageLine::DeviceBadLine).arg(word, raw);
    // A flood is counted, with the last line's fault; the line itself is in the tooltip.
    return LanguageText(LanguageLine::DeviceBadLines).arg(QString::number(m_badLines)) +
           QStringLiteral(" (") + word + QLatin1Char(')');
}

void TimingDevices::showStatus()
{
    // What needs the operator comes first: the status bar may have room for little more.
    QStringList trouble;
    QStringList fine;
    for (const auto &[word, board] :
         {std::pair{&m_deviceWord, 0}, {&m_boardWord[0], 1}, {&m_boardWord[1], 2}}) {
        const QString part = portText(*word, board);
        if (!part.isEmpty())
            (word->state == PortWord::Gone ? trouble : fine) << part;
    }
    const QString bad = badLineText();
    if (!bad.isEmpty())
        trouble << bad;
    const QStringList parts = trouble + fine;
    const QString text = parts.join(QStringLiteral("  ·  "));
    lDevices->setText(lDevices->fontMetrics().elidedText(text, Qt::ElideRight, MaxStatusWidth));
    // The tooltip has the whole of a bad line too, in rows the screen can show.
    QString tip = text;
    if (m_badLines > 0) {
        const QString raw = printable(m_lastBadRaw);
        tip += QLatin1Char('\n') + m_lastBadArrival.toString(QStringLiteral("HH:mm:ss.zzz"));
        for (int i = 0; i < raw.size(); i += TipLineWidth)
            tip += QLatin1Char('\n') + raw.mid(i, TipLineWidth);
    }
    lDevices->setToolTip(tip);
    lDevices->setVisible(!text.isEmpty());
}
