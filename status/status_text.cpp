#include "status/status_text.h"

#include <array>
#include <utility>

namespace quobrel {
namespace {

struct Wording {
  FileStatus status;
  std::u16string_view text;
};

// In the order of FileStatus, so that each is found by its value.
constexpr std::array<Wording, kFileStatusCount> kWordings{{
    {FileStatus::Reading, u"：ファイル読込中"},
    {FileStatus::Converting, u"：ファイル変換中"},
    {FileStatus::Counting, u"：ファイル計算中"},
    {FileStatus::Storing, u"：ファイル格納中"},
    {FileStatus::Finished, u"：変換終了"},
    {FileStatus::NothingChanged, u"：変換個所なし"},
    {FileStatus::NotFound, u"：ファイルが見つかりませんでした。"},
    {FileStatus::Cancelled, u"：変換を中止しました。"},
    {FileStatus::NotRegular, u"：通常のファイルではないため変換しません。"},
    {FileStatus::InUse, u"：他で使用中のため変換しません。"},
    {FileStatus::SameFile, u"：先に同じファイルを変換したため変換しません。"},
    {FileStatus::SharedOutput, u"：先のファイルと出力先が同じため変換しません。"},
    {FileStatus::OutputIsSource, u"：出力先が他の変換元ファイルを指すため変換しません。"},
    {FileStatus::SharedBackup, u"：先のファイルとバックアップ名が同じため変換しません。"},
    {FileStatus::BackupIsFile, u"：バックアップ名がこのファイル自身を指すため変換しません。"},
    {FileStatus::NotWritable, u"：書き込みが許可されていないため変換しません。"},
    {FileStatus::CannotRead, u"：読み込みに失敗しました。"},
    {FileStatus::OutOfMemory, u"：メモリが足りないため変換しません。"},
    {FileStatus::InvalidBytes, u"：文字コードが正しくないため変換しません。"},
    {FileStatus::NotRoundTrip, u"：書き戻すと変わってしまう文字コードを含むため変換しません。"},
    {FileStatus::Undecided, u"：文字コードを判別できないため変換しません。"},
    {FileStatus::Unencodable, u"：保存できない文字ができるため変換しません。"},
    {FileStatus::CannotBackUp, u"：バックアップの作成に失敗しました。"},
    {FileStatus::CannotWrite, u"：書き込みに失敗しました。"},
    {FileStatus::DiskFull, u"：ディスクに空きがないため書き込めませんでした。"},
    {FileStatus::TooLarge, u"：ファイルが大きすぎるため書き込めませんでした。"},
    {FileStatus::IoError, u"：入出力エラーのため書き込めませんでした。"},
    {FileStatus::ChangedMeanwhile, u"：変換中にファイルが変更されたため変換しません。"},
    {FileStatus::BackupOfAnotherFile,
     u"：バックアップ名が他のファイルのバックアップと同じため変換しません。"},
    {FileStatus::OwnerNotKept, u"：所有者を保てないため変換しません。"},
    {FileStatus::Binary, u"：バイナリファイルのため変換しません。"},
    {FileStatus::LinkRefused, u"：リンク先をたどれないため変換しません。"},
}};

constexpr bool InOrder() {
  for (std::size_t i = 0; i < kWordings.size(); ++i) {
    if (static_cast<std::size_t>(kWordings[i].status) != i) return false;
  }
  return true;
}
static_assert(InOrder(), "one wording for each status, in the order of FileStatus");

std::u16string Ascii(std::string_view text) { return {text.begin(), text.end()}; }

}  // namespace

std::u16string StatusText(const StatusLine& line) {
  std::u16string text(kWordings[static_cast<std::size_t>(line.status)].text);
  if (line.count) text.append(u"(").append(Ascii(std::to_string(*line.count))).append(u")");
  // The encodings that could read it, as "(UTF-8, Shift_JIS)".
  for (std::size_t i = 0; i < line.candidates.size(); ++i)
    text.append(i == 0 ? u"(" : u", ").append(Ascii(EncodingName(line.candidates[i])));
  if (!line.candidates.empty()) text.push_back(u')');
  return text;
}

}  // namespace quobrel
