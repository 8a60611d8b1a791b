#include "cli/cli_request.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>

#include "commands/version.h"

namespace quobrel::cli {
namespace {

constexpr int kUsageError = 2;

constexpr std::string_view kSynopsis =
    "Usage:\n"
    "  quobrel-cli convert [--digits=full|half|none] [--letters=full|half|none]\n"
    "                      [--katakana=full|half|none]\n"
    "                      [--case=upper|lower|upper-full|lower-full|upper-half|lower-half|none]\n"
    "                      [--spaces=pair|full|half|none] [--encoding=ENCODING]\n"
    "                      [--output-dir=DIR] [--line-breaks=keep|crlf] [FILE...]\n"
    "  quobrel-cli replace --search=TEXT --replace=TEXT [--match-case] [--encoding=ENCODING]\n"
    "                      [--output-dir=DIR] [--line-breaks=keep|crlf] [FILE...]\n"
    "  quobrel-cli --help | --version\n"
    "\n"
    "Without FILE, reads standard input as one text and writes the result to standard output.\n"
    "With FILEs, converts each in place, keeping its former contents under the extension\n"
    "\"old\", or writes the results into DIR, and prints each file's status.\n"
    "ENCODING is auto, utf-8, cp932 or euc-jp: files are told apart one by one unless it is\n"
    "given (auto, where a file of ASCII only is written as UTF-8); standard input is UTF-8\n"
    "unless it is given. A file keeps its line breaks as they are, or with --line-breaks=crlf\n"
    "has its lines written with CR LF, or LF when all its line breaks are LF.\n"
    "Defaults: --katakana=full --spaces=pair, everything else none; replace ignores letter\n"
    "case unless --match-case.\n";

constexpr std::pair<std::string_view, TextEncoding> kEncodingNames[] = {
    {"utf-8", TextEncoding::Utf8}, {"cp932", TextEncoding::Cp932}, {"euc-jp", TextEncoding::EucJp}};

struct Choice {
  std::string_view value;
  OptionButton button;
};

// One option of the convert command: its name and the button each value selects.
struct GroupOption {
  std::string_view name;
  std::vector<Choice> choices;
};

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
    const QString decoded = QString::fromStdString(word);
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

std::string ValuesOf(const GroupOption& option) {
  std::string values;
  for (const Choice& choice : option.choices) {
    values += (values.empty() ? "" : ", ") + std::string(choice.value);
  }
  return values;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help("help");
  const QCommandLineOption version("version");
  const QCommandLineOption encoding("encoding", {}, "encoding");
  const QCommandLineOption outputDirectory("output-dir", {}, "folder");
  const QCommandLineOption search("search", {}, "text");
  const QCommandLineOption replace("replace", {}, "text");
  const QCommandLineOption matchCase("match-case");
  const QCommandLineOption lineBreaks("line-breaks", {}, "rule");
  parser.addOptions(
      {help, version, encoding, outputDirectory, search, replace, matchCase, lineBreaks});
  std::vector<QCommandLineOption> groupOptions;
  for (const GroupOption& option : GroupOptions()) {
    groupOptions.emplace_back(Q(option.name), QString(), "value");
    parser.addOption(groupOptions.back());
  }

  RawWords raw;
  QStringList words{"quobrel-cli"};
  for (const std::string& argument : arguments) words << raw.Admit(argument);
  if (!parser.parse(words)) return UsageError(parser.errorText());
  if (parser.isSet(help)) return {std::string(kSynopsis), 0};
  if (parser.isSet(version)) return {std::string(kVersionLabel) + "\n", 0};

  QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) return UsageError("expected a command: convert or replace");
  const QString command = positional.takeFirst();

  Request request;
  for (const QString& file : positional) request.files.push_back(raw.Bytes(file));
  if (parser.isSet(outputDirectory)) {
    if (request.files.empty()) return UsageError("--output-dir goes with files");
    // An unset shell variable must not send the results to the root folder.
    if (parser.value(outputDirectory).isEmpty()) return UsageError("--output-dir needs a folder");
    request.outputDirectory = raw.Bytes(parser.value(outputDirectory));
  }
  for (const QCommandLineOption& option : {search, replace, encoding}) {
    if (RawWords::IsPlaceholder(parser.value(option)))
      return UsageError("--" + option.names().front() + " is not valid UTF-8");
  }
  if (parser.isSet(encoding)) {
    const QString name = parser.value(encoding);
    if (name == "auto") {
      request.encoding.emplace(std::nullopt);
    } else if (const auto named =
                   std::find_if(std::begin(kEncodingNames), std::end(kEncodingNames),
                                [&](const auto& known) { return Q(known.first) == name; });
               named != std::end(kEncodingNames)) {
      request.encoding = named->second;
    } else {
      return UsageError("unknown encoding '" + name + "' (auto, utf-8, cp932 or euc-jp)");
    }
  }
  if (parser.isSet(lineBreaks)) {
    if (request.files.empty()) return UsageError("--line-breaks goes with files");
    const QString rule = parser.value(lineBreaks);
    if (rule != "keep" && rule != "crlf")
      return UsageError("unknown value '" + rule + "' for --line-breaks (keep or crlf)");
    request.lineBreaks = rule == "crlf" ? LineBreakRule::Lines : LineBreakRule::Keep;
  }

  if (command == "convert") {
    for (const QCommandLineOption& option : {search, replace, matchCase}) {
      if (parser.isSet(option))
        return UsageError("--" + option.names().front() + " belongs to replace");
    }
    ConvertRequest convert;
    for (std::size_t i = 0; i < GroupOptions().size(); ++i) {
      const GroupOption& option = GroupOptions()[i];
      if (!parser.isSet(groupOptions[i])) continue;
      const QString value = parser.value(groupOptions[i]);
      const auto choice = std::find_if(option.choices.begin(), option.choices.end(),
                                       [&](const Choice& c) { return Q(c.value) == value; });
      if (choice == option.choices.end()) {
        return UsageError("unknown value '" + value + "' for --" + Q(option.name) + " (" +
                          Q(ValuesOf(option)) + ")");
      }
      convert.buttons.push_back(choice->button);
    }
    request.command = std::move(convert);
    return {std::move(request), 0};
  }

  if (command == "replace") {
    for (const QCommandLineOption& option : groupOptions) {
      if (parser.isSet(option))
        return UsageError("--" + option.names().front() + " belongs to convert");
    }
    if (!parser.isSet(search) || !parser.isSet(replace)) {
      return UsageError("replace needs --search=TEXT and --replace=TEXT");
    }
    request.command = ReplaceRequest{U16(parser.value(search)), U16(parser.value(replace)),
                                     parser.isSet(matchCase)};
    return {std::move(request), 0};
  }

  return UsageError("unknown command '" + command + "' (convert or replace)");
}

}  // namespace quobrel::cli
