#include "platform/Keyring.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace platform {

namespace {

// Every secret of the program lives under this service name.
const QString service = QStringLiteral("Tolvo");

// QtKeychain answers through the event loop (D-Bus); the caller waits for it.
void wait(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    // A keyring that cannot be used must say so, never fall back to a plain file.
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

class DesktopKeyring : public Keyring {
public:
    KeyringRead read(const QString &key) override
    {
        QKeychain::ReadPasswordJob job(service);
        job.setKey(key);
        wait(job);
        switch (job.error()) {
        case QKeychain::NoError: return {KeyringRead::Found, job.textData(), {}};
        case QKeychain::EntryNotFound: return {KeyringRead::Missing, {}, {}};
        default: return {KeyringRead::Unavailable, {}, job.errorString()};
        }
    }

    bool write(const QString &key, const QString &secret, QString *error) override
    {
        QKeychain::WritePasswordJob job(service);
        job.setKey(key);
        job.setTextData(secret);
        wait(job);
        if (job.error() == QKeychain::NoError)
            return true;
        *error = job.errorString();
        return false;
    }
};

std::unique_ptr<Keyring> &current()
{
    static std::unique_ptr<Keyring> keyring = std::make_unique<DesktopKeyring>();
    return keyring;
}

} // namespace

Keyring &keyring()
{
    return *current();
}

void setKeyring(std::unique_ptr<Keyring> replacement)
{
    current() = replacement ? std::move(replacement) : std::make_unique<DesktopKeyring>();
}

} // namespace platform
