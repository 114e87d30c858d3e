#include "SettingsStore.h"

#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>

namespace {

enum class Kind
{
    Int,
    Bool,
    Colour,
    Text
};

struct Field
{
    const char *name;
    Kind kind;
    int TSettings::*number = nullptr;
    bool TSettings::*flag = nullptr;
    TColor TSettings::*colour = nullptr;
    QString TSettings::*text = nullptr;
    int min = std::numeric_limits<int>::min();
    int max = std::numeric_limits<int>::max();
};

constexpr int AnyInt = std::numeric_limits<int>::max();

Field num(const char *name, int TSettings::*m, int min = -AnyInt - 1, int max = AnyInt)
{
    return {name, Kind::Int, m, nullptr, nullptr, nullptr, min, max};
}
Field flag(const char *name, bool TSettings::*m)
{
    return {name, Kind::Bool, nullptr, m};
}
Field colour(const char *name, TColor TSettings::*m)
{
    return {name, Kind::Colour, nullptr, nullptr, m};
}
Field text(const char *name, QString TSettings::*m)
{
    return {name, Kind::Text, nullptr, nullptr, nullptr, m};
}

// The reading order.
const Field loadOrder[] = {
    num("Port1", &TSettings::Port1, 0, 16),
    num("Alg1", &TSettings::Alg1),
    num("Port2", &TSettings::Port2, 0, 16),
    num("Alg2", &TSettings::Alg2),
    // A contact without a label stays as stored: it matches no line, and the settings show
    // no port for it, rather than a contact nobody chose.
    num("Kont1", &TSettings::Kont1),
    num("Kont2", &TSettings::Kont2),
    num("Timer", &TSettings::Timer, 0, 9999),
    num("PktSek", &TSettings::PktSek, 0, 99900),
    num("Left", &TSettings::Left),
    num("Top", &TSettings::Top),
    num("Width", &TSettings::Width, 800),
    num("Height", &TSettings::Height, 445),
    flag("Sound", &TSettings::Sound),
    num("Acc", &TSettings::Acc, 0, 2),
    text("Sound0", &TSettings::Sound0),
    text("Sound1", &TSettings::Sound1),
    num("ELZ", &TSettings::ELZ, 0, 999),
    colour("C0", &TSettings::C0),
    colour("C1", &TSettings::C1),
    colour("C2", &TSettings::C2),
    colour("C3", &TSettings::C3),
    colour("C4", &TSettings::C4),
    // A zero interval would divide the time faults by zero.
    num("SekPachka", &TSettings::SekPachka, 10, 99900),
    num("Monitor", &TSettings::Monitor, 0),
    flag("Eli", &TSettings::Eli),
    num("FiltInd", &TSettings::FiltInd),
    text("Zeile1", &TSettings::Zeile1),
    text("Zeile2", &TSettings::Zeile2),
    flag("Sum", &TSettings::Sum),
    flag("SumF", &TSettings::SumF),
    flag("AutoFrei", &TSettings::AutoFrei),
    num("CharSet", &TSettings::CharSet),
    text("Lang", &TSettings::Lang),
    num("FilterInd", &TSettings::FilterInd),
    num("FilterIndO", &TSettings::FilterIndO),
    num("BorderTV2", &TSettings::BorderTV2, 0, 100),
    flag("LiveWeb", &TSettings::LiveWeb),
    num("LivePort", &TSettings::LivePort, 1, 65535),
    text("LiveHost", &TSettings::LiveHost),
    text("DevPort", &TSettings::DevPort),
    text("DevType", &TSettings::DevType),
    text("Board1Port", &TSettings::Board1Port),
    text("Board1Shows", &TSettings::Board1Shows),
    text("Board2Port", &TSettings::Board2Port),
    text("Board2Shows", &TSettings::Board2Shows),
    // Numbers last: a file written before them still reads all it has.
    num("DevBaud", &TSettings::DevBaud, DeviceBauds[0], DeviceBauds[std::size(DeviceBauds) - 1]),
    flag("BoardCountdown", &TSettings::BoardCountdown),
    // Texts before numbers again, for the same reason.
    text("BrokerHost", &TSettings::BrokerHost),
    text("BrokerCa", &TSettings::BrokerCa),
    text("BrokerUser", &TSettings::BrokerUser),
    text("Show", &TSettings::Show),
    text("Arena", &TSettings::Arena),
    flag("BrokerOn", &TSettings::BrokerOn),
    num("BrokerPort", &TSettings::BrokerPort, 1, 65535),
    flag("BrokerTls", &TSettings::BrokerTls),
    flag("ShowAll", &TSettings::ShowAll),
};

const char *const saveOrder[] = {
    "Left",        "Top",        "Width",       "Height",    "Sound",         "Port1",
    "Port2",       "Alg1",       "Alg2",        "Kont1",     "Kont2",         "Timer",
    "ELZ",         "PktSek",     "Acc",         "Sound0",    "Sound1",        "C0",
    "C1",          "C2",         "C3",          "C4",        "SekPachka",     "Monitor",
    "Eli",         "FiltInd",    "Zeile1",      "Zeile2",    "Sum",           "SumF",
    "AutoFrei",    "CharSet",    "Lang",        "FilterInd", "FilterIndO",    "BorderTV2",
    "LiveWeb",     "LivePort",   "LiveHost",    "DevPort",   "DevType",       "Board1Port",
    "Board1Shows", "Board2Port", "Board2Shows", "DevBaud",   "BoardCountdown", "BrokerOn",
    "BrokerHost",  "BrokerPort", "BrokerTls",   "BrokerCa",  "BrokerUser",    "Show",
    "Arena",       "ShowAll"};

const Field &field(const char *name)
{
    for (const Field &f : loadOrder)
        if (qstrcmp(f.name, name) == 0)
            return f;
    Q_UNREACHABLE();
}

// A stored 32-bit number, as the registry's DWORD holds it; nothing for anything else.
// One of choices, compared without case; otherwise the first, the default.
QString oneOf(const QString &stored, std::initializer_list<const char *> choices)
{
    const QString key = stored.trimmed().toLower();
    for (const char *choice : choices)
        if (key == QLatin1String(choice))
            return key;
    return QLatin1String(*choices.begin());
}

std::optional<qint64> storedNumber(const QVariant &value)
{
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const qint64 n = value.toString().trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return n;
}

QString storedText(const QVariant &value)
{
    // A hand-written text with commas comes back from the file as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

} // namespace

std::unique_ptr<QSettings> openSettingsStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Ostrel"), QStringLiteral("Rittmeter"));
}

