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

// A str's characters in UTF-16: taken from the str with the GIL held, read without it, as
// the str cannot change and its caller keeps it. A str of the Basic Multilingual Plane
// holds them already, and is read where it lies; a narrower or wider one is copied. A str
// may hold surrogates as characters of their own, which no UTF encodes: those are refused.
class Utf16Text {
 public:
  Utf16Text(const py::str& text, const char* argument) : argument_(argument) {
    PyObject* object = text.ptr();
#if PY_VERSION_HEX < 0x030C0000
    // A str made by an extension through the old wide-character calls is not yet in its
    // compact form.
    if (PyUnicode_READY(object) < 0) throw py::error_already_set();
#endif
    kind_ = PyUnicode_KIND(object);
    data_ = PyUnicode_DATA(object);
    length_ = PyUnicode_GET_LENGTH(object);
  }

  std::u16string_view Read() {
    switch (kind_) {
      case PyUnicode_1BYTE_KIND: {
        const auto* characters = static_cast<const Py_UCS1*>(data_);
        copy_.assign(characters, characters + length_);
        return copy_;
      }
      case PyUnicode_2BYTE_KIND: {
        const std::u16string_view units{static_cast<const char16_t*>(data_), length_};
        RefuseSurrogate(FirstSurrogate(units));
        return units;
      }
      default: {
        const std::u32string_view characters{static_cast<const char32_t*>(data_), length_};
        RefuseSurrogate(FirstSurrogate(characters));
        copy_.reserve(length_ + length_ / 8);
        for (const char32_t c : characters) {
          if (U16_LENGTH(c) == 1) {
            copy_ += static_cast<char16_t>(c);
          } else {
            copy_ += static_cast<char16_t>(U16_LEAD(c));
            copy_ += static_cast<char16_t>(U16_TRAIL(c));
          }
        }
        return copy_;
      }
    }
  }

 private:
  void RefuseSurrogate(std::optional<std::size_t> at) const {
    if (at) {
      throw quobrel::Error(
          std::string(argument_) + " holds a surrogate at index " + std::to_string(*at), *at);
    }
  }

  const char* argument_;
  int kind_ = 0;
  const void* data_ = nullptr;
  std::size_t length_ = 0;
  std::u16string copy_;
};

// What a str of a UTF-16 text takes, which needs no GIL to find.
struct StrShape {
  bool pairs = false;  // surrogate pairs
  char16_t widest = 0;
};

// One pass over the result, which may be long.
StrShape ShapeOf(std::u16string_view text) {
  StrShape shape;
  for (const char16_t unit : text) {
    shape.pairs |= IsSurrogate(unit);
    shape.widest = std::max(shape.widest, unit);
  }
  return shape;
}

// A str of the text's characters, as narrow a one as they allow, as Python keeps each str.
py::str StrOf(std::u16string_view text, StrShape shape) {
  PyObject* object = nullptr;
  if (shape.pairs) {
    // The decoder joins each pair into its character. Told the byte order, it takes a
    // leading U+FEFF for a character, not for a byte-order mark.
    int byteOrder = std::endian::native == std::endian::little ? -1 : 1;
    object = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                                   static_cast<Py_ssize_t>(2 * text.size()), "strict", &byteOrder);
  } else {
    object = PyUnicode_New(static_cast<Py_ssize_t>(text.size()), shape.widest);
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

// The text `work` gives, worked out with the GIL released so that other threads run, as a
// str.
template <class Work>
py::str Released(const Work& work) {
  std::u16string result;
  StrShape shape;
  {
    py::gil_scoped_release unlocked;
    result = work();
    shape = ShapeOf(result);
  }
  return StrOf(result, shape);
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
  Utf16Text input(text, "text");
  return Released([&] { return quobrel::Convert(input.Read(), options); });
}

std::tuple<py::str, std::size_t> Replace(const py::str& text, const py::str& search,
                                         const py::str& replacement, bool matchCase) {
  Utf16Text input(text, "text"), searched(search, "search"), replacing(replacement, "replacement");
  std::size_t count = 0;
  py::str result = Released([&] {
    return quobrel::Replace(input.Read(), searched.Read(), replacing.Read(), matchCase, &count);
  });
  return {result, count};
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
