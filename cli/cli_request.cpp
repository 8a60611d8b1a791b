#include "cli/cli_request.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <span>
#include <utility>

#include "commands/version.h"

namespace quobrel::cli {
namespace {

constexpr int kUsageError = 2;

constexpr std::string_view kHelp =
    "Usage: quobrel-cli convert [OPTION...] [FILE|FOLDER|-]...\n"
    "       quobrel-cli replace --search=TEXT --replace=TEXT [OPTION...] [FILE|FOLDER|-]...\n"
    "       quobrel-cli --version\n"
    "\n"
    "Rewrites Japanese text between full-width and half-width forms, hiragana and katakana,\n"
    "and upper and lower case, or replaces every occurrence of a text.\n"
    "\n"
    "Without FILE, or with -, reads standard input and writes the result to standard output.\n"
    "With FILEs, converts each in place, keeping its former contents under the extension\n"
    "\"old\" (memo.txt: memo.old), and prints each file's status.\n"
    "\n"
    "  convert   widths, kana, letter case and spaces\n"
    "  replace   every occurrence of a text\n"
    "\n"
    "'quobrel-cli convert --help' and 'quobrel-cli replace --help' tell their options.\n";

constexpr std::string_view kConvertHelp =
    "Usage: quobrel-cli convert [OPTION...] [FILE|FOLDER|-]...\n"
    "\n"
    "  --digits=full|half|none    digits to full-width, or to half-width\n"
    "  --letters=full|half|none   Latin letters likewise\n"
    "  --symbols=full|half|none   ASCII symbols likewise, but for \" ' \\ ~\n"
    "  --katakana=full|half|none  katakana likewise; full-width composes voiced marks\n"
    "  --kana=hiragana|katakana|none\n"
    "                             katakana to hiragana, or back; done before the widths\n"
    "  --case=upper|lower|upper-full|lower-full|upper-half|lower-half|none\n"
    "                             the case of all Latin letters, or of the full-width\n"
    "                             or half-width ones only\n"
    "  --spaces=pair|full|half|none\n"
    "                             pair: two half-width spaces to one full-width; full:\n"
    "                             each to full-width; half: each full-width to half-width\n"
    "\n"
    "Defaults: --katakana=full --spaces=pair, everything else none.\n";

constexpr std::string_view kReplaceHelp =
    "Usage: quobrel-cli replace --search=TEXT --replace=TEXT [OPTION...] [FILE|FOLDER|-]...\n"
    "\n"
    "  --search=TEXT              the text to find\n"
    "  --replace=TEXT             what takes its place; empty deletes it\n"
    "  --match-case               letter case counts; otherwise it is ignored\n";

constexpr std::string_view kCommonHelp =
    "\n"
    "  --encoding=auto|utf-8|cp932|euc-jp\n"
    "                             the input's encoding; auto tells each file apart (one\n"
    "                             of ASCII only is written as UTF-8). Standard input is\n"
    "                             UTF-8 unless this is given\n"
    "  --output-dir=DIR           write the results into DIR, not over the files\n"
    "  --backup=old|numbered|none what becomes of a file's former contents: FILE.old,\n"
    "                             which the next change replaces; FILE.old with the\n"
    "                             earlier ones kept as FILE.old.~1~, ~2~ ...; or nothing\n"
    "  --line-breaks=keep|crlf    keep every line break as it is, or write each line with\n"
    "                             CR LF (LF when all the file's line breaks are LF)\n"
    "  -n, --dry-run              tell what would become of each file; change none\n"
    "  -r, --recursive            take the files in FOLDERs, all the way down, but for\n"
    "                             hidden ones, backups and kinds never converted\n"
    "  -h, --help                 this help\n"
    "\n"
    "Invalid input is reported with its line, column and byte. Exit status: 0 done, 1 bad\n"
    "input or a file not done, 2 a usage error.\n";

constexpr std::pair<std::string_view, TextEncoding> kEncodingNames[] = {
    {"utf-8", TextEncoding::Utf8}, {"cp932", TextEncoding::Cp932}, {"euc-jp", TextEncoding::EucJp}};

// A value an option may take, and what it stands for.
template <class Value>
struct Choice {
  std::string_view name;
  Value value;
};

// One option of the convert command: its name and the button each value selects.
struct GroupOption {
  std::string_view name;
  std::vector<Choice<OptionButton>> choices;
};

// The convert command's options beyond the window's buttons.
constexpr Choice<ExtraConversions::SymbolWidth> kSymbolWidths[] = {
    {"full", ExtraConversions::SymbolWidth::Full},
    {"half", ExtraConversions::SymbolWidth::Half},
    {"none", ExtraConversions::SymbolWidth::Unchanged}};
constexpr Choice<BackupPolicy> kBackupPolicies[] = {{"old", BackupPolicy::Replace},
                                                    {"numbered", BackupPolicy::Numbered},
                                                    {"none", BackupPolicy::None}};
constexpr Choice<convert::KanaScript> kKanaScripts[] = {{"hiragana", convert::KanaScript::Hiragana},
                                                        {"katakana", convert::KanaScript::Katakana},
                                                        {"none", convert::KanaScript::Unchanged}};

const std::array<GroupOption, 5>& GroupOptions() {
  using enum OptionButton;
  static const std::array<GroupOption, 5> options{{
      {"digits", {{"full", DigitsFull}, {"half", DigitsHalf}, {"none", DigitsNone}}},
      {"letters", {{"full", LettersFull}, {"half", LettersHalf}, {"none", LettersNone}}},
      {"katakana", {{"full", KatakanaFull}, {"half", KatakanaHalf}, {"none", KatakanaNone}}},
      {"case",
       {{"upper", CaseAllUpper},
        {"lower", CaseAllLower},
        {"none", CaseNone},
        {"upper-full", CaseFullWidthUpper},
        {"upper-half", CaseHalfWidthUpper},
        {"lower-full", CaseFullWidthLower},
        {"lower-half", CaseHalfWidthLower}}},
      {"spaces",
       {{"pair", SpacesPairsToFull},
        {"full", SpacesAllToFull},
        {"half", SpacesAllToHalf},
        {"none", SpacesNone}}},
  }};
  return options;
}

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::u16string U16(const QString& text) { return text.toStdU16String(); }

ParsedCommandLine UsageError(const QString& message) {
  return {std::string("quobrel-cli: ") + message.toStdString() +
              "\nTry 'quobrel-cli --help' for more information.\n",
          kUsageError};
}

// File names are bytes, and need not be UTF-8. A word (or the value of a "--name=" word)
// that is not passes the parser as a placeholder, a noncharacter and its index, and is
// given back as the bytes it was.
class RawWords {
 public:
  QString Admit(const std::string& word) {
    QString decoded = QString::fromStdString(word);
    if (decoded.toStdString() == word) return decoded;
    const std::size_t equals = word.find('=');
    if (word.starts_with("--") && equals != std::string::npos) {
      return Admit(word.substr(0, equals + 1)) + Admit(word.substr(equals + 1));
    }
    raw_.push_back(word);
    return QChar(kMark) + QString::number(raw_.size() - 1);
  }
  static bool IsPlaceholder(const QString& value) { return value.startsWith(QChar(kMark)); }
  std::string Bytes(const QString& value) const {
    return IsPlaceholder(value) ? raw_[value.mid(1).toULongLong()] : value.toStdString();
  }

