#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

// One HTTP/1.x request head as a client sent it, parsed without a socket, and the status it earns
// before any route is looked at. Only GET and HEAD are served; a path that tries to leave the
// fixed routes (dot segments, encoded slashes, NUL) is not found.
class HttpRequestHead
{
public:
    static constexpr int DefaultMaxBytes = 8192;

    // The length of the head at the start of buffer, blank line included; 0 while it is
    // incomplete.
    static qsizetype headLength(QByteArrayView buffer);
    // Parses a complete head (as headLength measured it). status() tells what it earned.
    static HttpRequestHead parse(QByteArrayView head, int maxBytes = DefaultMaxBytes);

    // 0: fit for routing; else 400, 404, 405 or 431.
    int status() const { return m_status; }
    const QByteArray &method() const { return m_method; }
    // Percent-decoded once, without the query.
    const QString &path() const { return m_path; }
    // As sent, without the '?'.
    const QByteArray &query() const { return m_query; }
    const QByteArray &version() const { return m_version; }
    bool isHead() const { return m_method == "HEAD"; }
    // The first value of a header; name in lower case.
    QByteArray header(QByteArrayView name) const;
    const QList<QPair<QByteArray, QByteArray>> &headers() const { return m_headers; }
    // The client keeps the connection for another request: HTTP/1.1 unless it says close,
    // HTTP/1.0 only when it asks. Never after a request that carries a body: it is not read.
    bool keepAlive() const { return m_keepAlive; }

private:
    bool parseRequestLine(QByteArrayView line);
    bool parseHeaderLine(QByteArrayView line);
    void checkTarget(QByteArrayView target);

    int m_status = 0;
    QByteArray m_method;
    QString m_path;
    QByteArray m_query;
    QByteArray m_version;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    bool m_keepAlive = false;
};
