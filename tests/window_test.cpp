#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/folder_lists.h"
#include "app/output_folder_label.h"
#include "app/qt_translations.h"
#include "tests/window_test_support.h"

namespace quobrel {
namespace {

using testing::AnswerMessageBox;
using testing::InModalDialog;

class Window : public ::testing::Test, public testing::WindowFixture {
 protected:
  // The place of a top-level control in the window's front-to-back order.
  int Depth(const char* name) { return Main().children().indexOf(Find<QWidget>(name)); }
  QPlainTextEdit* Box(const char* name) { return Find<QPlainTextEdit>(name); }
  // Every character of a box (toPlainText would show a no-break space as a space).
  QString Raw(const char* name) {
    return Box(name)->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
  }
  QStringList Items(const char* name) {
    QStringList items;
    auto* box = Find<QComboBox>(name);
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
};

TEST_F(Window, StartsOnTheConversionTextTab) {
  EXPECT_TRUE(Main().windowTitle().startsWith("Quobrel Ver 2.09"));
  for (const char* label : {"LT", "LT2", "Label6"})
    EXPECT_EQ(Find<QLabel>(label)->text(), "Quobrel Ver 2.09");
  auto* tabs = Main().findChild<QTabBar*>();
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(tabs->tabText(2), QStringLiteral("Lunesq（TextBox）&3"));
  EXPECT_GT(Depth("Picture3"), Depth("Picture4"));
  EXPECT_GT(Depth("PK"), Depth("Picture3"));
  EXPECT_EQ(Find<QLabel>("PKL")->text(), "(TextBox)");
  EXPECT_FALSE(Main().rect().intersects(Find<QWidget>("Picture1")->geometry()));
  for (const char* selected : {"KO1", "SO3", "EO3", "EOM3", "SPO1"}) {
    EXPECT_TRUE(Find<QRadioButton>(selected)->isChecked()) << selected;
  }
  EXPECT_TRUE(Find<QCheckBox>("CO1")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("CO2")->isChecked());
  EXPECT_FALSE(Find<QWidget>("T1")->isVisible());
  EXPECT_FALSE(Find<QWidget>("LMPath")->isVisible());
  // Every tab whole within the bar, underlined access keys included.
  EXPECT_GE(tabs->height(), tabs->sizeHint().height());
  for (int i = 0; i < tabs->count(); ++i) EXPECT_TRUE(tabs->rect().contains(tabs->tabRect(i))) << i;
}

TEST_F(Window, TabsBringTheirPanelAndBannerToTheFront) {
  ChooseTab(2);
  EXPECT_GT(Depth("Picture4"), Depth("Picture3"));
  EXPECT_GT(Depth("PM"), Depth("PK"));
  EXPECT_EQ(Find<QLabel>("PML")->text(), "(TextBox)");
  ChooseTab(3);
  EXPECT_EQ(Find<QLabel>("PML")->text(), "(Files)");
  Find<QRadioButton>("EOM1")->click();
  // The access keys: Alt+2 turns to the conversion file tab.
  QTest::keyClick(&Main(), Qt::Key_2, Qt::AltModifier);
  EXPECT_EQ(Main().findChild<QTabBar*>()->currentIndex(), 1);
  EXPECT_GT(Depth("Picture3"), Depth("Picture4"));
  EXPECT_EQ(Find<QLabel>("PKL")->text(), "(Files)");
  EXPECT_TRUE(Find<QRadioButton>("EOM1")->isChecked());
}

TEST_F(Window, ConvertButtonConvertsText1IntoText2) {
  Box("Text1")->setPlainText(QStringLiteral("ｶﾞｷﾞｸﾞ a  b\n  \n \u00A0x"));
  Click("Command1");
  // A line break between spaces ends their run; the code-160 character pairs with a space.
  EXPECT_EQ(Box("Text2")->toPlainText(), QStringLiteral("ガギグ a　b\n　\n　x"));
  // The text boxes keep the code-160 character as it is.
  Find<QRadioButton>("SPO3")->click();
  Click("Command1");
  EXPECT_EQ(Raw("Text2"), QStringLiteral("ガギグ a  b\n  \n \u00A0x"));
  Find<QRadioButton>("SPO4")->click();
  Find<QRadioButton>("KO3")->click();
  Box("Text1")->setPlainText("copy\nas is");
  Click("Command1");
  EXPECT_EQ(Box("Text2")->toPlainText(), "copy\nas is");
}

TEST_F(Window, EachOptionButtonConvertsAsItsCaptionSays) {
  Box("Text1")->setPlainText(QStringLiteral("1１aＡbｂｶﾞガ  　"));
  struct Case {
    const char* button;
    const char* startUp;  // of its group, clicked again after it
    QString expected;
  };
  const Case cases[] = {
      {"SO1", "SO3", "１１aＡbｂガガ　　"},    {"SO2", "SO3", "11aＡbｂガガ　　"},
      {"EO1", "EO3", "1１ａＡｂｂガガ　　"},   {"EO2", "EO3", "1１aAbbガガ　　"},
      {"KO2", "KO1", "1１aＡbｂｶﾞｶﾞ　　"},     {"KO3", "KO1", "1１aＡbｂｶﾞガ　　"},
      {"EOM1", "EOM3", "1１AＡBＢガガ　　"},   {"EOM2", "EOM3", "1１aａbｂガガ　　"},
      {"EOM11", "EOM3", "1１aＡbＢガガ　　"},  {"EOM12", "EOM3", "1１AＡBｂガガ　　"},
      {"EOM21", "EOM3", "1１aａbｂガガ　　"},  {"EOM22", "EOM3", "1１aＡbｂガガ　　"},
      {"SPO2", "SPO1", "1１aＡbｂガガ　　　"}, {"SPO3", "SPO1", "1１aＡbｂガガ   "},
      {"SPO4", "SPO1", "1１aＡbｂガガ  　"},
  };
  for (const Case& c : cases) {
    Find<QRadioButton>(c.button)->click();
    Click("Command1");
    EXPECT_EQ(Box("Text2")->toPlainText(), c.expected) << c.button;
    Find<QRadioButton>(c.startUp)->click();
  }
}

TEST_F(Window, ReplaceButtonReplacesAndKeepsTheHistory) {
  ChooseTab(2);
  Box("Text3")->setPlainText("abcABC\nabc");
  Find<QComboBox>("C1")->setEditText("abc");
  Find<QComboBox>("C2")->setEditText("x");
  Click("Command6");
  EXPECT_EQ(Box("Text4")->toPlainText(), "xx\nx");
  Find<QCheckBox>("CO1")->click();
  Find<QComboBox>("C1")->setEditText("ABC");
  Click("Command6");
  EXPECT_EQ(Box("Text4")->toPlainText(), "abcx\nabc");
  Click("Command6");
  EXPECT_EQ(Items("C1"), (QStringList{"abc", "ABC"}));
  EXPECT_EQ(Items("C2"), QStringList{"x"});

  // Multi-line: the boxes over the combo boxes, a search across a line break.
  Find<QCheckBox>("CO2")->click();
  EXPECT_TRUE(Find<QWidget>("T1")->isVisible());
  Box("T1")->setPlainText("C\nab");
  Box("T2")->setPlainText("-");
  Click("Command6");
  EXPECT_EQ(Box("Text4")->toPlainText(), "abcAB-c");
  EXPECT_EQ(Items("C1").size(), 2);
  Find<QCheckBox>("CO2")->click();
  EXPECT_FALSE(Find<QWidget>("T1")->isVisible());
  EXPECT_EQ(Find<QComboBox>("C1")->currentText(), "");
  EXPECT_EQ(Box("T1")->toPlainText(), "C\nab");
}

// Types into a box as a person does: focus, select what is there, type, leave with Tab.
void Type(QWidget* box, const QString& text) {
  box->setFocus();
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Tab);
}

TEST_F(Window, SearchBoxesKeepWhatWasTyped) {
  ChooseTab(2);
  auto* search = Find<QComboBox>("C1");
  auto* replacement = Find<QComboBox>("C2");
  Box("Text3")->setPlainText("abc ABC ab");
  auto replace = [&](const QString& what, const QString& with) {
    Type(search->lineEdit(), what);
    Type(replacement->lineEdit(), with);
    Click("Command6");
    return Box("Text4")->toPlainText();
  };
  EXPECT_EQ(replace("abc", "xyz"), "xyz xyz ab");  // "abc" and "xyz" in the history now
  Click("CO1");                                    // letter case counts
  EXPECT_EQ(replace("ABC", "XY"), "abc XY ab");
  EXPECT_EQ(search->currentText(), "ABC");
  EXPECT_EQ(replace("ab", "x"), "xc ABC x");  // a prefix of a history item, as typed
  EXPECT_EQ(replacement->currentText(), "x");
  EXPECT_EQ(Items("C1"), (QStringList{"abc", "ABC", "ab"}));
  EXPECT_EQ(Items("C2"), (QStringList{"xyz", "XY", "x"}));
}

TEST_F(Window, KeysReachOnlyTheControlsInSight) {
  // What the panel behind holds, before and after: it must not change.
  auto hiddenState = [&](const char* panel) {
    QStringList state;
    for (QAbstractButton* button : Find<QWidget>(panel)->findChildren<QAbstractButton*>())
      state << button->objectName() + (button->isChecked() ? "+" : "-");
    for (QComboBox* box : Find<QWidget>(panel)->findChildren<QComboBox*>())
      state << box->currentText();
    return state;
  };
  for (int tab = 0; tab < 4; ++tab) {
    ChooseTab(tab);
    const char* behind = tab < 2 ? "Picture4" : "Picture3";
    const QStringList before = hiddenState(behind);
    Main().findChild<QTabBar*>()->setFocus();
    for (int step = 0; step < 40; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      ASSERT_NE(focus, nullptr);
      EXPECT_TRUE(focus->isVisible()) << tab << " " << focus->objectName().toStdString();
      EXPECT_FALSE(Find<QWidget>(behind)->isAncestorOf(focus)) << tab;
      // Space toggles what has the focus; buttons that run commands are passed by.
      if (qobject_cast<QCheckBox*>(focus) || qobject_cast<QRadioButton*>(focus))
        QTest::keyClick(focus, Qt::Key_Space);
      QTest::keyClicks(focus, "z");
    }
    EXPECT_EQ(hiddenState(behind), before) << tab;
  }
}

TEST_F(Window, TabLeavesATextBoxAndCtrlTabTypesATab) {
  QPlainTextEdit* source = Box("Text1");
  source->setFocus();
  QTest::keyClicks(source, "a");
  QTest::keyClick(source, Qt::Key_Tab, Qt::ControlModifier);
  QTest::keyClick(source, Qt::Key_Tab);
  EXPECT_EQ(source->toPlainText(), "a\t");
  EXPECT_NE(QApplication::focusWidget(), source);
}

TEST_F(Window, TheOptionBoxesLieWithinTheirFrame) {
  ChooseTab(2);
  auto* frame = Find<QWidget>("Frame6");
  for (const char* name : {"CO1", "CO2"}) {
    EXPECT_GE(Find<QWidget>(name)->y(), frame->contentsRect().top()) << name;
    EXPECT_LE(Find<QWidget>(name)->geometry().bottom(), frame->contentsRect().bottom()) << name;
  }
}

TEST_F(Window, HistorySurvivesARestart) {
  ChooseTab(2);
  Box("Text3")->setPlainText("text");
  for (auto [search, replacement] : {std::pair{"ｶﾞ", "ガ"}, std::pair{"€", "x"}}) {
    Find<QComboBox>("C1")->setEditText(QString::fromUtf8(search));
    Find<QComboBox>("C2")->setEditText(QString::fromUtf8(replacement));
    Click("Command6");
  }
  Restart();
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(QFile::exists(QDir(HistoryFolder()).filePath("Quobrel.Ini")));
  EXPECT_EQ(Items("C1"), (QStringList{QStringLiteral("ｶﾞ"), QStringLiteral("€")}));
  EXPECT_EQ(Items("C2"), (QStringList{QStringLiteral("ガ"), "x"}));
}

TEST_F(Window, DoubleClickCountsTheCharacters) {
  Box("Text1")->setPlainText("ab\nc");
  const auto seen =
      AnswerMessageBox([&] { QTest::mouseDClick(Box("Text1")->viewport(), Qt::LeftButton); });
  EXPECT_EQ(seen.title, QStringLiteral("情報"));
  EXPECT_EQ(seen.text, QStringLiteral("5文字のデータが入ってます。"));
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  // Characters, not UTF-16 units: 𠮷 and 😀 are one each, ｶ and ﾞ two.
  Box("Text2")->setPlainText(QStringLiteral("𠮷野家😀ｶﾞ"));
  EXPECT_EQ(
      AnswerMessageBox([&] { QTest::mouseDClick(Box("Text2")->viewport(), Qt::LeftButton); }).text,
      QStringLiteral("6文字のデータが入ってます。"));
  ChooseTab(2);
  EXPECT_EQ(
      AnswerMessageBox([&] { QTest::mouseDClick(Box("Text3")->viewport(), Qt::LeftButton); }).text,
      QStringLiteral("0文字のデータが入ってます。"));
  EXPECT_EQ(Box("Text1")->toPlainText(), "ab\nc");
}

TEST_F(Window, QtsOwnWordsAreInTheUsersLanguage) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  EXPECT_TRUE(InstallQtTranslations(*QCoreApplication::instance()))
      << "Qt's translations (qt6-translations-l10n) are needed";
  const std::unique_ptr<QMenu> menu(Box("Text1")->createStandardContextMenu());
  EXPECT_TRUE(menu->actions().value(0)->text().startsWith(QStringLiteral("元に戻す(&U)")));
  // The other tests read Qt's words in English.
  QLocale::setDefault(before);
  for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>())
    QCoreApplication::removeTranslator(translator);
}

