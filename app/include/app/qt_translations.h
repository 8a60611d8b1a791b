// Qt's own words in the window (context menus, the buttons of its dialogs) in the user's
// language.
#pragma once

class QCoreApplication;

namespace quobrel {

// Loads Qt's translations for the locale, where they are installed (Debian's
// qt6-translations-l10n); without them Qt's words stay English. Whether it found them.
bool InstallQtTranslations(QCoreApplication& application);

}  // namespace quobrel
