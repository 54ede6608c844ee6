#pragma once
// The user's full name as the system knows it: the first field of the GECOS entry
// of the password database. Tests replace it.

#include <QString>
#include <optional>

namespace platform {

// The full name of the user running the program; empty when none is recorded.
QString userFullName();

// The login name of the user running the program.
QString userLogin();

// The full name held in a GECOS field: the text before the first comma, trimmed.
QString fullNameFromGecos(const char *gecos);

// Replaces the name (tests); std::nullopt goes back to the password database.
void setUserFullName(std::optional<QString> name);

} // namespace platform