class FileTab : public Window {
 protected:
  void SetUp() override {
    for (const char* name : {"PHOTO.JPG", "memo.txt", "it's a file.txt", "x.txt.old"}) {
      QFile(QDir(folder.path()).filePath(name)).open(QIODevice::WriteOnly);
    }
    ChooseTab(1);
    Find<FolderList>("Dir1")->setPath(folder.path());
  }
  QListWidgetItem* Entry(const QString& name) {
    return Find<QListWidget>("File1")->findItems(name, Qt::MatchExactly).value(0);
  }
  QTemporaryDir folder;
};

TEST_F(FileTab, ListsTheFolderAndRefusesBinaryAndBackupFiles) {
  auto* files = Find<QListWidget>("File1");
  ASSERT_EQ(files->count(), 4);
  auto clickEntry = [&](const char* name, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(files->viewport(), Qt::LeftButton, modifiers,
                      files->visualItemRect(Entry(name)).center());
  };
  clickEntry("memo.txt", {});
  clickEntry("PHOTO.JPG", Qt::ControlModifier);
  clickEntry("x.txt.old", Qt::ControlModifier);
  EXPECT_TRUE(Entry("memo.txt")->isSelected());
  EXPECT_FALSE(Entry("PHOTO.JPG")->isSelected());
  EXPECT_FALSE(Entry("x.txt.old")->isSelected());

  Find<QLineEdit>("Text6")->clear();
  QTest::keyClicks(Find<QLineEdit>("Text6"), "*.TXT;*.jpg");
  EXPECT_EQ(files->count(), 3);
  EXPECT_EQ(Entry("x.txt.old"), nullptr);
}

