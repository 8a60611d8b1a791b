// The Python module quobrel: the library's conversions on str, with the option values
// quobrel-cli takes as its keyword arguments.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "conversion/option_words.h"
#include "quobrel/quobrel.h"
#include "support/huge_pages.h"

namespace py = pybind11;

namespace {

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

template <class Unit>
std::optional<std::size_t> FirstSurrogate(std::basic_string_view<Unit> units) {
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (IsSurrogate(units[i])) return i;
  }
  return std::nullopt;
}

// A str's characters in UTF-16. A str of the Basic Multilingual Plane holds them already,
// and is read where it lies; a narrower or wider one is copied. A str may hold surrogates
// as characters of their own, which no UTF encodes: those are refused.
class Utf16Text {
 public:
  Utf16Text(const py::str& text, const char* argument) {
    PyObject* object = text.ptr();
#if PY_VERSION_HEX < 0x030C0000
    // A str made by an extension through the old wide-character calls is not yet in its
    // compact form.
    if (PyUnicode_READY(object) < 0) throw py::error_already_set();
#endif
    const std::size_t length = PyUnicode_GET_LENGTH(object);
    const void* data = PyUnicode_DATA(object);
    switch (PyUnicode_KIND(object)) {
      case PyUnicode_1BYTE_KIND: {
        const auto* characters = static_cast<const Py_UCS1*>(data);
        copy_.assign(characters, characters + length);
        view_ = copy_;
        return;
      }
      case PyUnicode_2BYTE_KIND:
        view_ = {static_cast<const char16_t*>(data), length};
        RefuseSurrogate(FirstSurrogate(view_), argument);
        return;
      default: {
        const std::u32string_view characters{static_cast<const char32_t*>(data), length};
        RefuseSurrogate(FirstSurrogate(characters), argument);
        copy_.reserve(length + length / 8);
        for (const char32_t c : characters) {
          if (U16_LENGTH(c) == 1) {
            copy_ += static_cast<char16_t>(c);
          } else {
            copy_ += static_cast<char16_t>(U16_LEAD(c));
            copy_ += static_cast<char16_t>(U16_TRAIL(c));
          }
        }
        view_ = copy_;
      }
    }
  }
  Utf16Text(const Utf16Text&) = delete;
  Utf16Text& operator=(const Utf16Text&) = delete;

  std::u16string_view View() const { return view_; }

 private:
  static void RefuseSurrogate(std::optional<std::size_t> at, const std::string& argument) {
    if (at)
      throw quobrel::Error(argument + " holds a surrogate at index " + std::to_string(*at), *at);
  }

  std::u16string copy_;
  std::u16string_view view_;
};

// A str of the text's characters, as narrow a one as they allow, as Python keeps each str.
py::str StrOf(std::u16string_view text) {
  PyObject* object = nullptr;
  if (FirstSurrogate(text)) {
    // Pairs of them: the decoder joins each into its character. Told the byte order, it
    // takes a leading U+FEFF for a character, not for a byte-order mark.
    int byteOrder = std::endian::native == std::endian::little ? -1 : 1;
    object = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                                   static_cast<Py_ssize_t>(2 * text.size()), "strict", &byteOrder);
  } else {
    const char16_t widest = text.empty() ? 0 : *std::max_element(text.begin(), text.end());
    object = PyUnicode_New(static_cast<Py_ssize_t>(text.size()), widest);
    if (object != nullptr) {
      void* data = PyUnicode_DATA(object);
      quobrel::PreferHugePages(data, text.size() * PyUnicode_KIND(object));
      if (PyUnicode_KIND(object) == PyUnicode_1BYTE_KIND) {
        std::copy(text.begin(), text.end(), static_cast<Py_UCS1*>(data));
      } else {
        std::memcpy(data, text.data(), text.size() * sizeof(char16_t));
      }
    }
  }
  if (object == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(object);
}

// The value the word names, `keyword`'s; None is "none".
template <class Value>
Value Chosen(std::span<const quobrel::Choice<Value>> words, const char* keyword,
             const std::optional<std::string>& word) {
  if (!word) return *quobrel::Find(words, "none");
  if (const std::optional<Value> value = quobrel::Find(words, *word)) return *value;
  std::string known;
  for (const quobrel::Choice<Value>& choice : words) {
    known += (known.empty() ? "'" : ", '") + std::string(choice.name) + "'";
  }
  throw py::value_error(std::string(keyword) + " must be one of " + known + " or None, not '" +
                        *word + "'");
}

