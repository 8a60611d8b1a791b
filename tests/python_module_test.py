"""The Python module quobrel: its values beside quobrel-cli's, its errors and its help.

Run by CTest with the module's folder on PYTHONPATH and QUOBREL_CLI naming quobrel-cli."""
import doctest
import os
import subprocess
import threading
import unittest

import quobrel

# Half-width katakana with their marks, spaces alone and in pairs, digits, letters and
# symbols of both widths, hiragana, a Latin-1 letter, and characters beyond the Basic
# Multilingual Plane (held as surrogate pairs in UTF-16).
SAMPLE = "ｶﾞｯｺｳ  ﾃﾞ ﾊﾟﾝ ガッコウ がっこう ａｂＣ abC １２3 (x+y)=［ｚ］ café 𠮷野家😀  end\n"

# Each keyword, the command line's option of the same name, and the values both take.
VALUES = {
    "digits": ("--digits", ["full", "half", "none"]),
    "letters": ("--letters", ["full", "half", "none"]),
    "symbols": ("--symbols", ["full", "half", "none"]),
    "katakana": ("--katakana", ["full", "half", "none"]),
    "kana": ("--kana", ["hiragana", "katakana", "none"]),
    "case": ("--case", ["upper", "lower", "upper-full", "lower-full", "upper-half",
                        "lower-half", "none"]),
    "spaces": ("--spaces", ["pair", "full", "half", "none"]),
}


def cli(*arguments, text=SAMPLE):
    run = subprocess.run([os.environ["QUOBREL_CLI"], *arguments, "--encoding=utf-8"],
                         input=text.encode(), capture_output=True, check=True)
    return run.stdout.decode()


class Values(unittest.TestCase):
    def test_defaults_are_the_command_lines(self):
        self.assertEqual(quobrel.convert(SAMPLE), cli("convert"))
        self.assertEqual(quobrel.convert("ｶﾞｯｺｳ  ﾃﾞ"), "ガッコウ\u3000デ")

    def test_each_value_is_the_command_lines(self):
        for keyword, (option, values) in VALUES.items():
            for value in values:
                with self.subTest(keyword=keyword, value=value):
                    self.assertEqual(quobrel.convert(SAMPLE, **{keyword: value}),
                                     cli("convert", f"{option}={value}"))

    def test_none_leaves_a_class_alone(self):
        for keyword, (option, _) in VALUES.items():
            with self.subTest(keyword=keyword):
                self.assertEqual(quobrel.convert(SAMPLE, **{keyword: None}),
                                 cli("convert", f"{option}=none"))

    def test_texts_of_every_width_of_character(self):
        # Python keeps a text one, two or four bytes a character, by its widest.
        # A leading U+FEFF or U+FFFE is a character like any other.
        for text in ["", "plain ascii  x", "café  ﾃﾞ", "ｶﾞ  ガ", "ｶﾞ 𠮷😀", "😀" * 3,
                     "\ufeffｶﾞ𠮷", "\ufffe😀 ab"]:
            with self.subTest(text=text):
                self.assertEqual(quobrel.convert(text, letters="full", case="upper"),
                                 cli("convert", "--letters=full", "--case=upper", text=text))

    def test_replace_counts_as_it_replaces(self):
        self.assertEqual(quobrel.replace("Tokyo, TOKYO", "tokyo", "東京"), ("東京, 東京", 2))
        self.assertEqual(quobrel.replace("Tokyo, TOKYO", "tokyo", "東京", match_case=True),
                         ("Tokyo, TOKYO", 0))
        self.assertEqual(quobrel.replace("a𠮷b𠮷", "𠮷", "😀"), ("a😀b😀", 2))
        self.assertEqual(quobrel.replace("\ufeffxa", "x", "😀"), ("\ufeff😀a", 1))
        self.assertEqual(quobrel.replace("ａｂｃ abc", "ABC", ""), ("ａｂｃ ", 1))
        self.assertEqual(quobrel.replace(SAMPLE, "ｶﾞ", "ガ")[0],
                         cli("replace", "--search=ｶﾞ", "--replace=ガ"))

    def test_other_threads_run_meanwhile(self):
        # Converted on several threads at once, each text gives what it gives alone.
        texts = [SAMPLE * 2000, SAMPLE.upper() * 2000, "ｶﾞ" * 50000]
        expected = [quobrel.convert(text, case="lower") for text in texts]
        results = [None] * len(texts)

        def run(i):
            results[i] = quobrel.convert(texts[i], case="lower")

        threads = [threading.Thread(target=run, args=(i,)) for i in range(len(texts))]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        self.assertEqual(results, expected)


class Errors(unittest.TestCase):
    def test_a_value_not_listed(self):
        with self.assertRaisesRegex(ValueError,
                                    "digits must be one of 'full', 'half', 'none' or None, "
                                    "not 'wide'"):
            quobrel.convert("1", digits="wide")
        with self.assertRaisesRegex(ValueError, "case must be one of 'upper', "):
            quobrel.convert("a", case="UPPER")

    def test_arguments_of_the_wrong_kind(self):
        with self.assertRaises(TypeError):
            quobrel.convert(b"bytes")
        with self.assertRaises(TypeError):
            quobrel.convert("a", digits=1)
        with self.assertRaises(TypeError):
            quobrel.convert("a", "full")  # the options are keywords only
        with self.assertRaises(TypeError):
            quobrel.replace("a", "a", "b", True)

    def test_surrogates_and_an_empty_search(self):
        self.assertTrue(issubclass(quobrel.Error, ValueError))
        for text, index in [("ab\ud800", 2), ("\udc00", 0), ("😀x\ud83d\ude00", 2),
                            ("𠮷\udfff", 1)]:
            with self.subTest(text=ascii(text)):
                with self.assertRaisesRegex(quobrel.Error, f"text holds a surrogate at index {index}"):
                    quobrel.convert(text)
        with self.assertRaisesRegex(quobrel.Error, "search holds a surrogate"):
            quobrel.replace("a", "\ud800", "b")
        with self.assertRaisesRegex(quobrel.Error, "the search text is empty"):
            quobrel.replace("abc", "", "x")


class Help(unittest.TestCase):
    def test_the_module_and_each_function_say_what_they_do(self):
        self.assertIn("full-width and half-width", quobrel.__doc__)
        convert = quobrel.convert.__doc__
        for keyword, (_, values) in VALUES.items():
            self.assertIn(f"{keyword}: ", convert)
            for value in values:
                self.assertIn(f"'{value}'", convert)
        self.assertIn("match_case", quobrel.replace.__doc__)
        self.assertIn("(new_text, count)", quobrel.replace.__doc__)

    def test_the_signatures_show_the_keywords_and_their_defaults(self):
        convert = quobrel.convert.__doc__.splitlines()[0]
        self.assertIn("*, digits: Optional[str] = None", convert)
        self.assertIn("katakana: Optional[str] = 'full'", convert)
        self.assertIn("spaces: Optional[str] = 'pair'", convert)
        self.assertIn("match_case: bool = False", quobrel.replace.__doc__.splitlines()[0])

    def test_the_examples_in_the_modules_help_hold(self):
        examples = doctest.testmod(quobrel, extraglobs={"quobrel": quobrel}, verbose=False)
        self.assertEqual(examples.failed, 0)
        self.assertEqual(examples.attempted, 2)


if __name__ == "__main__":
    unittest.main()
