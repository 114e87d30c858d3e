#pragma once

#include <QString>

#include <functional>

class QObject;

// Passwords in the desktop's keyring (the Secret Service or KWallet, through QtKeychain), never in
// the settings file. Both calls report later, on the caller's thread, and only while context lives;
// tests replace the store.
class PasswordStore
{
public:
    virtual ~PasswordStore() = default;
    // done(password, error): a key never written reads as empty, without error.
    virtual void read(const QString &key, QObject *context,
                      std::function<void(const QString &password, const QString &error)> done);
    // An empty password removes the key. done(error): empty when kept.
    virtual void write(const QString &key, const QString &password, QObject *context,
                       std::function<void(const QString &error)> done);
};

PasswordStore &passwordStore();
void setPasswordStore(PasswordStore *store);

// The key of the broker's password.
inline const QString BrokerPasswordKey = QStringLiteral("broker");
