#pragma once

#include "DeviceLine.h"

#include <QObject>

class Photocells;
class RunHooks;
class TFormMainUi;

// Acts on a timing device's lines on the GUI thread. A start impulse acts as the start photocell
// and a finish impulse as the finish photocell (arming, lock-out, a finish before the start
// ignored); a keypad impulse as the operator's key. A run started and finished by the device's
// impulses takes the difference of its two stamps as its time. Every line is listed and handed to
// the log with what it did.
class DeviceImpulses : public QObject
{
    Q_OBJECT
public:
    DeviceImpulses(TFormMainUi &ui, Photocells &photocells, RunHooks &hooks,
                   QObject *parent = nullptr);

    void linesRead(const DeviceLines &lines);
    // The device's port, as the log names it.
    void setSource(const QString &path) { m_source = path; }

private:
    void impulse(const DeviceLine &line);

    TFormMainUi &m_ui;
    Photocells &m_photocells;
    RunHooks &m_hooks;
    QString m_source;
};
