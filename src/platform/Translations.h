#pragma once
// Qt's own texts (context menus, standard buttons, Qt's dialogs) in French.

namespace platform {

// Loads Qt's French translations (Debian's qt6-translations-l10n) into the running
// application. Without them Qt's texts stay English and nothing else changes;
// returns whether they were found.
bool installQtTranslations();

} // namespace platform
