// What a batch writes after a file's name on its status line.
#pragma once

#include <string_view>

namespace quobrel::status {

inline constexpr std::u16string_view kNotFound = u"：ファイルが見つかりませんでした。";
inline constexpr std::u16string_view kReading = u"：ファイル読込中";
inline constexpr std::u16string_view kConverting = u"：ファイル変換中";
inline constexpr std::u16string_view kCounting = u"：ファイル計算中";
inline constexpr std::u16string_view kStoring = u"：ファイル格納中";
inline constexpr std::u16string_view kFinished = u"：変換終了";
inline constexpr std::u16string_view kCancelled = u"：変換を中止しました。";
// The result is the file as it was: neither it nor its backup is touched.
inline constexpr std::u16string_view kNothingChanged = u"：変換個所なし";
// Followed by the count and ")".
inline constexpr std::u16string_view kNothingReplaced = u"：変換個所なし(";
inline constexpr std::u16string_view kFinishedCounted = u"：変換終了(";

// A file left as it was, and why.
inline constexpr std::u16string_view kNotRegular = u"：通常のファイルではないため変換しません。";
inline constexpr std::u16string_view kInUse = u"：他で使用中のため変換しません。";
inline constexpr std::u16string_view kSameFile = u"：先に同じファイルを変換したため変換しません。";
inline constexpr std::u16string_view kSharedOutput =
    u"：先のファイルと出力先が同じため変換しません。";
inline constexpr std::u16string_view kOutputIsSource =
    u"：出力先が他の変換元ファイルを指すため変換しません。";
inline constexpr std::u16string_view kSharedBackup =
    u"：先のファイルとバックアップ名が同じため変換しません。";
inline constexpr std::u16string_view kBackupIsFile =
    u"：バックアップ名がこのファイル自身を指すため変換しません。";
inline constexpr std::u16string_view kNotWritable =
    u"：書き込みが許可されていないため変換しません。";
inline constexpr std::u16string_view kCannotRead = u"：読み込みに失敗しました。";
inline constexpr std::u16string_view kOutOfMemory = u"：メモリが足りないため変換しません。";
inline constexpr std::u16string_view kInvalidBytes = u"：文字コードが正しくないため変換しません。";
inline constexpr std::u16string_view kNotRoundTrip =
    u"：書き戻すと変わってしまう文字コードを含むため変換しません。";
// Followed by the encodings that could read it, in parentheses.
inline constexpr std::u16string_view kUndecided = u"：文字コードを判別できないため変換しません。";
inline constexpr std::u16string_view kUnencodable = u"：保存できない文字ができるため変換しません。";
inline constexpr std::u16string_view kCannotBackUp = u"：バックアップの作成に失敗しました。";
inline constexpr std::u16string_view kCannotWrite = u"：書き込みに失敗しました。";
inline constexpr std::u16string_view kDiskFull =
    u"：ディスクに空きがないため書き込めませんでした。";
inline constexpr std::u16string_view kTooLarge =
    u"：ファイルが大きすぎるため書き込めませんでした。";
inline constexpr std::u16string_view kIoError = u"：入出力エラーのため書き込めませんでした。";
inline constexpr std::u16string_view kChangedMeanwhile =
    u"：変換中にファイルが変更されたため変換しません。";
inline constexpr std::u16string_view kBackupOfAnotherFile =
    u"：バックアップ名が他のファイルのバックアップと同じため変換しません。";
inline constexpr std::u16string_view kOwnerNotKept = u"：所有者を保てないため変換しません。";
inline constexpr std::u16string_view kBinary = u"：バイナリファイルのため変換しません。";
inline constexpr std::u16string_view kLinkRefused = u"：リンク先をたどれないため変換しません。";

}  // namespace quobrel::status