 private:
  static constexpr char16_t kMark = u'\uFDD0';
  std::vector<std::string> raw_;
};

// The value `option` is given among `choices`, if it is given; or the usage error.
template <class Value>
std::optional<QString> Choose(const QCommandLineParser& parser, const QCommandLineOption& option,
                              std::span<const Choice<Value>> choices,
                              std::optional<Value>& chosen) {
  if (!parser.isSet(option)) return std::nullopt;
  const QString given = parser.value(option);
  QString names;
  for (const Choice<Value>& choice : choices) {
    if (Q(choice.name) == given) {
      chosen = choice.value;
      return std::nullopt;
    }
    names += (names.isEmpty() ? "" : ", ") + Q(choice.name);
  }
  return "unknown value '" + given + "' for --" + option.names().front() + " (" + names + ")";
}

}  // namespace

namespace {

// The options, parsed by Qt's parser, and the request read from them part by part; each
// part returns the usage error it finds, if any.
class CommandLineReader {
 public:
  CommandLineReader() {
    parser_.addOptions({help_, version_, encoding_, outputDirectory_, search_, replace_, matchCase_,
                        lineBreaks_, dryRun_, recursive_, symbols_, kana_, backup_});
    for (const GroupOption& option : GroupOptions()) {
      groupOptions_.emplace_back(Q(option.name), QString(), "value");
      parser_.addOption(groupOptions_.back());
    }
  }

