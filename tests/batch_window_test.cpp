// What the window tells of a batch and lets the user do with it: the failures named at the
// end, Escape to stop it, and the line of the file under way kept in view with its progress.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <string>

#include "app/folder_lists.h"
#include "app/output_folder_label.h"
#include "app/status_list_view.h"
#include "tests/window_test_support.h"

namespace quobrel {
namespace {

using testing::AnswerMessageBox;

const QByteArray kHalfKana = "\xB6\xDE\xAF\xBA\xB3";  // ｶﾞｯｺｳ in code page 932
const QByteArray kFullKana = "\x83\x4B\x83\x62\x83\x52\x83\x45\r\n";

class BatchWindow : public ::testing::Test, public testing::WindowFixture {
 protected:
  void SetUp() override { ChooseTab(1); }

  QString PathOf(const QString& name) const { return QDir(folder.path()).filePath(name); }
  void Write(const QString& name, const QByteArray& bytes) const {
    QFile file(PathOf(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Read(const QString& name) const {
    QFile file(PathOf(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // Lists the folder, selects every file in it, and runs the batch; `whileUnderWay` runs
  // once the file of line `row` is under way. The status lines are kept.
  testing::SeenMessage RunOnAll(const std::function<void()>& whileUnderWay = {}, int row = 0) {
    Find<FolderList>("Dir1")->setPath(folder.path());
    auto* files = Find<QListWidget>("File1");
    for (int i = 0; i < files->count(); ++i) files->item(i)->setSelected(true);
    if (whileUnderWay) WhenUnderWay(whileUnderWay, row);
    return AnswerMessageBox([&] { Click("Command4"); }, [&] { lines = Lines(); });
  }
  // Its line shows a step under way: reading, converting, storing.
  void WhenUnderWay(const std::function<void()>& action, int row) {
    QTimer::singleShot(0, [this, action, row] {
      if (Lines().value(row).contains(QStringLiteral("：ファイル"))) {
        action();
      } else {
        WhenUnderWay(action, row);
      }
    });
  }
  QStringList Lines() {
    QStringList shown;
    auto* status = Find<QListWidget>("LMPath");
    for (int i = 0; i < status->count(); ++i) shown << status->item(i)->text();
    return shown;
  }

  QStringList lines;

  QTemporaryDir folder;
};

TEST_F(BatchWindow, TheEndOfABatchNamesTheFilesNotDone) {
  Write("a.txt", kHalfKana);
  EXPECT_EQ(RunOnAll().text, QStringLiteral("全ての変換が終了しました。"));
  // A file left as it was because nothing changed counts as done.
  EXPECT_EQ(RunOnAll().text, QStringLiteral("全ての変換が終了しました。"));

  for (int i = 0; i < 12; ++i)
    Write(QStringLiteral("bad%1.txt").arg(i, 2, 10, QChar('0')), "ok\xFF\xFF");
  const testing::SeenMessage seen = RunOnAll();
  EXPECT_EQ(seen.title, QStringLiteral("変換終了通知"));
  QString expected = QStringLiteral("全ての処理が終了しました。\n変換できなかったファイル：12件");
  for (int i = 0; i < 10; ++i) {
    expected += QStringLiteral("\nbad%1.txt：文字コードが正しくないため変換しません。")
                    .arg(i, 2, 10, QChar('0'));
  }
  EXPECT_EQ(seen.text, expected + QStringLiteral("\nほか2件"));
}

TEST_F(BatchWindow, EscapeStopsABatchAndFinishesOnlyASmallFileUnderWay) {
  // Pressed while b.txt, of 16 MB or less, is under way: it is finished, c.txt is not begun,
  // and the end names what could not be done before all the same.
  const auto escape = [this] { QTest::keyClick(Find<QWidget>("LMPath"), Qt::Key_Escape); };
  const QByteArray filler(8 << 20, 'a');
  Write("a.txt", "ok\xFF\xFF");
  Write("b.txt", filler + kHalfKana);
  Write("c.txt", kHalfKana);
  testing::SeenMessage seen = RunOnAll(escape, 1);
  EXPECT_EQ(seen.text, QStringLiteral("変換を中止しました。\n変換したファイル：1件\n"
                                      "変換できなかったファイル：1件\n"
                                      "a.txt：文字コードが正しくないため変換しません。"));
  EXPECT_EQ(lines.value(2), QStringLiteral("c.txt：変換を中止しました。"));
  EXPECT_EQ(Read("b.txt"), filler + kFullKana);
  EXPECT_EQ(Read("c.txt"), kHalfKana);
  EXPECT_FALSE(QFile::exists(PathOf("c.old")));

  // A larger one is dropped whole: no temporary file, no backup.
  QDir(folder.path()).removeRecursively();
  QDir().mkpath(folder.path());
  Write("big.txt", QByteArray(17 << 20, 'a') + kHalfKana);
  seen = RunOnAll(escape);
  EXPECT_EQ(seen.text, QStringLiteral("変換を中止しました。\n変換したファイル：0件"));
  EXPECT_EQ(lines, (QStringList{QStringLiteral("big.txt：変換を中止しました。"),
                                QStringLiteral("全て変換終了")}));
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.txt"});
}

TEST(StatusList, KeepsTheFileUnderWayInViewWithItsProgress) {
  QListWidget list;
  list.resize(200, 60);
  for (int i = 0; i < 50; ++i) list.addItem(QStringLiteral("/folder/file%1.txt").arg(i));
  list.show();
  QCheckBox check;
  QWidget parent;
  OutputFolderLabel label(&parent);
  StatusListView::Clock::time_point now{};
  StatusListView view(
      &list, &check, &label, [] { return false; }, [] { return false; }, [&] { return now; });
  using namespace std::chrono_literals;

  view.SetStatusLine(40, {"file40.txt", FileStatus::Converting});
  EXPECT_TRUE(list.viewport()->rect().intersects(list.visualItemRect(list.item(40))));
  auto progress = [&](std::uint64_t read) {
    view.ShowProgress({0, 50, read, BatchProgress::File{40, read, 200}});
    return list.item(40)->text();
  };
  EXPECT_EQ(progress(10), QStringLiteral("file40.txt：ファイル変換中"));  // under a second
  now += 1100ms;
  EXPECT_EQ(progress(84), QStringLiteral("file40.txt：ファイル変換中 42%"));
  now += 200ms;  // not yet again
  EXPECT_EQ(progress(100), QStringLiteral("file40.txt：ファイル変換中 42%"));
  now += 100ms;
  EXPECT_EQ(progress(200), QStringLiteral("file40.txt：ファイル変換中 100%"));
  // The next step of the file shows as it is.
  view.SetStatusLine(40, {"file40.txt", FileStatus::Storing});
  EXPECT_EQ(progress(200), QStringLiteral("file40.txt：ファイル格納中"));
}

}  // namespace
}  // namespace quobrel
