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
// Followed by the count and ")".
inline constexpr std::u16string_view kNothingReplaced = u"：変換個所なし(";
inline constexpr std::u16string_view kFinishedCounted = u"：変換終了(";

// A file left as it was, and why.
inline constexpr std::u16string_view kCannotRead = u"：読み込みに失敗しました。";
inline constexpr std::u16string_view kInvalidBytes = u"：文字コードが正しくないため変換しません。";
inline constexpr std::u16string_view kUnencodable = u"：保存できない文字ができるため変換しません。";
inline constexpr std::u16string_view kSharedBackup =
    u"：先のファイルとバックアップ名が同じため変換しません。";
inline constexpr std::u16string_view kCannotBackUp = u"：バックアップの作成に失敗しました。";
inline constexpr std::u16string_view kCannotWrite = u"：書き込みに失敗しました。";
inline constexpr std::u16string_view kRefused = u"：変換できない種類のファイルです。";

}  // namespace quobrel::status
