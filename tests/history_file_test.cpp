#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/history_file.h"

namespace quobrel {
namespace {

using Items = std::vector<std::u16string>;

std::u16string Lines(std::initializer_list<std::u16string_view> lines) {
  std::u16string text;
  for (std::u16string_view line : lines) text.append(line).append(u"\r\n");
  return text;
}

TEST(HistoryFormat, SixLinesRoundTrip) {
  const std::u16string text =
      Lines({kSearchesHeading, u"a", u"b", kReplacementsHeading, u"", u"c"});
  const HistoryLists lists = ParseHistory(text);
  EXPECT_EQ(lists.searches, (Items{u"a", u"b"}));
  EXPECT_EQ(lists.replacements, (Items{u"", u"c"}));
  EXPECT_EQ(FormatHistory(lists), text);
  EXPECT_EQ(FormatHistory({}), Lines({kSearchesHeading, kReplacementsHeading}));
}

TEST(HistoryFormat, UnusualLinesFollowTheSectionRules) {
  // Text before the searches heading and a replacements heading met first are ignored; a
  // second searches heading is an item; after the replacements heading every line is.
  const HistoryLists lists = ParseHistory(
      Lines({u"junk", kReplacementsHeading, kSearchesHeading, u"x", kSearchesHeading,
             kReplacementsHeading, kSearchesHeading, kReplacementsHeading, u" spaced "}) +
      u"last\rlone\ncr");
  EXPECT_EQ(lists.searches, (Items{u"x", std::u16string(kSearchesHeading)}));
  EXPECT_EQ(lists.replacements,
            (Items{std::u16string(kSearchesHeading), std::u16string(kReplacementsHeading),
                   u" spaced ", u"last", u"lone\ncr"}));
  EXPECT_TRUE(ParseHistory(Lines({u"a", u"b"})).searches.empty());
  EXPECT_EQ(ParseHistory(Lines({kSearchesHeading, u"a", u"b"})).searches, (Items{u"a", u"b"}));
}

TEST(HistoryFormat, AnItemLikeTheReplacementsHeadingMovesTheRestOnReading) {
  const HistoryLists written{{u"a", std::u16string(kReplacementsHeading), u"b"}, {u"c"}};
  const HistoryLists read = ParseHistory(FormatHistory(written));
  EXPECT_EQ(read.searches, (Items{u"a"}));
  EXPECT_EQ(read.replacements, (Items{u"b", std::u16string(kReplacementsHeading), u"c"}));
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
  EXPECT_EQ(LoadHistory(path).lists.searches, japanese.searches);

  const HistoryLists outside{{u"€ and 😀"}, {}};
  ASSERT_TRUE(SaveHistory(path, outside, false));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("\xEF\xBB\xBF[[[[C1]]]]"));
  file.close();
  const LoadedHistory loaded = LoadHistory(path);
  EXPECT_FALSE(loaded.unreadable);
  EXPECT_EQ(loaded.lists.searches, outside.searches);
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
  EXPECT_TRUE(loaded.lists.searches.empty());
  ASSERT_TRUE(SaveHistory(path, {{u"new"}, {}}, loaded.unreadable));
  ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
  EXPECT_EQ(earlier.readAll(), "set aside by an earlier run");
  QFile second(path + ".unreadable.2");
  ASSERT_TRUE(second.open(QIODevice::ReadOnly));
  EXPECT_TRUE(second.readAll().endsWith("\x82\r\n"));
  EXPECT_EQ(LoadHistory(path).lists.searches, Items{u"new"});
}

TEST(HistoryFile, AHistoryLinkedFromElsewhereStaysALink) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Quobrel.Ini");
  ASSERT_TRUE(QFile::link(dir.filePath("dotfiles.ini"), path));
  ASSERT_TRUE(SaveHistory(path, {{u"kept"}, {}}, false));
  EXPECT_TRUE(QFileInfo(path).isSymLink());
  EXPECT_EQ(LoadHistory(dir.filePath("dotfiles.ini")).lists.searches, Items{u"kept"});
}

