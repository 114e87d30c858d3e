#pragma once

#include "PasswordStore.h"

#include <QMap>
#include <QObject>
#include <QTimer>

// A keyring in memory that answers later, as the real one does; a fault set makes every call fail.
class FakePasswordStore : public PasswordStore
{
public:
    FakePasswordStore() { setPasswordStore(this); }
    ~FakePasswordStore() override { setPasswordStore(nullptr); }

    void read(const QString &key, QObject *context,
              std::function<void(const QString &, const QString &)> done) override
    {
        ++reads;
        const QString password = fault.isEmpty() ? passwords.value(key) : QString();
        QTimer::singleShot(0, context, [done, password, f = fault] { done(password, f); });
    }
    void write(const QString &key, const QString &password, QObject *context,
               std::function<void(const QString &)> done) override
    {
        if (fault.isEmpty())
            password.isEmpty() ? void(passwords.remove(key)) : void(passwords[key] = password);
        QTimer::singleShot(0, context, [done, f = fault] { done(f); });
    }

    QMap<QString, QString> passwords;
    QString fault;
    int reads = 0;
};