  ParsedCommandLine Read(const std::vector<std::string>& arguments) {
    QStringList words{"quobrel-cli"};
    for (const std::string& argument : arguments) words << raw_.Admit(argument);
    if (!parser_.parse(words)) return UsageError(parser_.errorText());
    QStringList positional = parser_.positionalArguments();
    const QString command = positional.isEmpty() ? QString() : positional.takeFirst();
    if (parser_.isSet(help_)) return {Help(command), 0};
    if (parser_.isSet(version_)) return {std::string(kVersionLabel) + "\n", 0};
    if (command.isEmpty()) return UsageError("expected a command: convert or replace");

    Request request;
    // "-" alone is standard input, as no file at all is.
    if (positional != QStringList{"-"}) {
      for (const QString& file : positional) {
        if (file == "-") return UsageError("standard input (-) cannot go with files");
        request.files.push_back(raw_.Bytes(file));
      }
    }

    std::optional<QString> error = ReadFileOptions(request);
    if (!error) error = ReadEncoding(request);
    if (!error) {
      if (command == "convert") {
        error = ReadConvert(request);
      } else if (command == "replace") {
        error = ReadReplace(request);
      } else {
        error = "unknown command '" + command + "' (convert or replace)";
      }
    }
    if (error) return UsageError(*error);
    return {std::move(request), 0};
  }

 private:
  static std::string Help(const QString& command) {
    if (command == "convert") return std::string(kConvertHelp) + std::string(kCommonHelp);
    if (command == "replace") return std::string(kReplaceHelp) + std::string(kCommonHelp);
    return std::string(kHelp);
  }

  std::optional<QString> ReadFileOptions(Request& request) const {
    for (const QCommandLineOption& option : {dryRun_, recursive_}) {
      if (parser_.isSet(option) && request.files.empty())
        return "--" + option.names().back() + " goes with files";
    }
    request.dryRun = parser_.isSet(dryRun_);
    request.recursive = parser_.isSet(recursive_);
    if (parser_.isSet(outputDirectory_)) {
      if (request.files.empty()) return "--output-dir goes with files";
      // An unset shell variable must not send the results to the root folder.
      if (parser_.value(outputDirectory_).isEmpty()) return "--output-dir needs a folder";
      request.outputDirectory = raw_.Bytes(parser_.value(outputDirectory_));
    }
    if (parser_.isSet(backup_) && request.files.empty()) return "--backup goes with files";
    std::optional<BackupPolicy> backups;
    if (auto error = Choose<BackupPolicy>(parser_, backup_, kBackupPolicies, backups)) return error;
    request.backups = backups.value_or(BackupPolicy::Replace);
    if (parser_.isSet(lineBreaks_)) {
      if (request.files.empty()) return "--line-breaks goes with files";
      const QString rule = parser_.value(lineBreaks_);
      if (rule != "keep" && rule != "crlf")
        return "unknown value '" + rule + "' for --line-breaks (keep or crlf)";
      request.lineBreaks = rule == "crlf" ? LineBreakRule::Lines : LineBreakRule::Keep;
    }
    return std::nullopt;
  }

