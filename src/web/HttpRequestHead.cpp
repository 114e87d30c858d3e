#include "HttpRequestHead.h"

namespace {
bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text)
        if (!isTokenChar(c))
            return false;
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

// Whether a comma-separated header value lists token, in any case.
bool listsToken(QByteArrayView value, QByteArrayView token)
{
    qsizetype from = 0;
    while (from <= value.size()) {
        qsizetype comma = value.indexOf(',', from);
        if (comma < 0)
            comma = value.size();
        if (trimmed(value.sliced(from, comma - from)).compare(token, Qt::CaseInsensitive) == 0)
            return true;
        from = comma + 1;
    }
    return false;
}
} // namespace

qsizetype HttpRequestHead::headLength(QByteArrayView buffer)
{
    // Lines end in CRLF; a bare LF is taken as well, as most servers do.
    for (qsizetype i = buffer.indexOf('\n'); i >= 0; i = buffer.indexOf('\n', i + 1)) {
        if (i + 1 < buffer.size() && buffer[i + 1] == '\n')
            return i + 2;
        if (i + 2 < buffer.size() && buffer[i + 1] == '\r' && buffer[i + 2] == '\n')
            return i + 3;
    }
    return 0;
}

HttpRequestHead HttpRequestHead::parse(QByteArrayView head, int maxBytes)
{
    HttpRequestHead request;
    if (head.size() > maxBytes) {
        request.m_status = 431;
        return request;
    }
    QList<QByteArrayView> lines;
    qsizetype from = 0;
    while (from < head.size()) {
        qsizetype end = head.indexOf('\n', from);
        if (end < 0)
            end = head.size();
        QByteArrayView line = head.sliced(from, end - from);
        if (line.endsWith('\r'))
            line.chop(1);
        from = end + 1;
        if (line.isEmpty())
            break;
        lines.append(line);
    }
    if (lines.isEmpty() || !request.parseRequestLine(lines.first())) {
        request.m_status = 400;
        return request;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!request.parseHeaderLine(lines[i])) {
            request.m_status = 400;
            return request;
        }
    }
    const QByteArray connection = request.header("connection");
    request.m_keepAlive = request.m_version == "HTTP/1.1" ? !listsToken(connection, "close")
                                                          : listsToken(connection, "keep-alive");
    // A body is never read, so what follows it could not be told from the next request.
    const QByteArray length = request.header("content-length");
    if (!request.header("transfer-encoding").isEmpty() ||
        (!length.isEmpty() && length.trimmed() != "0"))
        request.m_keepAlive = false;
    if (request.m_method != "GET" && request.m_method != "HEAD") {
        request.m_status = 405;
        return request;
    }
    return request;
}

QByteArray HttpRequestHead::header(QByteArrayView name) const
{
    for (const auto &[key, value] : m_headers)
        if (key == name)
            return value;
    return {};
}

bool HttpRequestHead::parseRequestLine(QByteArrayView line)
{
    const qsizetype firstSpace = line.indexOf(' ');
    const qsizetype lastSpace = line.lastIndexOf(' ');
    if (firstSpace <= 0 || lastSpace <= firstSpace + 1)
        return false;
    const QByteArrayView method = line.first(firstSpace);
    QByteArrayView target = line.sliced(firstSpace + 1, lastSpace - firstSpace - 1);
    const QByteArrayView version = line.sliced(lastSpace + 1);
    if (!isToken(method) || (version != "HTTP/1.1" && version != "HTTP/1.0"))
        return false;
    for (char c : target)
        if (uchar(c) <= ' ' || c == 0x7f)
            return false;
    m_method = method.toByteArray();
    m_version = version.toByteArray();
    // The absolute form names this server; only its path counts.
    if (target.startsWith("http://") || target.startsWith("https://")) {
        const qsizetype authority = target.indexOf("//") + 2;
        const qsizetype slash = target.indexOf('/', authority);
        target = slash < 0 ? QByteArrayView("/") : target.sliced(slash);
    }
    if (target == "*" && m_method != "GET" && m_method != "HEAD")
        return true; // OPTIONS *: earns 405 like any other method
    if (!target.startsWith('/'))
        return false;
    const qsizetype question = target.indexOf('?');
    if (question >= 0) {
        m_query = target.sliced(question + 1).toByteArray();
        target = target.first(question);
    }
    checkTarget(target);
    return m_status != 400;
}

void HttpRequestHead::checkTarget(QByteArrayView target)
{
    QByteArray decoded;
    decoded.reserve(target.size());
    bool refused = false;
    for (qsizetype i = 0; i < target.size(); ++i) {
        const char c = target[i];
        if (c != '%') {
            decoded.append(c);
            continue;
        }
        const int high = i + 2 < target.size() ? hexValue(target[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(target[i + 2]) : -1;
        if (low < 0) {
            m_status = 400;
            return;
        }
        const char byte = char(high * 16 + low);
        // An encoded separator would make one segment look like two to whatever reads the path
        // next; an encoded NUL ends it early.
        if (byte == '/' || byte == '\\' || byte == '\0')
            refused = true;
        decoded.append(byte);
        i += 2;
    }
    if (decoded.contains('\0'))
        refused = true;
    for (const QByteArray &segment : decoded.split('/'))
        if (segment == "..")
            refused = true;
    m_path = QString::fromUtf8(decoded);
    if (refused)
        m_status = 404;
}

bool HttpRequestHead::parseHeaderLine(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    // No folded lines, no blank before the colon: a proxy might read them otherwise.
    if (colon <= 0 || !isToken(line.first(colon)))
        return false;
    const QByteArrayView value = trimmed(line.sliced(colon + 1));
    for (char c : value)
        if (c == '\0' || c == '\r' || c == '\n')
            return false;
    m_headers.append({line.first(colon).toByteArray().toLower(), value.toByteArray()});
    return true;
}
