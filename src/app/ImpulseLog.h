#pragma once

#include "RunHooks.h"

#include <QObject>
#include <QString>

class LiveState;
class SessionWriter;

// The daily record of every run command, photocell impulse and timing device's line, for a disputed
// time: when, from where (a key, the mouse, a photocell, the countdown), the run's time, the time
// ridden and the penalty seconds between them, and the start number, as the live state has them.
class ImpulseLog : public QObject
{
    Q_OBJECT
public:
    ImpulseLog(const LiveState &live, SessionWriter &writer, QObject *parent = nullptr);
    ~ImpulseLog() override;

    void RunCommandGiven(RunCommand command, qint32 elapsedMs, const QString &detail);
    void PhotocellImpulseSeen(const PhotocellImpulse &impulse);
    // One line per line of the timing device, at its arrival, with the line as it came.
    void DeviceLineSeen(const DeviceLine &line, const QString &source,
                        PhotocellImpulse::Effect effect, qint32 elapsedMs);
    // The program ends while a run is on course; cause: what ended it ("SIGTERM", "Beenden").
    void RunInterrupted(qint32 elapsedMs, const QString &cause);

protected:
    // Notes the operator's last key or mouse press: the commands they give come from it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void write(const QDateTime &when, const QString &event, const QString &source,
               qint32 elapsedMs);

    const LiveState &m_live;
    SessionWriter &m_writer;
    QString m_input = QStringLiteral("Taste");
};
