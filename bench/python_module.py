"""The Python module beside Python's own NFKC normalisation and PHP's mb_convert_kana, each
called on the same text in its own process, and the text's characters per second over the
call alone (the median of a few runs):
    python3 bench/python_module.py MODULE_FOLDER CORPUS.txt"""
import statistics
import subprocess
import sys
import time
import unicodedata

sys.path.insert(0, sys.argv[1])
import quobrel  # noqa: E402

corpus = sys.argv[2]
with open(corpus, encoding="utf-8") as file:
    text = file.read()


def rate(call, runs):
    seconds = []
    for _ in range(runs):
        start = time.perf_counter()
        call()
        seconds.append(time.perf_counter() - start)
    return len(text) / statistics.median(seconds) / 1e6


# PHP times its call itself, on the same text, and gives its characters per second.
PHP = r"""
$text = file_get_contents($argv[1]);
$seconds = [];
for ($run = 0; $run < 3; ++$run) {
  $start = hrtime(true);
  mb_convert_kana($text, "KV", "UTF-8");
  $seconds[] = (hrtime(true) - $start) / 1e9;
}
sort($seconds);
echo mb_strlen($text, "UTF-8") / $seconds[1];
"""
php = float(subprocess.run(["php", "-d", "memory_limit=-1", "-r", PHP, corpus],
                           capture_output=True, check=True, text=True).stdout) / 1e6

rows = [
    ("quobrel.convert(text): the start-up selection", rate(lambda: quobrel.convert(text), 5)),
    ("quobrel.convert(text, spaces=None): katakana to full-width, as \"KV\"",
     rate(lambda: quobrel.convert(text, spaces=None), 5)),
    ("unicodedata.normalize(\"NFKC\", text)",
     rate(lambda: unicodedata.normalize("NFKC", text), 3)),
    ("PHP mb_convert_kana($text, \"KV\", \"UTF-8\")", php),
]
nfkc = rows[2][1]
print(f"{len(text) / 1e6:.1f} M characters ({corpus}); medians of 5 runs, NFKC's and PHP's of 3")
print()
print("| Call | M characters/s | × NFKC |")
print("| --- | ---: | ---: |")
for label, figure in rows:
    print(f"| {label} | {figure:.1f} | {figure / nfkc:.1f} |")