py::str Convert(const py::str& text, const std::optional<std::string>& digits,
                const std::optional<std::string>& letters,
                const std::optional<std::string>& symbols,
                const std::optional<std::string>& katakana, const std::optional<std::string>& kana,
                const std::optional<std::string>& letterCase,
                const std::optional<std::string>& spaces) {
  const quobrel::Options options{
      .digits = Chosen<quobrel::Width>(quobrel::kWidthWords, "digits", digits),
      .letters = Chosen<quobrel::Width>(quobrel::kWidthWords, "letters", letters),
      .symbols = Chosen<quobrel::Width>(quobrel::kWidthWords, "symbols", symbols),
      .katakana = Chosen<quobrel::Width>(quobrel::kWidthWords, "katakana", katakana),
      .kana = Chosen<quobrel::Script>(quobrel::kScriptWords, "kana", kana),
      .letterCase = Chosen<quobrel::LetterCase>(quobrel::kLetterCaseWords, "case", letterCase),
      .spaces = Chosen<quobrel::Spaces>(quobrel::kSpacesWords, "spaces", spaces)};
  const Utf16Text input(text, "text");
  std::u16string result;
  {
    py::gil_scoped_release unlocked;
    result = quobrel::Convert(input.View(), options);
  }
  return StrOf(result);
}

std::tuple<py::str, std::size_t> Replace(const py::str& text, const py::str& search,
                                         const py::str& replacement, bool matchCase) {
  const Utf16Text input(text, "text"), searched(search, "search"),
      replacing(replacement, "replacement");
  std::u16string result;
  std::size_t count = 0;
  {
    py::gil_scoped_release unlocked;
    result = quobrel::Replace(input.View(), searched.View(), replacing.View(), matchCase, &count);
  }
  return {StrOf(result), count};
}

}  // namespace

PYBIND11_MODULE(quobrel, module) {
  module.doc() =
      "Japanese text between full-width and half-width forms.\n\n"
      "convert() rewrites digits, Latin letters, symbols, katakana (with their voiced and\n"
      "semi-voiced marks) and spaces between full-width and half-width forms, turns\n"
      "katakana into hiragana and back, and changes the case of Latin letters; replace()\n"
      "replaces every occurrence of a text. Both give what quobrel-cli gives, and let\n"
      "other threads run while they work.\n\n"
      "    >>> quobrel.convert('ｶﾞｯｺｳ  ﾃﾞ ﾊﾟﾝ')\n"
      "    'ガッコウ\\u3000デ パン'\n"
      "    >>> quobrel.replace('Tokyo, TOKYO', 'tokyo', '東京')\n"
      "    ('東京, 東京', 2)";
  py::register_exception<quobrel::Error>(module, "Error", PyExc_ValueError).doc() =
      "A text holding a surrogate, which no UTF encodes, or an empty search.";
  module.def("convert", &Convert, py::arg("text"), py::kw_only(), py::arg("digits") = py::none(),
             py::arg("letters") = py::none(), py::arg("symbols") = py::none(),
             py::arg("katakana") = "full", py::arg("kana") = py::none(),
             py::arg("case") = py::none(), py::arg("spaces") = "pair",
             "Return the text converted as the keywords say; None, like 'none', leaves a\n"
             "class of characters as it is.\n\n"
             "digits, letters, symbols, katakana: 'full', 'half' or 'none'. symbols are\n"
             "  the printable ASCII characters but digits, letters, the space and \" ' \\ ~.\n"
             "  Half-width katakana widen with their voiced and semi-voiced marks composed.\n"
             "kana: 'hiragana' or 'katakana', full-width katakana to hiragana or the\n"
             "  other way, or 'none'.\n"
             "case: 'upper' or 'lower' for every Latin letter, 'upper-full',\n"
             "  'lower-full', 'upper-half' or 'lower-half' for those of one width, or 'none'.\n"
             "spaces: 'pair' (each pair of half-width spaces to one full-width space),\n"
             "  'full', 'half' or 'none'.\n\n"
             "The conversions apply in this order: kana, full-width, half-width, case,\n"
             "spaces. A value not listed raises ValueError, and so does a text holding a\n"
             "surrogate (quobrel.Error, a ValueError).");
  module.def("replace", &Replace, py::arg("text"), py::arg("search"), py::arg("replacement"),
             py::kw_only(), py::arg("match_case") = false,
             "Return (new_text, count): every occurrence of search replaced, left to right\n"
             "and without overlap, and how many there were.\n\n"
             "Letters match in either case unless match_case is true; full-width and\n"
             "half-width forms, and hiragana and katakana, always differ. An empty search\n"
             "raises quobrel.Error, a ValueError, and so does a text holding a surrogate.");
}
