#include "cli/cli_request.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "cli/translation.h"
#include "conversion/option_words.h"
#include "encoding/text_codec.h"
#include "files/file_names.h"
#include "files/reason.h"
#include "support/version.h"

namespace quobrel::cli {
namespace {

constexpr int kUsageError = 2;

constexpr const char* kHelp =
    N_("Usage: quobrel-cli convert [OPTION...] [FILE...]\n"
       "       quobrel-cli replace --search=TEXT --replace=TEXT [OPTION...] [FILE...]\n"
       "       quobrel-cli guess [--json] [FILE...]\n"
       "       quobrel-cli --version\n"
       "\n"
       "Rewrites Japanese text between full-width and half-width forms, hiragana and\n"
       "katakana, and upper and lower case, or replaces every occurrence of a text.\n"
       "\n"
       "Each FILE's result is written to standard output; without FILE, or for -, standard\n"
       "input is read. With -i, each FILE is converted in place, its former contents kept\n"
       "under the extension .old (memo.txt: memo.old); with --output-dir, the results are\n"
       "written into a folder.\n"
       "\n"
       "Commands:\n"
       "  convert   widths, kana, letter case and spaces\n"
       "  replace   every occurrence of a text\n"
       "  guess     tells each file's encoding, and converts nothing\n"
       "\n"
       "'quobrel-cli convert --help', 'quobrel-cli replace --help' and\n"
       "'quobrel-cli guess --help' tell their options.\n");

constexpr const char* kGuessHelp =
    N_("Usage: quobrel-cli guess [--json] [FILE...]\n"
       "\n"
       "Tells each FILE's encoding as convert would find it, and converts nothing. For\n"
       "each FILE a line on standard output, NAME: ENCODING, ENCODING one of\n"
       "  UTF-8, UTF-8 (BOM), Shift_JIS, EUC-JP, ASCII\n"
       "  undecided (ENCODING, ...)  the encodings that read it, none clearly\n"
       "  binary                     it holds NUL bytes, or no encoding reads it\n"
       "Without FILE, or for -, standard input is read, named -.\n"
       "\n"
       "  --json                     a line of JSON for each FILE instead\n"
       "  -h, --help                 this help\n"
       "\n"
       "Exit status: 0 every FILE told apart, 1 one undecided, binary or not read,\n"
       "2 a usage error.\n");

constexpr const char* kConvertHelp =
    N_("Usage: quobrel-cli convert [OPTION...] [FILE...]\n"
       "\n"
       "Rewrites Japanese text between full-width and half-width forms, hiragana and\n"
       "katakana, and upper and lower case.\n"
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
       "Defaults: --katakana=full --spaces=pair, everything else none.\n");

constexpr const char* kReplaceHelp =
    N_("Usage: quobrel-cli replace --search=TEXT --replace=TEXT [OPTION...] [FILE...]\n"
       "\n"
       "Replaces every occurrence of a text.\n"
       "\n"
       "  --search=TEXT              the text to find\n"
       "  --replace=TEXT             what takes its place; empty deletes it\n"
       "  --match-case               letter case counts; otherwise it is ignored\n");

constexpr const char* kCommonHelp =
    N_("\n"
       "Each FILE's result goes to standard output, and without FILE, or for -, that of\n"
       "standard input. -i and --output-dir write files instead, and print a status line\n"
       "for each, in Japanese as the window shows it, and a closing line.\n"
       "\n"
       "  -i, --in-place             convert each FILE in place, keeping its former contents\n"
       "                             under the extension .old (memo.txt: memo.old)\n"
       "  --output-dir=DIR           write each result into DIR under its own name; the\n"
       "                             folders -r walks are made there as needed\n"
       "  --encoding=auto|NAME       the input's encoding; auto tells each text apart (one\n"
       "                             of ASCII only is taken as UTF-8). Without it, files\n"
       "                             are told apart and standard input is read as UTF-8\n"
       "  --output-encoding=same|NAME\n"
       "                             the results' encoding; same, the default: each\n"
       "                             text's own\n"
       "  --line-breaks=keep|window|crlf|lf\n"
       "                             keep, the default: every byte as it was; window:\n"
       "                             each line with CR LF, or with LF when all the text's\n"
       "                             breaks are LF; crlf, lf: every CR LF, lone CR and\n"
       "                             lone LF written as CR LF, or as LF, and one added at\n"
       "                             the end of a text that lacks it\n"
       "  -q, --quiet                no status lines; errors only\n"
       "  -h, --help                 this help\n"
       "\n"
       "With -i or --output-dir only:\n"
       "  --backup=old|numbered|none what becomes of a file's former contents: .old,\n"
       "                             which the next change replaces; .old with the\n"
       "                             earlier ones kept as .old.~1~, .old.~2~ ...; or nothing\n"
       "  -n, --dry-run              tell what would become of each file; change none\n"
       "  -r, --recursive            walk the folders among the FILEs all the way down,\n"
       "                             passing by hidden files, backups and files of kinds\n"
       "                             never converted\n"
       "  --json                     a line of JSON for each file instead of its status\n"
       "                             line, and one for the summary\n"
       "\n"
       "Encodings, in any case: utf-8 (utf8), cp932 (sjis, shift_jis, shift-jis,\n"
       "windows-31j, ms932) and euc-jp (eucjp).\n"
       "\n"
       "Invalid input is reported with its line, column and byte; on standard output, what\n"
       "came before it has been written. Exit status: 0 done, 1 bad input or a file not\n"
       "done, 2 a usage error, 130 or 143 stopped by SIGINT or SIGTERM (the files done are\n"
       "reported).\n");

// "a, b or c", in the user's language: Japanese lists with 、 throughout.
std::string Alternatives(std::span<const std::string_view> names) {
  if (names.empty()) return {};
  std::string head(names.front());
  for (std::size_t i = 1; i + 1 < names.size(); ++i) head += Tr(", ") + std::string(names[i]);
  if (names.size() == 1) return head;
  return Filled(Tr("{} or {}"), {head, names.back()});
}

// The message names what was typed: a control character in it is spelt out.
Leaving UsageError(const std::string& message) {
  return {"quobrel-cli: " + PrintableName(message) + "\n" +
              Tr("Try 'quobrel-cli --help' for more information.") + "\n",
          kUsageError};
}

// What a short option is given as, and the long-only options from 256 on, where no
// character is.
enum Code : int {
  Word = 1,  // a word that is no option, as getopt_long gives it in order
  HelpOption = 'h',
  InPlace = 'i',
  DryRun = 'n',
  Quiet = 'q',
  Recursive = 'r',
  Version = 256,
  Digits,
  Letters,
  Katakana,
  Case,
  Spaces,
  Symbols,
  Kana,
  Search,
  Replace,
  MatchCase,
  Encoding,
  OutputEncoding,
  OutputDir,
  Backup,
  LineBreaks,
  Json,
};

// "-" first: the words that are no options come back in turn, whatever POSIXLY_CORRECT
// says; ":" then: a missing value is told from an unknown option.
constexpr char kShortOptions[] = "-:hinqr";

constexpr option kLongOptions[] = {
    {"help", no_argument, nullptr, HelpOption},
    {"version", no_argument, nullptr, Version},
    {"digits", required_argument, nullptr, Digits},
    {"letters", required_argument, nullptr, Letters},
    {"katakana", required_argument, nullptr, Katakana},
    {"case", required_argument, nullptr, Case},
    {"spaces", required_argument, nullptr, Spaces},
    {"symbols", required_argument, nullptr, Symbols},
    {"kana", required_argument, nullptr, Kana},
    {"search", required_argument, nullptr, Search},
    {"replace", required_argument, nullptr, Replace},
    {"match-case", no_argument, nullptr, MatchCase},
    {"encoding", required_argument, nullptr, Encoding},
    {"output-encoding", required_argument, nullptr, OutputEncoding},
    {"output-dir", required_argument, nullptr, OutputDir},
    {"backup", required_argument, nullptr, Backup},
    {"line-breaks", required_argument, nullptr, LineBreaks},
    {"in-place", no_argument, nullptr, InPlace},
    {"dry-run", no_argument, nullptr, DryRun},
    {"recursive", no_argument, nullptr, Recursive},
    {"json", no_argument, nullptr, Json},
    {"quiet", no_argument, nullptr, Quiet},
    {nullptr, 0, nullptr, 0},
};

constexpr std::span<const option> kOptions(kLongOptions, std::size(kLongOptions) - 1);

const option* OptionOf(int code) {
  const auto found = std::find_if(kOptions.begin(), kOptions.end(),
                                  [&](const option& o) { return o.val == code; });
  return found == kOptions.end() ? nullptr : &*found;
}

std::string LongName(int code) { return std::string("--") + OptionOf(code)->name; }

constexpr Code kConvertOptions[] = {Digits, Letters, Katakana, Case, Spaces, Symbols, Kana};
constexpr Code kReplaceOptions[] = {Search, Replace, MatchCase};
// Those that go with -i or --output-dir only.
constexpr Code kFileOptions[] = {DryRun, Recursive, Backup, Json};

constexpr Choice<BackupPolicy> kBackupPolicies[] = {{"old", BackupPolicy::Replace},
                                                    {"numbered", BackupPolicy::Numbered},
                                                    {"none", BackupPolicy::None}};
constexpr Choice<LineBreakRule> kLineBreakRules[] = {{"keep", LineBreakRule::Keep},
                                                     {"window", LineBreakRule::Lines},
                                                     {"crlf", LineBreakRule::CrLf},
                                                     {"lf", LineBreakRule::Lf}};
// The first of each encoding's names is the one help and messages give.
constexpr Choice<TextEncoding> kEncodingNames[] = {
    {"utf-8", TextEncoding::Utf8},        {"utf8", TextEncoding::Utf8},
    {"cp932", TextEncoding::Cp932},       {"sjis", TextEncoding::Cp932},
    {"shift_jis", TextEncoding::Cp932},   {"shift-jis", TextEncoding::Cp932},
    {"windows-31j", TextEncoding::Cp932}, {"ms932", TextEncoding::Cp932},
    {"euc-jp", TextEncoding::EucJp},      {"eucjp", TextEncoding::EucJp}};

std::string Lowercase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The values an option takes, as its messages list them; none for a text or a folder.
std::vector<std::string_view> ValuesOf(int code) {
  switch (code) {
    case Digits:
    case Letters:
    case Katakana:
    case Symbols:
      return NamesOf<Width>(kWidthWords);
    case Case:
      return NamesOf<LetterCase>(kLetterCaseWords);
    case Spaces:
      return NamesOf<quobrel::Spaces>(kSpacesWords);
    case Kana:
      return NamesOf<Script>(kScriptWords);
    case Backup:
      return NamesOf<BackupPolicy>(kBackupPolicies);
    case LineBreaks:
      return NamesOf<LineBreakRule>(kLineBreakRules);
    case Encoding:
      return {"auto", "utf-8", "cp932", "euc-jp"};
    case OutputEncoding:
      return {"same", "utf-8", "cp932", "euc-jp"};
    default:
      return {};
  }
}

std::string NeedsValue(int code) {
  // An unset shell variable must not send the results to the root folder.
  if (code == OutputDir) return Tr("--output-dir needs a folder");
  const std::vector<std::string_view> values = ValuesOf(code);
  if (values.empty()) return Filled(Tr("option '{}' needs a value"), {LongName(code)});
  return Filled(Tr("option '{}' needs a value: {}"), {LongName(code), Alternatives(values)});
}

// The value of `code` among `choices`, or the usage error.
template <class Value>
std::variant<Value, std::string> Choose(int code, std::span<const Choice<Value>> choices,
                                        const std::string& given) {
  if (given.empty()) return NeedsValue(code);
  if (const std::optional<Value> value = Find(choices, given)) return *value;
  return Filled(Tr("unknown value '{}' for {}: {}"),
                {given, LongName(code), Alternatives(ValuesOf(code))});
}

// An encoding by any of its names, or the usage error. `keyword` ("auto", "same") stands
// for no encoding.
std::variant<std::optional<TextEncoding>, std::string> ChooseEncoding(int code,
                                                                      const std::string& given,
                                                                      std::string_view keyword) {
  if (given.empty()) return NeedsValue(code);
  const std::string name = Lowercase(given);
  if (name == keyword) return std::optional<TextEncoding>();
  if (const std::optional<TextEncoding> encoding = Find<TextEncoding>(kEncodingNames, name))
    return encoding;
  return Filled(Tr("unknown encoding '{}' for {}: {}"),
                {given, LongName(code), Alternatives(ValuesOf(code))});
}

// A text of the command line as UTF-16, if it is valid UTF-8.
std::optional<std::u16string> Utf16(const std::string& text) {
  auto decoded = Decode(text, TextEncoding::Utf8);
  if (!decoded) return std::nullopt;
  return *std::move(decoded);
}

// An option given: its last value, and how it was typed ("-n" or "--dry-run"), for the
// messages.
struct Given {
  std::string value;
  std::string spelling;
};

// The command line read by getopt_long, before anything of it is judged.
struct Words {
  std::vector<std::string> positional;  // the command, then the files
  std::map<int, Given> options;
  std::optional<std::string> firstError;
  // -h before any error: "-digits=x" holds an h, but asks for no help.
  bool help = false;
  bool Has(int code) const { return options.contains(code); }
  const std::string& Value(int code) const { return options.at(code).value; }
  const std::string& Spelling(int code) const { return options.at(code).spelling; }
};

// The usage error getopt_long's '?' stands for. `word` is the word it was reading.
std::string Unknown(int optopt, std::string_view word) {
  if (optopt != 0 && OptionOf(optopt) != nullptr)
    return Filled(Tr("option '{}' takes no value"), {LongName(optopt)});
  if (optopt == 0) {
    // A long option not known, or the start of more than one.
    const std::string_view name = word.substr(0, word.find('='));
    if (name.size() <= 2) return Filled(Tr("unknown option '{}'"), {word});
    std::vector<std::string_view> candidates;
    candidates.reserve(std::size(kOptions));
    for (const option& o : kOptions) {
      const std::string_view known = o.name;
      if (known.starts_with(name.substr(2))) candidates.push_back(known);
    }
    if (candidates.size() > 1) {
      std::vector<std::string> dashed;
      dashed.reserve(candidates.size());
      for (std::string_view candidate : candidates) dashed.push_back("--" + std::string(candidate));
      std::sort(dashed.begin(), dashed.end());
      std::vector<std::string_view> names(dashed.begin(), dashed.end());
      return Filled(Tr("option '{}' is ambiguous: {}"), {name, Alternatives(names)});
    }
    return Filled(Tr("unknown option '{}'"), {name});
  }
  // A letter not known, shown whole when it is more than a byte: the first byte of the
  // word's letters that no option has.
  std::string letter = "-";
  const std::size_t at = word.find_first_not_of(kShortOptions + 2, 1);
  if (at < word.size()) {
    letter += word[at];
    for (std::size_t next = at + 1;
         next < word.size() && (static_cast<unsigned char>(word[next]) & 0xC0) == 0x80; ++next)
      letter += word[next];
  }
  return Filled(Tr("unknown option '{}'"), {letter});
}

Words ReadWords(const std::vector<std::string>& arguments) {
  // getopt_long may reorder the words it is given; these copies are its own.
  std::vector<std::string> copies{"quobrel-cli"};
  copies.insert(copies.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(copies.size() + 1);
  for (std::string& copy : copies) argv.push_back(copy.data());
  argv.push_back(nullptr);
  const int argc = int(copies.size());

  Words words;
  opterr = 0;
  optind = 0;  // from the start again, as on a first call
  for (;;) {
    const int reading = std::max(optind, 1);
    int index = -1;
    const int code = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, &index);
    if (code == -1) break;
    switch (code) {
      case Word:
        words.positional.emplace_back(optarg);
        break;
      case '?':
        if (!words.firstError)
          words.firstError = Unknown(optopt, argv[std::min(reading, argc - 1)]);
        break;
      case ':':
        if (!words.firstError) words.firstError = NeedsValue(optopt);
        break;
      case HelpOption:
        words.help = words.help || !words.firstError;
        break;
      default: {
        const std::string spelling =
            index >= 0 ? LongName(code) : std::string{'-', static_cast<char>(code)};
        words.options[code] = {optarg != nullptr ? optarg : "", spelling};
        break;
      }
    }
  }
  // After "--".
  for (int i = optind; i < argc; ++i) words.positional.emplace_back(argv[i]);
  return words;
}

// The request a command line asks for, judged part by part; each part gives the usage
// error it finds, if any.
class RequestReader {
 public:
  explicit RequestReader(const Words& words) : words_(words) {}

