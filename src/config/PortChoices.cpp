#include "PortChoices.h"

#include "LanguageTable.h"
#include "Settings.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

QStringList portEntries(quint32 mask)
{
    QStringList entries;
    const int highest = int(mask >> 16);
    for (int n = 1; n <= highest && n <= 16; ++n)
        if (mask & (1u << (n - 1)))
            for (int kont = 0; kont < 3; ++kont)
                entries << portEntry(n, kont);
    return entries;
}

QString portEntry(int port, int kont)
{
    if (kont < 0 || kont > 2)
        return {};
    return QStringLiteral("COM%1").arg(port) + ContactSuffixes[kont];
}

PortChoice parsePortEntry(const QString &entry)
{
    PortChoice choice;
    if (entry.size() < 4 || !entry.at(3).isDigit())
        return choice;
    choice.port = entry.at(3).digitValue();
    if (entry.size() > 4 && entry.at(4).isDigit())
        choice.port = choice.port * 10 + entry.at(4).digitValue();
    if (entry.contains(ContactSuffixes[1]))
        choice.kont = 1;
    else if (entry.contains(ContactSuffixes[2]))
        choice.kont = 2;
    return choice;
}

int hundredths(double value)
{
    // nearbyint rounds ties to even in the default rounding mode.
    return int(std::nearbyint(value * 100.0));
}

QString portFailureText(int port, const QString &device, const QString &reason, bool accessDenied)
{
    QString text = QStringLiteral("COM%1 (%2) lässt sich nicht öffnen: %3.")
                       .arg(QString::number(port), device, reason);
    if (accessDenied)
        text += QStringLiteral("\nDer Zugriff auf serielle Schnittstellen braucht die Gruppe "
                               "dialout: sudo adduser $USER dialout, danach neu anmelden.");
    return text + QStringLiteral("\nDie Lichtschranke bleibt aus. Der Port bleibt eingestellt "
                                 "und wird beim nächsten Start wieder geöffnet.");
}

namespace {
QString canonicalDevice(const QString &path)
{
    // A device that is absent now still clashes with the same path written the same way.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

QString roleText(const PortRole &role)
{
    return QStringLiteral("%1 (%2)").arg(role.caption, role.port);
}
} // namespace

std::pair<int, int> portClash(const QList<PortRole> &roles)
{
    QStringList devices;
    for (const PortRole &role : roles)
        devices << (role.device.trimmed().isEmpty() ? QString() : canonicalDevice(role.device));
    for (int later = 1; later < roles.size(); ++later) {
        if (devices.at(later).isEmpty())
            continue;
        for (int earlier = 0; earlier < later; ++earlier)
            if (roles.at(earlier).owner != roles.at(later).owner &&
                devices.at(earlier) == devices.at(later))
                return {later, earlier};
    }
    return {-1, -1};
}

QString portClashText(const PortRole &later, const PortRole &earlier)
{
    return LanguageText(LanguageLine::PortTwice).arg(roleText(later), roleText(earlier));
}
