#pragma once

#include "Settings.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;

// "Zeitmessgerät und Anzeigetafeln": the timing device's port, type and speed, and the port of
// each scoreboard with what it shows. The port boxes offer "Keines", the ports present now and
// the stored path, and take any path typed in.
class DeviceSettingsGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit DeviceSettingsGroup(QWidget *parent = nullptr);

    // The port lists are filled anew, so an adapter plugged in meanwhile is offered.
    void setValues(const TSettings &values);
    void values(TSettings &into) const;
    // The path a port box holds; empty for "Keines".
    static QString portPath(const QComboBox *box);

    QLabel *LabDevPort = nullptr;
    QComboBox *cbDevPort = nullptr;
    QLabel *LabDevType = nullptr;
    QComboBox *cbDevType = nullptr;
    QLabel *LabDevBaud = nullptr;
    QComboBox *cbDevBaud = nullptr;
    QLabel *LabBoard1 = nullptr;
    QComboBox *cbBoard1Port = nullptr;
    QComboBox *cbBoard1Shows = nullptr;
    QLabel *LabBoard2 = nullptr;
    QComboBox *cbBoard2Port = nullptr;
    QComboBox *cbBoard2Shows = nullptr;
    QCheckBox *cbBoardCountdown = nullptr;

private:
    void fillPorts(QComboBox *box, const QString &stored);
};
