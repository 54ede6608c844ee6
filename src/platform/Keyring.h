#pragma once
// The desktop's keyring (the Secret Service or KWallet, through QtKeychain), where
// the password of the register's server is kept: never in Tolvo.ini. Tests replace it.

#include <QString>
#include <memory>

namespace platform {

struct KeyringRead {
    enum Status { Found, Missing, Unavailable } status = Unavailable;
    QString secret;
    QString error; // why the keyring could not be used, as it says it
};

class Keyring {
public:
    virtual ~Keyring() = default;
    virtual KeyringRead read(const QString &key) = 0;
    // False, with *error, when the keyring could not keep it.
    virtual bool write(const QString &key, const QString &secret, QString *error) = 0;
};

// The keyring of the session; a test's own once one was set.
Keyring &keyring();
// Replaces it (tests); nullptr goes back to the desktop's.
void setKeyring(std::unique_ptr<Keyring> replacement);

} // namespace platform
