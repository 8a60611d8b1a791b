#!/usr/bin/env bash
# Checks each catalogue of quobrel-cli against the messages of the sources: every one
# translated and none fuzzy, none left over, each translation with the "{}" of its English
# and no line wider than it or 80 columns, and msgfmt --check content:
#   translations_test.sh SOURCE_FOLDER LANGUAGE...
set -euo pipefail

source_dir=$(cd "$1" && pwd)
shift

for tool in xgettext msgcmp msgfmt msgexec; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (scripts/setup installs gettext)"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() {
  failures=$((failures + 1))
  echo "FAILED: $*" >&2
}

# The command line's messages, and the reasons the batches and the file layer give in
# English for it to say in the user's language.
(cd "$source_dir" &&
  xgettext -C --from-code=UTF-8 --keyword=Tr --keyword=TrCount:1,2 --keyword=N_ --keyword=English \
    --package-name=quobrel-cli -o "$tmp/quobrel-cli.pot" cli/*.cpp batch/*.cpp files/*.cpp)
messages=$(grep -c '^msgid ' "$tmp/quobrel-cli.pot")
[[ $messages -gt 40 ]] || fail "only $messages messages found in the sources"

# Run by msgexec for each message: its translation on standard input, its English in
# MSGEXEC_MSGID. Prints what is wrong with it.
# shellcheck disable=SC2016
check_message='
  [ -z "$MSGEXEC_MSGID" ] && exit 0
  translation=$(cat)
  holes() { printf "%s" "$1" | grep -o "{}" | wc -l; }
  widest() { printf "%s\n" "$1" | wc -L; }
  if [ "$(holes "$MSGEXEC_MSGID")" != "$(holes "$translation")" ]; then
    printf "not the same {} as its English: %s\n" "$translation"
  fi
  limit=$(widest "$MSGEXEC_MSGID")
  [ "$limit" -lt 80 ] && limit=80
  if [ "$(widest "$translation")" -gt "$limit" ]; then
    printf "a line wider than %s columns: %s\n" "$limit" "$translation"
  fi
'

for language; do
  po=$source_dir/po/$language.po
  if [[ ! -f $po ]]; then
    fail "$po is missing"
    continue
  fi
  # Untranslated and fuzzy messages count as missing.
  msgcmp "$po" "$tmp/quobrel-cli.pot" || fail "$language.po lacks translations"
  msgcmp --use-untranslated "$tmp/quobrel-cli.pot" "$po" ||
    fail "$language.po holds messages the sources no longer have"
  msgfmt --check -o /dev/null "$po" || fail "msgfmt --check rejects $language.po"
  # wc -L counts a Japanese character as two columns in a UTF-8 locale.
  wrong=$(LC_ALL=C.UTF-8 msgexec -i "$po" sh -c "$check_message")
  [[ -z $wrong ]] || fail "$language.po: $wrong"
done

echo "$messages messages; $failures failures"
[[ $failures -eq 0 ]]
