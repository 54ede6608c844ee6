#pragma once
// A keyring in memory, in place of the desktop's: what the program keeps there and
// reads back, or no keyring at all (as on a computer without one).

#include "platform/Keyring.h"

#include <QHash>

namespace testsupport {

class TestKeyring : public platform::Keyring {
public:
    explicit TestKeyring(bool available = true) : m_available(available) {}
    platform::KeyringRead read(const QString &key) override
    {
        ++reads;
        if (!m_available)
            return {platform::KeyringRead::Unavailable, {}, "no keyring"};
        if (!secrets.contains(key))
            return {platform::KeyringRead::Missing, {}, {}};
        return {platform::KeyringRead::Found, secrets.value(key), {}};
    }
    bool write(const QString &key, const QString &secret, QString *error) override
    {
        if (!m_available) {
            *error = "no keyring";
            return false;
        }
        secrets.insert(key, secret);
        return true;
    }
    QHash<QString, QString> secrets;
    int reads = 0;

private:
    bool m_available;
};

} // namespace testsupport
