#include "PasswordStore.h"

#include <QObject>
#include <QTimer>

void PasswordStore::read(const QString &, QObject *context,
                         std::function<void(const QString &, const QString &)> done)
{
    // placeholder: the keyring comes next
    QTimer::singleShot(0, context, [done] { done({}, {}); });
}

void PasswordStore::write(const QString &, const QString &, QObject *context,
                          std::function<void(const QString &)> done)
{
    QTimer::singleShot(0, context, [done] { done({}); });
}

namespace {
PasswordStore *g_store = nullptr;
}

PasswordStore &passwordStore()
{
    static PasswordStore keyring;
    return g_store ? *g_store : keyring;
}

void setPasswordStore(PasswordStore *store)
{
    g_store = store;
}