TEST_F(FileTab, DoubleClickOpensTheFileInTheEditor) {
  const QString log = QDir(folder.path()).filePath("editor.log");
  const QString script = QDir(folder.path()).filePath("editor.sh");
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"" +
             log.toUtf8() + "\"\n");
  file.close();
  file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
  qputenv("QUOBREL_EDITOR", script.toUtf8());
  auto* files = Find<QListWidget>("File1");
  const QPoint entry = files->visualItemRect(Entry("it's a file.txt")).center();
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, entry);  // a double-click's first press
  QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, entry);
  qunsetenv("QUOBREL_EDITOR");
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(log); }));
  QFile written(log);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(written.readAll()),
            "1|" + QDir(folder.path()).filePath("it's a file.txt") + "|");
}

TEST_F(FileTab, OutputFolderDialogWritesTheLabelOfItsTab) {
  EXPECT_FALSE(Find<QWidget>("LO")->isVisible());
  Click("HenC1");
  EXPECT_TRUE(Find<QWidget>("LO")->isVisible() && Find<QWidget>("Image2")->isVisible());
  auto choose = [&](const char* label, const QString& path, const char* button) {
    InModalDialog([&] { QTest::mouseDClick(Find<QWidget>(label), Qt::LeftButton); },
                  [&](QWidget* dialog) {
                    ASSERT_NE(dialog, nullptr);
                    EXPECT_EQ(dialog->objectName(), "QuobrelCD2");
                    dialog->findChild<FolderList*>("Dir1")->setPath(path);
                    QTest::mouseClick(dialog->findChild<QAbstractButton*>(button), Qt::LeftButton);
                  });
  };
  const QString prompt = Find<QLabel>("LO2")->text();
  choose("LO", folder.path(), "CS");
  EXPECT_EQ(Find<QLabel>("LO")->text(), folder.path() + "/");
  EXPECT_EQ(Find<QLabel>("LO2")->text(), prompt);
  choose("Image2", "/", "CS");
  EXPECT_EQ(Find<QLabel>("LO")->text(), "/");
  choose("LO", folder.path(), "Command2");
  EXPECT_EQ(Find<QLabel>("LO")->text(), "/");

  ChooseTab(3);
  Click("HenC2");
  choose("LO2", folder.path(), "CS");
  EXPECT_EQ(Find<QLabel>("LO2")->text(), folder.path() + "/");
  EXPECT_EQ(Find<QLabel>("LO")->text(), "/");
}

