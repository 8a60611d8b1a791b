// The window without a mouse and through a screen reader: where Tab goes, what Space, Enter
// and F5 do, typing to find in the lists, and a name for every control.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

#include "app/folder_lists.h"
#include "tests/window_test_support.h"

namespace quobrel {
namespace {

using testing::InModalDialog;

class WindowAccess : public ::testing::Test, public testing::WindowFixture {
 protected:
  // The controls Tab reaches from `start`, by name, until it comes back to it.
  QStringList TabStops(QWidget* start, int most = 60) {
    start->setFocus();
    QStringList stops;
    for (int step = 0; step < most; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      if (focus == start) break;
      stops << (focus->objectName().isEmpty() ? focus->metaObject()->className()
                                              : focus->objectName());
    }
    return stops;
  }
  void WriteFile(const QString& name) {
    QFile(QDir(folder.path()).filePath(name)).open(QIODevice::WriteOnly);
  }
  QTemporaryDir folder;
};

TEST_F(WindowAccess, TabGoesDownTheLeftColumnThenTheRightThenTheTab) {
  // The radio buttons of a group are one stop; arrows move within it.
  EXPECT_EQ(TabStops(Find<QWidget>("SPO1")),
            (QStringList{"EOM1", "KO1", "SO1", "EO1", "QTabBar", "Text1", "Text2", "Command1",
                         "Command2"}));
  ChooseTab(1);
  Click("HenC1");  // its icon shows
  EXPECT_EQ(TabStops(Find<QWidget>("FileEncoding1")),
            (QStringList{"Text6", "Drive1", "Dir1", "File1", "HenC1", "Image2", "Command4",
                         "Command3", "SPO1", "EOM1", "KO1", "SO1", "EO1", "QTabBar"}));
  ChooseTab(2);
  EXPECT_EQ(TabStops(Find<QWidget>("C1")),
            (QStringList{"C2", "CO1", "CO2", "QTabBar", "Text3", "Text4", "Command6", "Command7"}));
}

TEST_F(WindowAccess, SpaceAndEnterPressWhatHasTheFocus) {
  Find<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("ｶﾞ"));
  QTest::keyClick(Find<QWidget>("Command1"), Qt::Key_Return);
  EXPECT_EQ(Find<QPlainTextEdit>("Text2")->toPlainText(), QStringLiteral("ガ"));

  ChooseTab(1);
  Click("HenC1");
  for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
    bool closed = false;
    // In the dialog too, Enter presses the button in focus: here キャンセル.
    InModalDialog([&] { QTest::keyClick(Find<QWidget>("Image2"), key); },
                  [&](QWidget* dialog) {
                    EXPECT_EQ(dialog->objectName(), "QuobrelCD2");
                    QTest::keyClick(dialog->findChild<QWidget*>("Command2"), Qt::Key_Return);
                    closed = dialog->isHidden();
                    if (!closed) dialog->close();
                  });
    EXPECT_TRUE(closed) << key;
  }
}

TEST_F(WindowAccess, F5ReadsTheFolderAnewAndTypingFindsAnEntry) {
  ChooseTab(1);
  QDir(folder.path()).mkdir("sub");
  WriteFile("memo.txt");
  Find<FolderList>("Dir1")->setPath(folder.path());
  auto* files = Find<QListWidget>("File1");
  ASSERT_EQ(files->count(), 1);
  WriteFile("another.txt");
  QFile::remove(QDir(folder.path()).filePath("memo.txt"));
  QTest::keyClick(files, Qt::Key_F5);
  ASSERT_EQ(files->count(), 1);
  EXPECT_EQ(files->item(0)->text(), "another.txt");

  WriteFile("memo.txt");
  QTest::keyClick(files, Qt::Key_F5);
  files->setFocus();
  QTest::keyClicks(files, "me");
  EXPECT_EQ(files->currentItem()->text(), "memo.txt");
  // The folders stand indented by their depth: found by their names all the same.
  auto* folders = Find<QListWidget>("Dir1");
  folders->setFocus();
  QTest::keyClicks(folders, "su");
  EXPECT_EQ(folders->currentItem()->text().trimmed(), "sub");
  // F5 on a folder that is gone says so.
  QDir(folder.path()).removeRecursively();
  EXPECT_TRUE(testing::AnswerMessageBox([&] {
                QTest::keyClick(files, Qt::Key_F5);
              }).text.contains(QStringLiteral("読み取ることができません")));
}

TEST_F(WindowAccess, EveryControlHasAName) {
  auto nameOf = [](QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible == nullptr ? QString() : accessible->text(QAccessible::Name);
  };
  for (int tab = 0; tab < 4; ++tab) {
    ChooseTab(tab);
    for (QWidget* widget : Main().findChildren<QWidget*>()) {
      if (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty()) continue;
      EXPECT_FALSE(nameOf(widget).isEmpty()) << widget->objectName().toStdString();
    }
  }
  EXPECT_EQ(nameOf(Find<QWidget>("File1")), QStringLiteral("変換元ファイル一覧"));
  EXPECT_EQ(nameOf(Find<QWidget>("LMPath2")), QStringLiteral("処理結果"));
  EXPECT_EQ(nameOf(Find<QWidget>("HenC1")), QStringLiteral("変換先フォルダの指定"));
  EXPECT_EQ(nameOf(Find<QWidget>("Text3")), QStringLiteral("変換元データ"));
}

}  // namespace
}  // namespace quobrel