  ParsedCommandLine Read() {
    std::vector<std::string> positional = words_.positional;
    const std::string command = positional.empty() ? std::string() : positional.front();
    if (!positional.empty()) positional.erase(positional.begin());
    if (words_.help) return Leaving{Help(command), 0};
    if (words_.firstError) return UsageError(*words_.firstError);
    if (words_.Has(Version)) return Leaving{std::string(kVersionLabel) + "\n", 0};
    if (command.empty()) return UsageError(Tr("expected a command: convert, replace or guess"));
    if (command == "guess") return ReadGuess(std::move(positional));

    std::optional<std::string> error;
    if (command == "convert") {
      error = ReadConvert();
    } else if (command == "replace") {
      error = ReadReplace();
    } else {
      error = Filled(Tr("unknown command '{}' (convert, replace or guess)"), {command});
    }
    if (!error) error = ReadEncodings();
    if (!error) error = ReadFiles(std::move(positional));
    if (!error) error = ReadFileOptions();
    if (error) return UsageError(*error);
    return std::move(request_);
  }

 private:
  static std::string Help(const std::string& command) {
    if (command == "convert") return std::string(Tr(kConvertHelp)) + Tr(kCommonHelp);
    if (command == "replace") return std::string(Tr(kReplaceHelp)) + Tr(kCommonHelp);
    if (command == "guess") return Tr(kGuessHelp);
    return Tr(kHelp);
  }