// The lines of a status list.
QStringList Lines(QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

TEST_F(FileTab, ConversionBatchShowsItsProgressAndReturnsToTheLists) {
  QFile memo(QDir(folder.path()).filePath("memo.txt"));
  ASSERT_TRUE(memo.open(QIODevice::WriteOnly));
  memo.write("\xB6\xDE\xAF\xBA\xB3");  // ｶﾞｯｺｳ in code page 932
  memo.close();
  auto* files = Find<QListWidget>("File1");
  Entry("memo.txt")->setSelected(true);
  Entry("it's a file.txt")->setSelected(true);

  // While the batch runs: its view, a second start and the exit button ignored, and a
  // turn to another tab that changes nothing for the files.
  bool batchView = false;
  QPoint cover;
  QTimer::singleShot(0, [&] {
    batchView = Find<QWidget>("LMPath")->isVisible() && !Find<QWidget>("Dir1")->isVisible() &&
                !Find<QWidget>("Drive1")->isVisible() && Find<QWidget>("P11")->isVisible();
    cover = Find<QWidget>("Picture1")->pos();
    Click("Command4");
    Click("Command3");
    ChooseTab(0);
  });
  QStringList lines;
  const auto seen = AnswerMessageBox([&] { Click("Command4"); },
                                     [&] { lines = Lines(Find<QListWidget>("LMPath")); });
  EXPECT_TRUE(batchView);
  EXPECT_EQ(cover, QPoint(8, 8));
  EXPECT_FALSE(Ended());
  EXPECT_EQ(seen.title, QStringLiteral("変換終了通知"));
  EXPECT_EQ(seen.text, QStringLiteral("全ての変換が終了しました。"));
  EXPECT_EQ(lines,
            (QStringList{QStringLiteral("it's a file.txt：変換終了"),
                         QStringLiteral("memo.txt：変換終了"), QStringLiteral("全て変換終了")}));
  ASSERT_TRUE(memo.open(QIODevice::ReadOnly));
  EXPECT_EQ(memo.readAll(), "\x83\x4B\x83\x62\x83\x52\x83\x45\r\n");  // ガッコウ
  EXPECT_FALSE(Find<QWidget>("LMPath")->isVisible());
  EXPECT_EQ(Find<QListWidget>("LMPath")->count(), 0);
  EXPECT_FALSE(Main().findChild<QWidget*>("Picture1")->geometry().intersects(Main().rect()));
  EXPECT_NE(Entry("memo.old"), nullptr);
  EXPECT_FALSE(files->isHidden());  // shown again on its tab, though another tab is in front
}

TEST_F(FileTab, ANameTheLocaleCannotDecodeStillReachesItsFile) {
  const std::string folderBytes = QFile::encodeName(folder.path()).toStdString();
  std::ofstream(folderBytes + "/lat\xE9.txt", std::ios::binary)
      << "\xB6\xDE\xAF\xBA\xB3";  // not UTF-8
  // A name with control characters in it is spelt out on its status line.
  std::ofstream(folderBytes + "/esc\x1b[31m\n.txt", std::ios::binary) << "\xB6";
  Find<FileList>("File1")->refresh();
  for (const QString& name :
       {QStringLiteral("lat\uFFFD.txt"), QStringLiteral("esc\x1b[31m\n.txt")}) {
    QListWidgetItem* entry = Entry(name);
    ASSERT_NE(entry, nullptr) << name.toStdString();
    entry->setSelected(true);
  }
  QStringList lines;
  AnswerMessageBox([&] { Click("Command4"); }, [&] { lines = Lines(Find<QListWidget>("LMPath")); });
  EXPECT_EQ(lines.value(0), QStringLiteral("esc\\x1b[31m\\x0a.txt：変換終了"));
  EXPECT_EQ(lines.value(1), QStringLiteral("lat\uFFFD.txt：変換終了"));
  std::ifstream converted(folderBytes + "/lat\xE9.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(converted), {}),
            "\x83\x4B\x83\x62\x83\x52\x83\x45\r\n");
  EXPECT_TRUE(std::filesystem::exists(folderBytes + "/lat\xE9.old"));
  // Qt removes files by their decoded names, which these are not.
  std::filesystem::remove(folderBytes + "/lat\xE9.txt");
  std::filesystem::remove(folderBytes + "/lat\xE9.old");
}

TEST_F(FileTab, TheChosenEncodingAndTheFilesLineBreaksDriveTheBatch) {
  const QDir dir(folder.path());
  auto write = [&](const char* name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  };
  auto read = [&](const char* name) {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  auto convert = [&](const char* name) {
    Find<FileList>("File1")->refresh();
    Entry(name)->setSelected(true);
    QStringList lines;
    AnswerMessageBox([&] { Click("Command4"); },
                     [&] { lines = Lines(Find<QListWidget>("LMPath")); });
    return lines.value(0);
  };
  // ｶﾞ in code page 932, a kanji in EUC-JP: one character decides nothing.
  write("either.txt", "\xB6\xDE");
  EXPECT_EQ(
      convert("either.txt"),
      QStringLiteral("either.txt：文字コードを判別できないため変換しません。(Shift_JIS, EUC-JP)"));
  auto* encoding = Find<QComboBox>("FileEncoding1");
  EXPECT_EQ(encoding->currentText(), QStringLiteral("自動判別"));
  encoding->setCurrentText("EUC-JP");
  convert("either.txt");
  EXPECT_EQ(read("either.txt"), "\xB6\xDE\r\n");  // the kanji, unchanged
  encoding->setCurrentText("Shift_JIS");
  convert("either.txt");
  EXPECT_EQ(read("either.txt"), "\x83\x4B\r\n");  // ガ

  // Told apart again: ASCII only is Shift_JIS here, and LF line breaks stay LF.
  encoding->setCurrentIndex(0);
  write("plain.txt", "a  b\nc\n");
  convert("plain.txt");
  EXPECT_EQ(read("plain.txt"),
            "a\x81\x40"
            "b\nc\n");  // a full-width space
}

TEST_F(FileTab, TheOutputFolderShowsAsTheBoxSaysOnceABatchEnds) {
  Entry("memo.txt")->setSelected(true);
  for (bool ticked : {true, false}) {
    // Ticked or unticked while the batch runs: nothing changes until it ends.
    AnswerMessageBox([&] {
      QTimer::singleShot(0, [&] {
        Click("HenC1");
        EXPECT_EQ(Find<QWidget>("Image2")->isHidden(), ticked);
      });
      Click("Command4");
    });
    EXPECT_EQ(Find<QCheckBox>("HenC1")->isChecked(), ticked);
    EXPECT_EQ(Find<QWidget>("Image2")->isVisible(), ticked);
    EXPECT_EQ(Find<QWidget>("LO")->isVisible(), ticked);
    Entry("memo.txt")->setSelected(true);
  }
}

TEST_F(FileTab, ABatchRunsOnWhileItsTabIsBehindAnother) {
  Entry("memo.txt")->setSelected(true);
  bool refused = false;
  AnswerMessageBox([&] {
    QTimer::singleShot(0, [&] {
      ChooseTab(3);  // the batch's page is hidden now, its status list still up
      Find<QAbstractButton>("Command3")->click();
      refused = !Ended();
    });
    Click("Command4");
  });
  EXPECT_TRUE(refused);
}

TEST(OutputFolder, ALongFolderIsElidedInTheMiddleAndWholeInItsTooltip) {
  OutputFolderLabel label(nullptr);
  label.resize(200, 20);
  label.show();
  EXPECT_FALSE(label.folder());
  const QString folder = "/home/someone/" + QString(80, 'x') + "/目的地/";
  label.setFolder(folder);
  EXPECT_EQ(label.folder(), folder);
  EXPECT_EQ(label.toolTip(), folder);
  EXPECT_TRUE(label.text().startsWith("/home/"));
  EXPECT_TRUE(label.text().endsWith("/目的地/"));
  EXPECT_TRUE(label.text().contains(QChar(u'…')));
  label.resize(2000, 20);
  EXPECT_EQ(label.text(), folder);
}

TEST(FileListPaths, AFolderGetsOneSeparator) {
  FileList list(nullptr);
  list.setFolder("/");
  EXPECT_EQ(list.folderWithSeparator(), "/");
  list.setFolder("/tmp");
  EXPECT_EQ(list.folderWithSeparator(), "/tmp/");
}

TEST_F(FileTab, BatchWithoutSelectionOrWithAFileGone) {
  QStringList lines;
  auto run = [&](const char* button) {
    return AnswerMessageBox([&] { Click(button); },
                            [&] { lines = Lines(Find<QListWidget>("LMPath")); });
  };
  EXPECT_TRUE(run("Command4").shown);
  EXPECT_EQ(lines, QStringList{QStringLiteral("全て変換終了")});

  Entry("memo.txt")->setSelected(true);
  QFile::remove(QDir(folder.path()).filePath("memo.txt"));
  run("Command4");
  EXPECT_EQ(lines.value(0), QDir(folder.path()).filePath("memo.txt") +
                                QStringLiteral("：ファイルが見つかりませんでした。"));

  Find<QLineEdit>("Text6")->setText("*.none");
  EXPECT_FALSE(run("Command4").shown);
}

TEST_F(FileTab, ReplacementBatchCountsAndSkipsFilesWithoutOccurrences) {
  ChooseTab(3);
  Find<FolderList>("Dir2")->setPath(folder.path());
  QFile memo(QDir(folder.path()).filePath("memo.txt"));
  ASSERT_TRUE(memo.open(QIODevice::WriteOnly));
  memo.write("abc ABC");
  memo.close();
  auto* files = Find<QListWidget>("File2");
  for (const char* name : {"memo.txt", "it's a file.txt"}) {
    files->findItems(name, Qt::MatchExactly).value(0)->setSelected(true);
  }
  Find<QComboBox>("C1")->setEditText("abc");
  Find<QComboBox>("C2")->setEditText("x");
  QStringList lines;
  AnswerMessageBox([&] { Click("Command9"); },
                   [&] { lines = Lines(Find<QListWidget>("LMPath2")); });
  EXPECT_EQ(lines,
            (QStringList{QStringLiteral("it's a file.txt：変換個所なし(0)"),
                         QStringLiteral("memo.txt：変換終了(2)"), QStringLiteral("全て変換終了")}));
  EXPECT_EQ(Items("C1"), QStringList{"abc"});
  EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath("it's a file.old")));
}