// Root's history, led by links, files and folders of another user's (chown'ed here, as root
// may).
TEST(HistoryFile, IsNeverWrittenThroughAnotherUsersLinkOrOverTheirFileOrInTheirFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "files of another user are made as root";
  constexpr uid_t kOther = 65534;
  const QByteArray history("[[[[C1]]]]--- --- --- --- --- ---\r\nold\r\n");
  const auto names = [](const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                  QDir::Name);
  };
  struct Case {
    const char* what;
    bool link, fileThere;
    uid_t linkOwner, fileOwner, folderOwner;
  };
  for (const Case& c :
       {Case{"root's link to their file", true, true, 0, kOther, 0},
        Case{"root's link to nothing yet in their folder", true, false, 0, 0, kOther},
        Case{"their link to root's file", true, true, kOther, 0, 0},
        Case{"their link to their file", true, true, kOther, kOther, kOther},
        Case{"their link to nothing yet in their folder", true, false, kOther, 0, kOther},
        Case{"their file", false, true, 0, kOther, 0},
        Case{"nothing yet in their folder", false, false, 0, 0, kOther}}) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    // The history's folder, or the folder of dotfiles its link leads into.
    const QString folder = dir.filePath(c.link ? "dotfiles" : "config");
    const QString path = c.link ? dir.filePath("Quobrel.Ini") : folder + "/Quobrel.Ini";
    const QString file = c.link ? folder + "/quobrel.ini" : path;
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), c.folderOwner, c.folderOwner), 0);
    if (c.link) {
      ASSERT_TRUE(QFile::link(file, path));
      ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), c.linkOwner, c.linkOwner), 0);
    }
    QFile written(file);
    if (c.fileThere) {
      ASSERT_TRUE(written.open(QIODevice::WriteOnly));
      written.write(history);
      written.close();
      ASSERT_EQ(::chown(QFile::encodeName(file).constData(), c.fileOwner, c.fileOwner), 0);
    }
    EXPECT_FALSE(SaveHistory(path, {{u"new"}, {}}, false));
    if (c.fileThere) {
      ASSERT_TRUE(written.open(QIODevice::ReadOnly));
      EXPECT_EQ(written.readAll(), history);
      written.close();
    }
    EXPECT_EQ(QFileInfo(path).isSymLink(), c.link);
    const QStringList beside =
        c.link ? QStringList{"Quobrel.Ini", "dotfiles"} : QStringList{"config"};
    EXPECT_EQ(names(dir.path()), beside);
    EXPECT_EQ(names(folder), c.fileThere ? QStringList{QFileInfo(file).fileName()} : QStringList());
    // Nor read through a link whose user is not its file's.
    if (c.link && c.fileThere && c.linkOwner != c.fileOwner) {
      EXPECT_TRUE(LoadHistory(path).unreadable);
    }
  }
}

TEST(HistoryFile, AReadOnlyFileOrAFolderOthersMayWriteInIsNotRewritten) {
  QTemporaryDir dir;
  const QString readOnly = dir.filePath("Quobrel.Ini");
  ASSERT_TRUE(SaveHistory(readOnly, {{u"kept"}, {}}, false));
  ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
  EXPECT_FALSE(SaveHistory(readOnly, {{u"new"}, {}}, false));
  EXPECT_EQ(LoadHistory(readOnly).lists.searches, Items{u"kept"});

  // Without the sticky bit, anyone may replace the file in a folder they may write in.
  for (const mode_t mode : {0777, 0770, 01777}) {
    SCOPED_TRACE(mode);
    const QString folder = dir.filePath(QString::number(mode, 8));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), mode), 0);
    const QString path = folder + "/Quobrel.Ini";
    const bool sticky = (mode & S_ISVTX) != 0;
    EXPECT_EQ(SaveHistory(path, {{u"new"}, {}}, false), sticky);
    EXPECT_EQ(QFileInfo::exists(path), sticky);
  }
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
