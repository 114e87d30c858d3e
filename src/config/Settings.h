#pragma once

#include "TColor.h"

#include <QString>

// The persistent settings, one field per stored value and named like it. Until the store loads
// them, every field holds its default.
struct TSettings
{
    int Port1 = 0;
    int Alg1 = 0;
    int Port2 = 0;
    int Alg2 = 0;
    int Kont1 = 0;
    int Kont2 = 0;
    int Timer = 60;
    int PktSek = 25;
    int Left = 251;
    int Top = 248;
    int Width = 800;
    int Height = 600;
    bool Sound = true;
    int Acc = 2;
    QString Sound0;
    QString Sound1;
    int ELZ = 120;
    TColor C0 = rgbColor(0, 0, 0);
    TColor C1 = rgbColor(64, 64, 64);
    TColor C2 = rgbColor(255, 255, 0);
    TColor C3 = rgbColor(0, 255, 0);
    TColor C4 = rgbColor(255, 0, 0);
    int SekPachka = 100;
    int Monitor = 0;
    bool Eli = false;
    int FiltInd = 3;
    QString Zeile1 = QStringLiteral("Klassisches");
    QString Zeile2 = QStringLiteral("Reitsport Turnier");
    bool Sum = false;
    bool SumF = false;
    bool AutoFrei = true;
    int CharSet = 0;
    QString Lang;
    int FilterInd = 3;
    int FilterIndO = 1;
    int BorderTV2 = 0;
    // The live results on the network: off until the operator turns them on; an empty host
    // listens on all networks.
    bool LiveWeb = false;
    int LivePort = 8080;
    QString LiveHost;
    // A timing device and two scoreboards on serial ports: device paths, empty for none.
    QString DevPort;
    QString DevType = QStringLiteral("timy"); // "timy", "tdc8001", "tdc8000"
    int DevBaud = 9600;                       // one of DeviceBauds
    QString Board1Port;
    QString Board1Shows = QStringLiteral("zeit"); // "zeit" or "fehler"
    QString Board2Port;
    QString Board2Shows = QStringLiteral("zeit");
    bool BoardCountdown = true; // "Zeit" boards show the countdown too
    // Publishing to an MQTT broker, off until the operator turns it on. The password is kept in
    // the desktop's keyring, never here. Show and Arena name the topics; ShowAll serves every
    // arena of the show on the live results server's "/show".
    bool BrokerOn = false;
    QString BrokerHost;
    int BrokerPort = 1883;
    bool BrokerTls = false;
    QString BrokerCa; // empty: the system's certificates
    QString BrokerUser;
    QString Show;
    QString Arena;
    bool ShowAll = false;
};

// The speeds a timing device can be set to, slowest first.
inline constexpr int DeviceBauds[] = {2400, 4800, 9600, 19200, 38400};

// Process-wide, like the run state: every part of the program reads the same record.
inline TSettings Settings;

// The serial ports found at start-up: bit n-1 for COMn, the highest present port number in the
// upper 16 bits; 0 means none.
inline quint32 ComPortMask = 0;

// The contact labels of the photocell lines, indexed by Kont1/Kont2.
inline const QString ContactSuffixes[3] = {QStringLiteral(" /4,6"), QStringLiteral(" /7,8"),
                                           QStringLiteral(" /1,4")};

// Sound0 and Sound1 name the cues shipped with the program unless the store says otherwise.
void applyDefaultSoundFiles(TSettings &settings);
