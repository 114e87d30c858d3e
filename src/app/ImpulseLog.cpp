#include "ImpulseLog.h"

#include "ImpulseLogFormat.h"
#include "LiveState.h"
#include "RunState.h"
#include "SessionWriter.h"
#include "TickSource.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace {
const char *const LineNames[3] = {"DSR", "CTS", "DCD"};

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
    }
    return {};
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
    const LiveRun run = m_live.snapshot()->run;
    // The edge's own time: the handler may run well after it.
    const QDateTime when =
        QDateTime::currentDateTime().addMSecs(-qMax(0, ticksBetween(impulse.edgeTick, now)));
    QString event;
    qint32 elapsed = -1;
    switch (impulse.effect) {
    case PhotocellImpulse::Start:
        event = QStringLiteral("START");
        elapsed = 0;
        break;
    case PhotocellImpulse::Stop:
        event = QStringLiteral("STOP");
        elapsed = run.elapsedMs(now);
        break;
    case PhotocellImpulse::None:
    case PhotocellImpulse::LockedOut:
        event = impulse.effect == PhotocellImpulse::LockedOut
                    ? QStringLiteral("Impuls ignoriert (Sperrzeit)")
                    : QStringLiteral("Impuls");
        // During a run, where on its clock the impulse fell.
        if (run.phase == RunPhase::Running && !run.standing)
            elapsed = ticksBetween(run.startTick, impulse.edgeTick);
        break;
    }
    const QString source =
        QStringLiteral("Lichtschranke COM%1 %2 %3")
            .arg(impulse.port)
            .arg(QLatin1String(LineNames[qBound(0, impulse.line, 2)]),
                 impulse.kind == 2 ? QStringLiteral("Ziel") : QStringLiteral("Start"));
    write(when, event, source, elapsed);
}

void ImpulseLog::RunInterrupted(qint32 elapsedMs, const QString &cause)
{
    write(QDateTime::currentDateTime(), QStringLiteral("UNTERBROCHEN"), cause, elapsedMs);
}

void ImpulseLog::write(const QDateTime &when, const QString &event, const QString &source,
                       qint32 elapsedMs)
{
    const ImpulseRecord record{when,
                               event,
                               source,
                               elapsedMs,
                               m_live.snapshot()->starter.startNumber,
                               QCoreApplication::applicationPid()};
    m_writer.appendLog(when.date(), impulseLogLine(record));
}
