#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoding/text_lines.h"
#include "files/file_list_filter.h"
#include "files/file_names.h"

namespace quobrel {
namespace {

TEST(FileNames, ExtensionIsWhatFollowsTheLastDotOfTheFileName) {
  EXPECT_EQ(GetExtension(u"memo.txt"), u"txt");
  EXPECT_EQ(GetExtension(u"archive.tar.gz"), u"gz");
  EXPECT_EQ(GetExtension(u".profile"), u"profile");
  EXPECT_EQ(GetExtension(u"name."), u"");
  EXPECT_EQ(GetExtension(u"DATA.TXT"), u"TXT");
  EXPECT_EQ(GetExtension(u"README"), u"");
  EXPECT_EQ(GetExtension(u"/home/v1.2/README"), u"");
  EXPECT_EQ(GetExtension(u"/home/v1.2/memo.txt"), u"txt");
}

TEST(FileNames, RefusedExtensionsIgnoreLetterCase) {
  for (const char16_t* refused :
       {u"backup.old", u"tool.exe", u"song.mp3", u"image.jpeg", u"sheet.xls", u"PHOTO.JPG",
        u"x.txt.old", u"A.OcA", u"memo.old.~1~", u"memo.OLD.~12~", u".old.~3~"}) {
    EXPECT_TRUE(IsRefused(refused)) << std::u16string(refused).size();
  }
  for (const char16_t* accepted :
       {u"page.html", u"memo.txt", u"data.csv", u"doc.doc", u"x.old.txt", u"README", u"oldfile",
        u"memo.old.~~", u"memo.old.~1a~", u"memo.txt.~1~", u"memo.old~1~"}) {
    EXPECT_FALSE(IsRefused(accepted));
  }
}

TEST(FileNames, BackupNameReplacesTheExtensionByOld) {
  EXPECT_EQ(BackupName("/work/memo.txt"), "/work/memo.old");
  EXPECT_EQ(BackupName("A.B.TXT"), "A.B.old");
  EXPECT_EQ(BackupName("notes.html"), "notes.old");
  EXPECT_EQ(BackupName("/a.d/README"), "/a.d/README.old");
  EXPECT_EQ(BackupName("name."), "name.old");
  // A dotfile keeps its whole name, so that .bashrc and .profile do not share ".old".
  EXPECT_EQ(BackupName("/home/u/.bashrc"), "/home/u/.bashrc.old");
  EXPECT_EQ(BackupName(".foo.txt"), ".foo.old");
}

TEST(FileNames, PrintableNamesSpellOutEveryControlCharacter) {
  EXPECT_EQ(PrintableName("a\x1b[2Jb\x07\n\x7f.txt"), "a\\x1b[2Jb\\x07\\x0a\\x7f.txt");
  EXPECT_EQ(PrintableName("csi\xC2\x9B nel\xC2\x85"), "csi\\xc2\\x9b nel\\xc2\\x85");
  EXPECT_EQ(PrintableName("lone\x9B"), "lone\\x9b");  // CSI to a Latin-1 terminal
  // What is no control stays as it is: UTF-8, U+00A0 and up, other bytes that are no UTF-8.
  for (const char* kept : {"メモ.txt", "\xC2\xA0nbsp", "lat\xE9.txt", "\xFF", "back\\slash"})
    EXPECT_EQ(PrintableName(kept), kept);
}

TEST(FileNames, NumberedBackupsAreToldByTheirNumber) {
  EXPECT_EQ(NumberedBackupName("memo.old", 3), "memo.old.~3~");
  EXPECT_EQ(BackupNumber("memo.old.~3~", "memo.old"), 3u);
  EXPECT_EQ(BackupNumber("memo.old.~12~", "memo.old"), 12u);
  for (const char* other : {"memo.old", "memo.old.~~", "memo.old.~x~", "memo.old.~1",
                            "xmemo.old.~1~", "memo.old.~1~~"}) {
    EXPECT_EQ(BackupNumber(other, "memo.old"), 0u) << other;
  }
}

TEST(FileListFilter, DeselectsEveryRefusedEntry) {
  struct List : SelectableFileList {
    std::vector<std::u16string> names{u"PHOTO.JPG", u"memo.txt", u"", u"a.exe"};
    std::vector<bool> selected{true, true, true, false};
    int EntryCount() const override { return static_cast<int>(names.size()); }
    std::u16string Entry(int i) const override { return names[i]; }
    void Deselect(int i) override { selected[i] = false; }
  } list;
  DeselectRefusedFiles(list);
  EXPECT_EQ(list.selected, (std::vector<bool>{false, true, true, false}));
}

TEST(TextLines, EndAtCrLfOrALoneCr) {
  using Lines = std::vector<std::u16string_view>;
  EXPECT_EQ(SplitLines(u"a\r\nb\rc\nd\r\n"), (Lines{u"a", u"b", u"c\nd"}));
  EXPECT_EQ(SplitLines(u"last"), (Lines{u"last"}));
  EXPECT_EQ(SplitLines(u"\r\n\r\n"), (Lines{u"", u""}));
  EXPECT_EQ(SplitLines(u""), Lines{});
}

}  // namespace
}  // namespace quobrel
