#pragma once

#include "PasswordStore.h"

#include <QMap>
#include <QObject>
#include <QTimer>

// A keyring in memory that answers later, as the real one does.
class FakePasswordStore : public PasswordStore
{
public:
    FakePasswordStore() { setPasswordStore(this); }
    ~FakePasswordStore() override { setPasswordStore(nullptr); }

    void read(const QString &key, QObject *context,
              std::function<void(const QString &, const QString &)> done) override
    {
        QTimer::singleShot(0, context, [done, p = passwords.value(key)] { done(p, {}); });
    }
    void write(const QString &key, const QString &password, QObject *context,
               std::function<void(const QString &)> done) override
    {
        passwords[key] = password;
        QTimer::singleShot(0, context, [done] { done({}); });
    }

    QMap<QString, QString> passwords;
};
