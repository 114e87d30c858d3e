#pragma once

#include <QString>
#include <stdexcept>

// Failures of a serial port; the message is the text shown to a user.
class EComError : public std::runtime_error
{
public:
    explicit EComError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}
    QString message() const { return m_message; }

private:
    QString m_message;
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
