#pragma once

#include <QString>
#include <stdexcept>

// Failures of a serial port; the message is the text shown to a user, the reason the system's
// own text for the cause.
class EComError : public std::runtime_error
{
public:
    explicit EComError(const QString &message, const QString &reason = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_reason(reason)
    {}
    QString message() const { return m_message; }
    QString reason() const { return m_reason; }

private:
    QString m_message;
    QString m_reason;
};

// The port cannot be opened.
class EComHandle : public EComError
{
public:
    using EComError::EComError;
};

// The line settings cannot be applied.
class EComState : public EComError
{
public:
    using EComError::EComError;
};
