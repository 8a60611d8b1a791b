#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "history_file.h"

namespace quobrel {
namespace {

using Items = std::vector<std::u16string>;

std::u16string Lines(std::initializer_list<std::u16string_view> lines) {
  std::u16string text;
  for (std::u16string_view line : lines) text.append(line).append(u"\r\n");
  return text;
}

TEST(HistoryFormat, SixLinesRoundTrip) {
  const std::u16string text = Lines({kC1Separator, u"a", u"b", kC2Separator, u"", u"c"});
  const HistoryLists lists = ParseHistory(text);
  EXPECT_EQ(lists.C1, (Items{u"a", u"b"}));
  EXPECT_EQ(lists.C2, (Items{u"", u"c"}));
  EXPECT_EQ(FormatHistory(lists), text);
  EXPECT_EQ(FormatHistory({}), Lines({kC1Separator, kC2Separator}));
}

TEST(HistoryFormat, UnusualLinesFollowTheSectionRules) {
  // Text before the C1 separator and a C2 separator met first are ignored; a second C1
  // separator is an item; after the C2 separator every line is an item.
  const HistoryLists lists =
      ParseHistory(Lines({u"junk", kC2Separator, kC1Separator, u"x", kC1Separator, kC2Separator,
                          kC1Separator, kC2Separator, u" spaced "}) +
                   u"last\rlone\ncr");
  EXPECT_EQ(lists.C1, (Items{u"x", std::u16string(kC1Separator)}));
  EXPECT_EQ(lists.C2, (Items{std::u16string(kC1Separator), std::u16string(kC2Separator),
                             u" spaced ", u"last", u"lone\ncr"}));
  EXPECT_TRUE(ParseHistory(Lines({u"a", u"b"})).C1.empty());
  EXPECT_EQ(ParseHistory(Lines({kC1Separator, u"a", u"b"})).C1, (Items{u"a", u"b"}));
}

TEST(HistoryFormat, AnItemLikeTheC2SeparatorMovesTheRestOnReading) {
  const HistoryLists written{{u"a", std::u16string(kC2Separator), u"b"}, {u"c"}};
  const HistoryLists read = ParseHistory(FormatHistory(written));
  EXPECT_EQ(read.C1, (Items{u"a"}));
  EXPECT_EQ(read.C2, (Items{u"b", std::u16string(kC2Separator), u"c"}));
}

TEST(HistoryFile, LivesInWindirOrElseInTheUsersConfiguration) {
  QTemporaryDir dir;
  qputenv("windir", dir.path().toUtf8());
  EXPECT_EQ(HistoryPath(), dir.filePath("Quobrel.Ini"));
  qunsetenv("windir");
  qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
  EXPECT_EQ(HistoryPath(), dir.filePath("quobrel/Quobrel.Ini"));
  qunsetenv("XDG_CONFIG_HOME");
}

TEST(HistoryFile, SavesCp932OrElseUtf8AndLoadsBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("sub/Quobrel.Ini");
  const HistoryLists japanese{{u"ｶﾞ検索"}, {u"置換"}};
  ASSERT_TRUE(SaveHistory(path, japanese, false));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(),
            QByteArray("[[[[C1]]]]--- --- --- --- --- ---\r\n\xB6\xDE\x8C\x9F\x8D\xF5\r\n"
                       "[[[[C2]]]]--- --- --- --- --- ---\r\n\x92\x75\x8A\xB7\r\n"));
  file.close();
  EXPECT_EQ(LoadHistory(path).lists.C1, japanese.C1);

  const HistoryLists outside{{u"€ and 😀"}, {}};
  ASSERT_TRUE(SaveHistory(path, outside, false));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("\xEF\xBB\xBF[[[[C1]]]]"));
  file.close();
  const LoadedHistory loaded = LoadHistory(path);
  EXPECT_FALSE(loaded.unreadable);
  EXPECT_EQ(loaded.lists.C1, outside.C1);
}

TEST(HistoryFile, AFileThatCannotBeReadIsKeptAsideAndNeverOverAnother) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Quobrel.Ini");
  EXPECT_FALSE(LoadHistory(path).unreadable);  // missing is normal
  QFile earlier(path + ".unreadable");
  ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
  earlier.write("set aside by an earlier run");
  earlier.close();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[[[[C1]]]]--- --- --- --- --- ---\r\n\x82\r\n");  // a lead byte alone
  file.close();
  const LoadedHistory loaded = LoadHistory(path);
  EXPECT_TRUE(loaded.unreadable);
  EXPECT_TRUE(loaded.lists.C1.empty());
  ASSERT_TRUE(SaveHistory(path, {{u"new"}, {}}, loaded.unreadable));
  ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
  EXPECT_EQ(earlier.readAll(), "set aside by an earlier run");
  QFile second(path + ".unreadable.2");
  ASSERT_TRUE(second.open(QIODevice::ReadOnly));
  EXPECT_TRUE(second.readAll().endsWith("\x82\r\n"));
  EXPECT_EQ(LoadHistory(path).lists.C1, Items{u"new"});
}

TEST(HistoryFile, AHistoryLinkedFromElsewhereStaysALink) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Quobrel.Ini");
  ASSERT_TRUE(QFile::link(dir.filePath("dotfiles.ini"), path));
  ASSERT_TRUE(SaveHistory(path, {{u"kept"}, {}}, false));
  EXPECT_TRUE(QFileInfo(path).isSymLink());
  EXPECT_EQ(LoadHistory(dir.filePath("dotfiles.ini")).lists.C1, Items{u"kept"});
}

TEST(HistoryFile, APipeOrFolderIsNoHistoryAndIsNotWaitedOn) {
  QTemporaryDir dir;
  const QString pipe = dir.filePath("Quobrel.Ini");
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  EXPECT_TRUE(LoadHistory(pipe).unreadable);  // returns at once: nobody writes the pipe
  EXPECT_TRUE(LoadHistory(dir.path()).unreadable);
}

}  // namespace
}  // namespace quobrel
