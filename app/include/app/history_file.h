// The history file: the search and replacement strings used, kept from one run to the next.
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace quobrel {

struct HistoryLists {
  std::vector<std::u16string> searches;  // oldest first
  std::vector<std::u16string> replacements;
};

// The lines that open the two sections of the file.
inline constexpr std::u16string_view kSearchesHeading = u"[[[[C1]]]]--- --- --- --- --- ---";
inline constexpr std::u16string_view kReplacementsHeading = u"[[[[C2]]]]--- --- --- --- --- ---";
static_assert(kSearchesHeading.size() == 33 && kReplacementsHeading.size() == 33);

// The lists a history text holds. Lines before the searches' heading are ignored; in the
// searches' section every line but the replacements' heading is an item; after it every
// line is.
HistoryLists ParseHistory(std::u16string_view text);

// Both headings and every item, each as a line ended by CR LF.
std::u16string FormatHistory(const HistoryLists& lists);

// "Quobrel.Ini" in the folder that "windir" names; without "windir", in the user's
// configuration folder, quobrel/Quobrel.Ini.
QString HistoryPath();

struct LoadedHistory {
  HistoryLists lists;
  bool unreadable = false;  // a file is there that could not be read as a history
};

// Code page 932, or UTF-8 when the file starts with a byte order mark. A missing file
// gives empty lists.
LoadedHistory LoadHistory(const QString& path);

// Writes the lists in code page 932, or, when an item has a character outside it, the
// whole file in UTF-8 with a byte order mark, so that nothing is altered. The file is
// replaced only once the new one is complete. A file that could not be read is first kept
// beside it as "<name>.unreadable" (numbered when that name is taken). Returns false when
// the file could not be written.
bool SaveHistory(const QString& path, const HistoryLists& lists, bool keepUnreadable);

}  // namespace quobrel