void LoadSettings(const QSettings &store, TSettings &s)
{
    bool filterIndRead = false;
    for (const Field &f : loadOrder) {
        const QVariant value = store.value(QLatin1String(f.name));
        if (f.kind == Kind::Text) {
            s.*f.text = storedText(value);
            continue;
        }
        const std::optional<qint64> n = storedNumber(value);
        if (!n)
            break;
        switch (f.kind) {
        case Kind::Int:
            s.*f.number = int(std::clamp<qint64>(*n, f.min, f.max));
            break;
        case Kind::Bool:
            s.*f.flag = *n != 0;
            break;
        case Kind::Colour:
            s.*f.colour = TColor(quint32(*n));
            break;
        case Kind::Text:
            break;
        }
        filterIndRead |= f.number == &TSettings::FilterInd;
    }
    // A character set the table does not know is the default one.
    if (s.CharSet < 0 || s.CharSet > 15)
        s.CharSet = 0;
    // A type or picture nobody knows would leave the device unread and the board dark.
    s.DevType = oneOf(s.DevType, {"timy", "tdc8001", "tdc8000"});
    s.Board1Shows = oneOf(s.Board1Shows, {"zeit", "fehler"});
    s.Board2Shows = oneOf(s.Board2Shows, {"zeit", "fehler"});
    // A speed the device cannot be set to: its own default.
    if (std::find(std::begin(DeviceBauds), std::end(DeviceBauds), s.DevBaud) ==
        std::end(DeviceBauds))
        s.DevBaud = TSettings{}.DevBaud;
    // Both name the save dialog's filter; the later one wins.
    if (filterIndRead)
        s.FiltInd = s.FilterInd;
    else
        s.FilterInd = s.FiltInd;
}

void SaveSettings(QSettings &store, const TSettings &s)
{
    for (const char *name : saveOrder) {
        const Field &f = field(name);
        const QString key = QLatin1String(f.name);
        switch (f.kind) {
        case Kind::Int:
            store.setValue(key, s.*f.number);
            break;
        case Kind::Bool:
            store.setValue(key, int(s.*f.flag));
            break;
        case Kind::Colour:
            store.setValue(key, quint32(s.*f.colour));
            break;
        case Kind::Text:
            store.setValue(key, s.*f.text);
            break;
        }
    }
    store.sync();
}

bool ResetSettingsStore(QSettings &store)
{
    store.clear();
    store.sync();
    return store.status() == QSettings::NoError;
}