  std::optional<QString> ReadEncoding(Request& request) const {
    for (const QCommandLineOption& option : {search_, replace_, encoding_}) {
      if (RawWords::IsPlaceholder(parser_.value(option)))
        return "--" + option.names().front() + " is not valid UTF-8";
    }
    if (!parser_.isSet(encoding_)) return std::nullopt;
    const QString name = parser_.value(encoding_);
    if (name == "auto") {
      request.encoding.emplace(std::nullopt);
      return std::nullopt;
    }
    const auto named = std::find_if(std::begin(kEncodingNames), std::end(kEncodingNames),
                                    [&](const auto& known) { return Q(known.first) == name; });
    if (named == std::end(kEncodingNames))
      return "unknown encoding '" + name + "' (auto, utf-8, cp932 or euc-jp)";
    request.encoding = named->second;
    return std::nullopt;
  }

  std::optional<QString> ReadConvert(Request& request) const {
    for (const QCommandLineOption& option : {search_, replace_, matchCase_}) {
      if (parser_.isSet(option)) return "--" + option.names().front() + " belongs to replace";
    }
    ConvertRequest convert;
    for (std::size_t i = 0; i < GroupOptions().size(); ++i) {
      std::optional<OptionButton> button;
      if (auto error =
              Choose<OptionButton>(parser_, groupOptions_[i], GroupOptions()[i].choices, button)) {
        return error;
      }
      if (button) convert.buttons.push_back(*button);
    }
    std::optional<ExtraConversions::SymbolWidth> symbols;
    std::optional<convert::KanaScript> kana;
    if (auto error =
            Choose<ExtraConversions::SymbolWidth>(parser_, symbols_, kSymbolWidths, symbols))
      return error;
    if (auto error = Choose<convert::KanaScript>(parser_, kana_, kKanaScripts, kana)) return error;
    convert.extra = {symbols.value_or(ExtraConversions::SymbolWidth::Unchanged),
                     kana.value_or(convert::KanaScript::Unchanged)};
    request.command = std::move(convert);
    return std::nullopt;
  }

  std::optional<QString> ReadReplace(Request& request) const {
    for (const QCommandLineOption& option : groupOptions_) {
      if (parser_.isSet(option)) return "--" + option.names().front() + " belongs to convert";
    }
    for (const QCommandLineOption& option : {symbols_, kana_}) {
      if (parser_.isSet(option)) return "--" + option.names().front() + " belongs to convert";
    }
    if (!parser_.isSet(search_) || !parser_.isSet(replace_))
      return "replace needs --search=TEXT and --replace=TEXT";
    request.command = ReplaceRequest{U16(parser_.value(search_)), U16(parser_.value(replace_)),
                                     parser_.isSet(matchCase_)};
    return std::nullopt;
  }

  QCommandLineParser parser_;
  const QCommandLineOption help_{{"h", "help"}};
  const QCommandLineOption dryRun_{{"n", "dry-run"}};
  const QCommandLineOption recursive_{{"r", "recursive"}};
  const QCommandLineOption version_{"version"};
  const QCommandLineOption encoding_{"encoding", {}, "encoding"};
  const QCommandLineOption outputDirectory_{"output-dir", {}, "folder"};
  const QCommandLineOption search_{"search", {}, "text"};
  const QCommandLineOption replace_{"replace", {}, "text"};
  const QCommandLineOption matchCase_{"match-case"};
  const QCommandLineOption lineBreaks_{"line-breaks", {}, "rule"};
  const QCommandLineOption symbols_{"symbols", {}, "width"};
  const QCommandLineOption kana_{"kana", {}, "script"};
  const QCommandLineOption backup_{"backup", {}, "policy"};
  std::vector<QCommandLineOption> groupOptions_;
  RawWords raw_;
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  return CommandLineReader().Read(arguments);
}

}  // namespace quobrel::cli