  // guess takes files and --json: every other option is the other commands'.
  ParsedCommandLine ReadGuess(std::vector<std::string> files) const {
    for (const auto& [code, given] : words_.options) {
      if (code == Json) continue;
      const auto among = [code = code](std::span<const Code> codes) {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
      };
      constexpr std::string_view kBoth[] = {"convert", "replace"};
      const std::string owner = among(kConvertOptions)   ? "convert"
                                : among(kReplaceOptions) ? "replace"
                                                         : Alternatives(kBoth);
      return UsageError(Filled(Tr("{} belongs to {}"), {given.spelling, owner}));
    }
    // "-" alone is standard input, as no file at all is.
    if (files == std::vector<std::string>{"-"}) files.clear();
    return GuessRequest{std::move(files), words_.Has(Json)};
  }

  // The options of the other command, if any is given.
  std::optional<std::string> Foreign(std::span<const Code> options, std::string_view owner) const {
    for (Code code : options) {
      if (words_.Has(code)) return Filled(Tr("{} belongs to {}"), {words_.Spelling(code), owner});
    }
    return std::nullopt;
  }

  std::optional<std::string> ReadConvert() {
    if (auto error = Foreign(kReplaceOptions, "replace")) return error;
    Options options;  // the start-up selection, as the window has it
    std::optional<std::string> error = ReadChoice<Width>(Digits, kWidthWords, options.digits);
    if (!error) error = ReadChoice<Width>(Letters, kWidthWords, options.letters);
    if (!error) error = ReadChoice<Width>(Katakana, kWidthWords, options.katakana);
    if (!error) error = ReadChoice<LetterCase>(Case, kLetterCaseWords, options.letterCase);
    if (!error) error = ReadChoice<quobrel::Spaces>(Spaces, kSpacesWords, options.spaces);
    if (!error) error = ReadChoice<Width>(Symbols, kWidthWords, options.symbols);
    if (!error) error = ReadChoice<Script>(Kana, kScriptWords, options.kana);
    if (error) return error;
    request_.command = options;
    return std::nullopt;
  }

