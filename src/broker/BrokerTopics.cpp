#include "BrokerTopics.h"

#include <QStringDecoder>
#include <QStringList>
#include <QTextBoundaryFinder>

namespace BrokerTopics {
namespace {

constexpr qsizetype MaxLevelChars = 64;
const QLatin1String Root("rittmeter");

// Characters a broker refuses in a topic, or reads as a level separator or a wildcard. The
// library refuses control characters of both ranges and non-characters as "malformed UTF-8", so
// a name holding one would stop every message of this PC, entries included.
bool unsafe(char32_t c)
{
    return c == U'/' || c == U'+' || c == U'#' || c < 0x20 || (c >= 0x7F && c <= 0x9F) ||
           QChar::isNonCharacter(c) || QChar::isSurrogate(c);
}

} // namespace

QString level(const QString &name, const QString &fallback)
{
    QString text = name.trimmed();
    qsizetype end = 0;
    for (qsizetype chars = 0; end < text.size() && chars < MaxLevelChars; ++chars)
        end += text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                       text.at(end + 1).isLowSurrogate()
                   ? 2
                   : 1;
    if (end < text.size()) {
        // Cut where a reader sees a character end, so an umlaut written as u + mark stays whole.
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        finder.setPosition(end);
        if (!finder.isAtBoundary() && finder.toPreviousBoundary() > 0)
            end = finder.position();
        text = text.left(end).trimmed();
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        const bool first = i == 0;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (unsafe(c) || (first && c == U'$'))
            out += QLatin1Char('_');
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out.isEmpty() ? fallback : out;
}

QString showLevel(const QString &show)
{
    return level(show, QStringLiteral("turnier"));
}

QString arenaLevel(const QString &arena)
{
    return level(arena, QStringLiteral("platz"));
}

QByteArray topic(const QString &show, const QString &arena, const char *leaf)
{
    return QStringLiteral("%1/%2/%3/%4")
        .arg(Root, showLevel(show), arenaLevel(arena), QLatin1String(leaf))
        .toUtf8();
}

QByteArray showFilter(const QString &show)
{
    return QStringLiteral("%1/%2/#").arg(Root, showLevel(show)).toUtf8();
}

std::optional<ArenaTopic> parse(const QByteArray &topic, const QString &show)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(topic);
    if (decoder.hasError())
        return std::nullopt;
    const QStringList levels = text.split(QLatin1Char('/'));
    if (levels.size() != 4 || levels.at(0) != Root || levels.at(1) != showLevel(show))
        return std::nullopt;
    // Only levels this program could have made: that also keeps out wildcards, a leading '$',
    // control characters and overlong names from another publisher.
    for (const QString &name : {levels.at(2), levels.at(3)}) {
        if (name.isEmpty() || level(name, {}) != name)
            return std::nullopt;
    }
    return ArenaTopic{levels.at(2), levels.at(3)};
}

} // namespace BrokerTopics
