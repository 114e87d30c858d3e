#include "PasswordStore.h"

#include <QObject>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <memory>

namespace {

const QString Service = QStringLiteral("Rittmeter");

// A keyring that never answers (a Secret Service that hangs, an unlock prompt left alone) must not
// keep the broker waiting for ever: after this long the call reports, and a late answer is dropped.
constexpr int KeyringAnswerMs = 30'000;

// Runs job and calls done exactly once, on context's thread and only while context lives: with
// the job's answer, or with a fault when the keyring gives none in time.
void runJob(QKeychain::Job *job, QObject *context,
            std::function<void(QKeychain::Job *job, const QString &fault)> done)
{
    auto answered = std::make_shared<bool>(false);
    job->setAutoDelete(true);
    QObject::connect(job, &QKeychain::Job::finished, context,
                     [answered, done](QKeychain::Job *finished) {
                         if (std::exchange(*answered, true))
                             return;
                         done(finished, {});
                     });
    QTimer::singleShot(KeyringAnswerMs, context, [answered, done] {
        if (std::exchange(*answered, true))
            return;
        done(nullptr, QStringLiteral("keine Antwort"));
    });
    job->start();
}

QString jobFault(const QKeychain::Job *job)
{
    const QString text = job->errorString();
    return text.isEmpty() ? QStringLiteral("Fehler %1").arg(int(job->error())) : text;
}

} // namespace

void PasswordStore::read(const QString &key, QObject *context,
                         std::function<void(const QString &, const QString &)> done)
{
    auto *job = new QKeychain::ReadPasswordJob(Service);
    job->setKey(key);
    // Never the plain-text fallback: the password stays out of every file.
    job->setInsecureFallback(false);
    runJob(job, context, [done](QKeychain::Job *finished, const QString &fault) {
        if (!finished)
            return done({}, fault);
        auto *read = static_cast<QKeychain::ReadPasswordJob *>(finished);
        switch (read->error()) {
        case QKeychain::NoError:
            return done(read->textData(), {});
        case QKeychain::EntryNotFound:
            return done({}, {});
        default:
            return done({}, jobFault(read));
        }
    });
}

void PasswordStore::write(const QString &key, const QString &password, QObject *context,
                          std::function<void(const QString &)> done)
{
    QKeychain::Job *job = nullptr;
    if (password.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(Service);
    } else {
        auto *write = new QKeychain::WritePasswordJob(Service);
        write->setTextData(password);
        job = write;
    }
    job->setKey(key);
    job->setInsecureFallback(false);
    runJob(job, context, [done](QKeychain::Job *finished, const QString &fault) {
        if (!finished)
            return done(fault);
        // Removing a key that was never there leaves the keyring as asked.
        const QKeychain::Error error = finished->error();
        done(error == QKeychain::NoError || error == QKeychain::EntryNotFound ? QString()
                                                                              : jobFault(finished));
    });
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