  // The value of `code`, if given, into `value`; or the usage error.
  template <class Value>
  std::optional<std::string> ReadChoice(Code code, std::span<const Choice<Value>> choices,
                                        Value& value) const {
    if (!words_.Has(code)) return std::nullopt;
    const auto chosen = Choose<Value>(code, choices, words_.Value(code));
    if (const auto* error = std::get_if<std::string>(&chosen)) return *error;
    value = std::get<Value>(chosen);
    return std::nullopt;
  }

  std::optional<std::string> ReadReplace() {
    if (auto error = Foreign(kConvertOptions, "convert")) return error;
    if (!words_.Has(Search) || !words_.Has(Replace))
      return Tr("replace needs --search=TEXT and --replace=TEXT");
    ReplaceRequest replace;
    const std::pair<Code, std::u16string*> texts[] = {{Search, &replace.search},
                                                      {Replace, &replace.replacement}};
    for (const auto& [code, text] : texts) {
      std::optional<std::u16string> utf16 = Utf16(words_.Value(code));
      if (!utf16) return Filled(Tr("{} is not valid UTF-8"), {LongName(code)});
      *text = std::move(*utf16);
    }
    replace.matchCase = words_.Has(MatchCase);
    request_.command = std::move(replace);
    return std::nullopt;
  }

