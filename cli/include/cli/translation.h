// The command line's messages in its user's language, through gettext.
#pragma once

namespace quobrel::cli {

// Takes the language from the environment (LC_ALL, LC_MESSAGES, LANG), and the
// translations from the share/locale folder beside the program's bin folder.
void UseUsersLanguage();

// A message in the user's language, or as it is when it has no translation.
const char* Tr(const char* english);
// The same for a message about `count` things, in the form the language has for it.
const char* TrCount(const char* one, const char* many, unsigned long count);

}  // namespace quobrel::cli

// Marks a text to be translated where it is used, not where it stands (tables).
#define N_(text) text