TEST_F(FileTab, ClosingTheWindowDuringABatchLeavesTheFilesAndSavesTheHistory) {
  QFile memo(QDir(folder.path()).filePath("memo.txt"));
  ASSERT_TRUE(memo.open(QIODevice::WriteOnly));
  memo.write("\xB6\xDE\xAF\xBA\xB3");
  memo.close();
  Entry("memo.txt")->setSelected(true);
  QTimer::singleShot(0, [&] { Main().close(); });
  Click("Command4");
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(QFile::exists(QDir(HistoryFolder()).filePath("Quobrel.Ini")));
  ASSERT_TRUE(memo.open(QIODevice::ReadOnly));
  EXPECT_EQ(memo.readAll(), "\xB6\xDE\xAF\xBA\xB3");
  EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath("memo.old")));
}

TEST_F(FileTab, ExitButtonWaitsWhileTheStatusListShows) {
  Find<QWidget>("LMPath")->show();
  Click("Command3");
  EXPECT_FALSE(Ended());
  Find<QWidget>("LMPath")->hide();
  Click("Command3");
  EXPECT_TRUE(Ended());
}

TEST_F(Window, AHistoryThatCannotBeSavedIsSaidSoAtExit) {
  // Where the history's folder should be, a file: the folder cannot be made.
  QDir(HistoryFolder()).removeRecursively();
  QFile blocker(HistoryFolder());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const auto seen = AnswerMessageBox([&] { Main().close(); });
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(seen.text.contains(QStringLiteral("保存できませんでした")));
  QFile::remove(HistoryFolder());
}

TEST_F(Window, ClosingTheWindowSavesTheHistory) {
  Main().close();
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(QFile::exists(QDir(HistoryFolder()).filePath("Quobrel.Ini")));
}

}  // namespace
}  // namespace quobrel

int main(int argc, char** argv) {
  // No screen is needed: listing and running the tests works anywhere.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