  std::optional<std::string> ReadEncodings() {
    if (words_.Has(Encoding)) {
      const auto encoding = ChooseEncoding(Encoding, words_.Value(Encoding), "auto");
      if (const auto* error = std::get_if<std::string>(&encoding)) return *error;
      request_.encoding = std::get<std::optional<TextEncoding>>(encoding);
    }
    if (words_.Has(OutputEncoding)) {
      const auto encoding = ChooseEncoding(OutputEncoding, words_.Value(OutputEncoding), "same");
      if (const auto* error = std::get_if<std::string>(&encoding)) return *error;
      request_.outputEncoding = std::get<std::optional<TextEncoding>>(encoding);
    }
    if (words_.Has(LineBreaks)) {
      const auto rule =
          Choose<LineBreakRule>(LineBreaks, kLineBreakRules, words_.Value(LineBreaks));
      if (const auto* error = std::get_if<std::string>(&rule)) return *error;
      request_.lineBreaks = std::get<LineBreakRule>(rule);
    }
    return std::nullopt;
  }

  std::optional<std::string> ReadFiles(std::vector<std::string> files) {
    request_.inPlace = words_.Has(InPlace);
    if (words_.Has(OutputDir)) {
      if (words_.Value(OutputDir).empty()) return NeedsValue(OutputDir);
      request_.outputDirectory = words_.Value(OutputDir);
    }
    if (request_.inPlace && request_.outputDirectory) {
      return Filled(Tr("{} and {} cannot go together"),
                    {words_.Spelling(InPlace), words_.Spelling(OutputDir)});
    }
    if (request_.inPlace || request_.outputDirectory) {
      const std::string& option = words_.Spelling(request_.inPlace ? InPlace : OutputDir);
      if (std::find(files.begin(), files.end(), "-") != files.end())
        return Filled(Tr("standard input (-) cannot go with {}"), {option});
      if (files.empty()) return Filled(Tr("{} goes with files"), {option});
    }
    // "-" alone is standard input, as no file at all is.
    if (files == std::vector<std::string>{"-"}) files.clear();
    request_.files = std::move(files);
    return std::nullopt;
  }

