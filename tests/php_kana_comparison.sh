#!/usr/bin/env bash
# Compares quobrel-cli's kana script and ASCII width conversions with PHP's mb_convert_kana
# over the Japanese manual pages:
#   tests/php_kana_comparison.sh PATH/TO/quobrel-cli
# Prints one line per comparison; exits 1 on a difference, 77 without PHP or the pages.
#
# Where the two differ by design, both outputs are masked alike: PHP leaves ヴ ヵ ヶ and
# ゔ ゕ ゖ alone, and its half-width conversion also turns the minus sign − into -.
set -euo pipefail
export LC_ALL=C

cli="${1:?usage: $0 PATH/TO/quobrel-cli}"
[[ -x $cli ]] || { echo "not a program: $cli" >&2; exit 2; }
if ! php -r 'exit(function_exists("mb_convert_kana") ? 0 : 1);' 2>/dev/null; then
  echo "skipped: no PHP with mbstring"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Each page once (links left out), as UTF-8: a byte that is not is dropped.
find /usr/share/man/ja -type f -name '*.gz' -print0 2>/dev/null | sort -z |
  xargs -0 --no-run-if-empty zcat | { iconv -c -f UTF-8 -t UTF-8 || true; } >"$work/corpus"
if [[ ! -s $work/corpus ]]; then
  echo "skipped: no Japanese manual pages"
  exit 77
fi

mask() { sed -e 's/ヴ/ゔ/g; s/ヵ/ゕ/g; s/ヶ/ゖ/g; s/−/-/g'; }

status=0
# compare DESCRIPTION PHP_MODE CONVERT_OPTIONS...
compare() {
  local description=$1 mode=$2
  shift 2
  # shellcheck disable=SC2016  # PHP's variable, not the shell's
  php -d memory_limit=-1 -r 'echo mb_convert_kana(stream_get_contents(STDIN), $argv[1], "UTF-8");' \
    "$mode" <"$work/corpus" | mask >"$work/php"
  "$cli" convert "$@" --katakana=none --spaces=none <"$work/corpus" | mask >"$work/ours"
  if cmp -s "$work/php" "$work/ours"; then
    echo "same as mb_convert_kana \"$mode\": $description"
  else
    local where
    where=$(cmp "$work/php" "$work/ours" 2>&1 | head -n 1) || true
    echo "DIFFERENT from mb_convert_kana \"$mode\": $description, from ${where#*differ: }"
    status=1
  fi
}

echo "$(wc -c <"$work/corpus") bytes of manual pages"
compare "katakana to hiragana" c --kana=hiragana
compare "hiragana to katakana" C --kana=katakana
compare "digits, letters and symbols to half-width" a --digits=half --letters=half --symbols=half
compare "digits, letters and symbols to full-width" A --digits=full --letters=full --symbols=full
exit "$status"
