#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A photocell's port and contact line as one entry of the port lists reads: "COM12 /1,4".
struct PortChoice
{
    int port = 0; // 0: none
    int kont = 0; // index into ContactSuffixes
};

// Three entries per present port of the probe's mask, in port order: "COMn /4,6", "/7,8", "/1,4".
QStringList portEntries(quint32 mask);

// The entry of a port and contact; empty when the contact has no label.
QString portEntry(int port, int kont);

// The port number is the entry's 4th character, and its 5th when that is a digit; the contact
// is the suffix the entry contains.
PortChoice parsePortEntry(const QString &entry);

// A decimal spin box's value in hundredths, to the nearest and ties to even. 0.29 is 28.999...
// in binary, and still gives 29.
int hundredths(double value);

// The message for a photocell port that would not open: port, device, the system's reason and,
// when access was refused, the group that grants it.
QString portFailureText(int port, const QString &device, const QString &reason, bool accessDenied);

// One role a serial port can be given in the settings: a photocell line, the timing device or a
// board.
struct PortRole
{
    QString caption; // the role as the dialog names it: "START", "Tafel 1"
    QString port;    // as the operator chose it: "COM5 /4,6", "/dev/serial/by-id/..."
    QString device;  // the device path; empty for none
    int owner = 0;   // roles of one owner may share a port, as the photocells' lines do
};

// The first role whose device an earlier role of another owner already has, then that earlier
// one; -1, -1 when no port serves two owners. Devices compare by their canonical path, so a link
// such as /dev/serial/by-id/... is the device it points to.
std::pair<int, int> portClash(const QList<PortRole> &roles);

// The refusal of a clash: the later role with its port, then the earlier one.
QString portClashText(const PortRole &later, const PortRole &earlier);