  std::optional<std::string> ReadFileOptions() {
    if (!request_.inPlace && !request_.outputDirectory) {
      for (Code code : kFileOptions) {
        if (words_.Has(code))
          return Filled(Tr("{} goes with -i or --output-dir"), {words_.Spelling(code)});
      }
    }
    request_.dryRun = words_.Has(DryRun);
    request_.recursive = words_.Has(Recursive);
    if (words_.Has(Backup)) {
      const auto backups = Choose<BackupPolicy>(Backup, kBackupPolicies, words_.Value(Backup));
      if (const auto* error = std::get_if<std::string>(&backups)) return *error;
      request_.backups = std::get<BackupPolicy>(backups);
    }
    request_.json = words_.Has(Json);
    request_.quiet = words_.Has(Quiet);
    if (request_.json && request_.quiet) {
      return Filled(Tr("{} and {} cannot go together"),
                    {words_.Spelling(Json), words_.Spelling(Quiet)});
    }
    return std::nullopt;
  }

  const Words& words_;
  Request request_;
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  const Words words = ReadWords(arguments);
  return RequestReader(words).Read();
}

std::vector<std::string> InputsNamed(const std::vector<std::string>& files) {
  return files.empty() ? std::vector<std::string>{"-"} : files;
}

}  // namespace quobrel::cli
