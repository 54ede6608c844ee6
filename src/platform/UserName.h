#pragma once
// The user's full name as the system knows it: the first field of the GECOS entry
// of the password database; and the name of this workstation, as the others see it
// on a shared register. Tests replace both.

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

// This computer's name on the network ("compta-2").
QString workstationName();
// Replaces it (tests, one per process); std::nullopt goes back to the host name.
void setWorkstationName(std::optional<QString> name);

} // namespace platform
