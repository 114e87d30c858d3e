#include "ImpulseLog.h"

#include "ImpulseLogFormat.h"
#include "LanguageTable.h"
#include "LiveState.h"
#include "RunState.h"
#include "SessionWriter.h"
#include "TickSource.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace {
const char *const LineNames[3] = {"DSR", "CTS", "DCD"};
// A device's line is kept whole up to this; the reader bounds it anyway.
constexpr int MaxRawLogged = 256;

QString commandName(RunCommand command)
{
    switch (command) {
    case RunCommand::Timer:
        return QStringLiteral("TIMER");
    case RunCommand::Start:
        return QStringLiteral("START");
    case RunCommand::Stop:
        return QStringLiteral("STOP");
    case RunCommand::Hold:
        return QStringLiteral("HALT");
    case RunCommand::Continue:
        return QStringLiteral("WEITER");
    case RunCommand::Entry:
        return QStringLiteral("EINTRAGEN");
    case RunCommand::Abort:
        return QStringLiteral("ABBRUCH");
    case RunCommand::Next:
        return QStringLiteral("NEXT");
    case RunCommand::Penalty:
        return QStringLiteral("STRAFSEKUNDEN");
    }
    return {};
}

QString effectName(PhotocellImpulse::Effect effect)
{
    switch (effect) {
    case PhotocellImpulse::Start:
        return QStringLiteral("START");
    case PhotocellImpulse::Stop:
        return QStringLiteral("STOP");
    case PhotocellImpulse::LockedOut:
        return QStringLiteral("Impuls ignoriert (Sperrzeit)");
    case PhotocellImpulse::BeforeStart:
        return QStringLiteral("Ziel vor dem Start ignoriert");
    case PhotocellImpulse::None:
        break;
    }
    return QStringLiteral("Impuls");
}

bool isModifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}
} // namespace

ImpulseLog::ImpulseLog(const LiveState &live, SessionWriter &writer, QObject *parent)
    : QObject(parent), m_live(live), m_writer(writer)
{
    qApp->installEventFilter(this);
}

ImpulseLog::~ImpulseLog()
{
    qApp->removeEventFilter(this);
}

bool ImpulseLog::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!isModifier(key->key()) && key->key() != Qt::Key_unknown)
            m_input = QStringLiteral("Taste ") +
                      QKeySequence(key->keyCombination()).toString(QKeySequence::PortableText);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_input = QStringLiteral("Maus");
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ImpulseLog::RunCommandGiven(RunCommand command, qint32 elapsedMs, const QString &detail)
{
    const CommandOrigin origin = commandOrigin();
    // A photocell's command is written with its impulse, at the edge's time.
    if (origin == CommandOrigin::Photocell)
        return;
    QString event = commandName(command);
    if (!detail.isEmpty())
        event += QLatin1Char(' ') + detail;
    write(QDateTime::currentDateTime(), event,
          origin == CommandOrigin::Countdown ? QStringLiteral("Countdown") : m_input, elapsedMs);
}

void ImpulseLog::PhotocellImpulseSeen(const PhotocellImpulse &impulse)
{
    const quint32 now = tickNow();
    const LiveRun &run = m_live.current().run;
    // The edge's own time: the handler may run well after it.
    const QDateTime when =
        QDateTime::currentDateTime().addMSecs(-qMax(0, ticksBetween(impulse.edgeTick, now)));
    const QString event = effectName(impulse.effect);
    qint32 elapsed = -1;
    if (impulse.effect == PhotocellImpulse::Start)
        elapsed = 0;
    else if (impulse.effect == PhotocellImpulse::Stop)
        elapsed = run.elapsedMs(now);
    else if (run.phase == RunPhase::Running && !run.standing)
        // During a run, where on its clock the impulse fell.
        elapsed = ticksBetween(run.startTick, impulse.edgeTick);
    const QString source =
        QStringLiteral("Lichtschranke COM%1 %2 %3")
            .arg(impulse.port)
            .arg(QLatin1String(LineNames[qBound(0, impulse.line, 2)]),
                 impulse.kind == 2 ? QStringLiteral("Ziel") : QStringLiteral("Start"));
    write(when, event, source, elapsed);
}

void ImpulseLog::DeviceLineSeen(const DeviceLine &line, const QString &source,
                                PhotocellImpulse::Effect effect, qint32 elapsedMs)
{
    const TimerLine &read = line.line;
    QString event;
    switch (read.kind) {
    case TimerLine::Invalid: {
        // The built-in word: the log reads the same in every language.
        const int fault =
            qBound(int(TimerLine::Garbage), int(read.fault), int(TimerLine::TimeOutOfRange));
        event = QStringLiteral("Zeile nicht gelesen: ") +
                QString::fromUtf8(
                    LanguageTable[LanguageLine::FirstLineFault + fault - TimerLine::Garbage - 1]
                        .builtin);
        break;
    }
    case TimerLine::StartNumber:
        event = QStringLiteral("Startnummer");
        break;
    case TimerLine::Info:
        event = QStringLiteral("Info");
        break;
    case TimerLine::Impulse:
        event = effectName(effect);
        if (effect == PhotocellImpulse::Start)
            elapsedMs = 0;
        break;
    }
    QString where = QStringLiteral("Zeitmessgerät ") + source;
    if (!read.channelText.isEmpty())
        where += QLatin1Char(' ') + QString::fromLatin1(read.channelText);
    if (read.stamp >= 0)
        where += QLatin1Char(' ') + stampText(read.stamp);
    QString raw = QString::fromLatin1(read.raw.left(MaxRawLogged));
    if (read.raw.size() > MaxRawLogged)
        raw += QChar(0x2026);
    where += QStringLiteral(" [") + raw + QLatin1Char(']');
    write(line.arrival.isValid() ? line.arrival : QDateTime::currentDateTime(), event, where,
          elapsedMs);
}

void ImpulseLog::RunInterrupted(qint32 elapsedMs, const QString &cause)
{
    write(QDateTime::currentDateTime(), QStringLiteral("UNTERBROCHEN"), cause, elapsedMs);
}

void ImpulseLog::write(const QDateTime &when, const QString &event, const QString &source,
                       qint32 elapsedMs)
{
    // The state as written so far: a command logs inside its batch, before any snapshot shows it.
    const LiveSnapshot &live = m_live.current();
    const ImpulseRecord record{when,
                               event,
                               source,
                               elapsedMs,
                               live.starter.startNumber,
                               QCoreApplication::applicationPid(),
                               live.run.penaltyMs};
    m_writer.appendLog(when.date(), impulseLogLine(record));
}
