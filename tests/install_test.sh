#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there, then makes the
# Debian packages, reads their control fields and file lists, and has lintian,
# hardening-check and appstreamcli look them over:
#   install_test.sh BUILD_FOLDER SOURCE_FOLDER
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)

for tool in cpack dpkg-shlibdeps file desktop-file-validate dpkg-deb man xmllint od lintian \
  hardening-check appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (scripts/setup installs it)"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failures=0
checks=0

# Counts a check; prints what failed.
check() {
  checks=$((checks + 1))
  if ! "$@"; then
    failures=$((failures + 1))
    echo "FAILED: $*" >&2
  fi
}

env -u DESTDIR cmake --install "$build" --prefix "$prefix" >/dev/null

# --- The programs: these two only, and they answer without a display.

check test "$(ls "$prefix/bin")" = "$(printf 'quobrel\nquobrel-cli')"
version_line=$("$prefix/bin/quobrel-cli" --version)
version=${version_line##* }
check test "$version_line" = "Quobrel Ver $version"
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
check test "$("${headless[@]}" "$prefix/bin/quobrel" --version)" = "$version_line"
for program in quobrel quobrel-cli; do
  check grep -q "quobrel" <("${headless[@]}" "$prefix/bin/$program" --help)
done

# --- The icons: a PNG of each size a desktop looks for, and a scalable SVG.

# The size a PNG file's header gives, as WIDTHxHEIGHT; nothing when it is no PNG.
png_size() {
  local header
  header=$(od -An -tx1 -N24 "$1" | tr -d ' \n')
  [[ $header == 89504e470d0a1a0a* ]] || return 0
  echo "$((16#${header:32:8}))x$((16#${header:40:8}))"
}

icons=$prefix/share/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
  check test "$(png_size "$icons/${size}x$size/apps/quobrel.png")" = "${size}x$size"
done
svg=$icons/scalable/apps/quobrel.svg
check xmllint --noout "$svg"
check grep -q '<svg' "$svg"

# --- The desktop entry: valid, naming the installed program and icon.

application_id=org.quobrel.Quobrel
entry=$prefix/share/applications/$application_id.desktop
check desktop-file-validate "$entry"
check grep -qx 'Exec=quobrel' "$entry"
check grep -qx 'Icon=quobrel' "$entry"
check grep -q '^Name\[ja\]=' "$entry"
check grep -q '^Comment\[ja\]=' "$entry"

# --- The AppStream metadata: valid, in English and Japanese, for this release, launching
# the desktop entry installed.

metainfo=$prefix/share/metainfo/$application_id.metainfo.xml
check appstreamcli validate --no-net --pedantic "$metainfo"
xpath() { xmllint --xpath "$1" "$metainfo" 2>/dev/null; }
check test "$(xpath 'string(/component/id)')" = "$application_id"
check test "$(xpath 'string(/component/launchable[@type="desktop-id"])')" = "${entry##*/}"
check test "$(xpath 'string(/component/releases/release[1]/@version)')" = "$version"
check test "$(xpath 'count(/component/summary[@xml:lang="ja"])')" = 1
check test "$(xpath 'count(/component/description/p[@xml:lang="ja"])')" -gt 0

# --- The manual pages: each one in the sources is installed, compressed, and renders with no
# warning, in English as ASCII and in Japanese as UTF-8, dated as the changelog's entry for
# this version.

changelog_date=$(sed -n '/^ -- /{s/.*>  //p;q}' "$source_dir/packaging/changelog")
release_date=$(date -u -d "$changelog_date" +%F)

# Whether a manual page renders without a word from groff, in the locale given.
renders_cleanly() {
  local locale=$1 page=$2 warnings page_title=${2##*/}
  page_title=${page_title%%.*}
  [[ -f $page ]] || return 1
  zcat "$page" | grep -qF ".TH ${page_title^^} 1 \"$release_date\" \"Quobrel $version\"" || return 1
  warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || { echo "$warnings" >&2; return 1; }
}

pages=0
for page in "$source_dir"/man/*.1; do
  check renders_cleanly C "$prefix/share/man/man1/${page##*/}.gz"
  pages=$((pages + 1))
done
for page in "$source_dir"/man/ja/*.1; do
  check renders_cleanly C.UTF-8 "$prefix/share/man/ja/man1/${page##*/}.gz"
  pages=$((pages + 1))
done
check test "$pages" -eq 4

# --- The completion: it loads, and offers commands, options, values and files, both on
# its own and over the bash-completion package's helpers when they are there.

completion=$prefix/share/bash-completion/completions/quobrel-cli
mkdir -p "$tmp/work/media"
touch "$tmp/work/memo.txt"

# Completes a command line as bash would with the cursor at its end, and prints the
# replies sorted on one line. Run inside a bash that has loaded the completion.
# shellcheck disable=SC2016
complete_line='
complete_line() {
  local line=$1
  # Bash makes "=" a word of its own, and the cursor right after it stays in that word.
  read -ra COMP_WORDS <<<"${line//=/ = }"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  _quobrel_cli quobrel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "
}'

# The line to complete, and the replies expected.
completions=(
  "quobrel-cli |convert guess replace"
  "quobrel-cli guess -|--help --json -h"
  "quobrel-cli guess --json --|--help"
  "quobrel-cli guess --json me|media memo.txt"
  "quobrel-cli --v|--version"
  "quobrel-cli convert --dig|--digits="
  "quobrel-cli convert --digits=|full half none"
  "quobrel-cli convert --case=upper-|upper-full upper-half"
  "quobrel-cli convert --kana=|hiragana katakana none"
  "quobrel-cli convert --spaces=p|pair"
  "quobrel-cli convert --symbols=h|half"
  "quobrel-cli convert --line-breaks |crlf keep lf window"
  "quobrel-cli replace --backup=n|none numbered"
  "quobrel-cli replace --encoding=|auto cp932 euc-jp utf-8"
  "quobrel-cli replace --search=abc --ma|--match-case"
  "quobrel-cli convert --digits=half --di|"
  "quobrel-cli convert -n --dry|"
  "quobrel-cli replace -r --rec|"
  "quobrel-cli convert --output-e|--output-encoding="
  "quobrel-cli convert --output-encoding=|cp932 euc-jp same utf-8"
  "quobrel-cli convert -i --out|--output-encoding="
  "quobrel-cli replace --json --q|"
  "quobrel-cli convert --in|--in-place"
  "quobrel-cli convert --katakana=half me|media memo.txt"
  "quobrel-cli convert --output-dir=me|media"
  "quobrel-cli replace --replace= me|media memo.txt"
)

# Whether the completion, loaded after PRELUDE, gives each reply expected.
completes() {
  local prelude=$1 entry line expected got
  got=$(bash --norc --noprofile -c "$prelude; source '$completion'; complete -p quobrel-cli")
  if [[ $got != *"-F _quobrel_cli quobrel-cli" ]]; then
    echo "the completion ($prelude) is not registered: \"$got\"" >&2
    return 1
  fi
  for entry in "${completions[@]}"; do
    line=${entry%%|*}
    expected=${entry#*|}
    got=$(cd "$tmp/work" && bash --norc --noprofile -c \
      "$prelude; source '$completion'; $complete_line; complete_line '$line'")
    if [[ $got != "$expected" ]]; then
      echo "completing \"$line\" ($prelude) gave \"$got\", not \"$expected\"" >&2
      return 1
    fi
  done
}

check completes ":"
helpers=/usr/share/bash-completion/bash_completion
if [[ -f $helpers ]]; then
  check completes "source $helpers"
fi

# --- The Debian packages: the command line without Qt, and the window; together they hold
# just what the install put under its prefix, each with its copyright and changelog.

cpack -G DEB -B "$tmp/package" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
  cat "$tmp/cpack.log" >&2
architecture=$(dpkg --print-architecture)
cli_deb=$tmp/package/quobrel-cli_${version}_$architecture.deb
window_deb=$tmp/package/quobrel_${version}_$architecture.deb
check test -f "$cli_deb"
check test -f "$window_deb"
field() { dpkg-deb -f "$1" "$2"; }
for deb in "$cli_deb" "$window_deb"; do
  [[ -f $deb ]] || continue
  check test "$(field "$deb" Version)" = "$version"
  check test "$(field "$deb" Section)" = utils
  check grep -q '<' <(field "$deb" Maintainer)
  check grep -q 'libicu' <(field "$deb" Depends)
  check grep -q 'full-width' <(field "$deb" Description)
done
if [[ -f $cli_deb && -f $window_deb ]]; then
  check test "$(field "$cli_deb" Package)" = quobrel-cli
  check test "$(field "$window_deb" Package)" = quobrel
  check test -z "$(field "$cli_deb" Depends | grep -i qt)"
  check grep -q 'libqt6widgets6' <(field "$window_deb" Depends)
  check test "$(field "$window_deb" Recommends)" = 'fonts-noto-cjk, qt6-translations-l10n'
  # Under /usr, the packages hold just what the install put under its prefix, and their
  # own folders of documentation.
  packaged() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||'; }
  check diff <({ packaged "$cli_deb"; packaged "$window_deb"; } | sort) \
    <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
  check grep -qx 'bin/quobrel-cli' <(packaged "$cli_deb")
  check grep -qx 'share/metainfo/org.quobrel.Quobrel.metainfo.xml' <(packaged "$window_deb")

  # The licence the copyright file gives is LICENSE's, word for word.
  license_of() { sed -n '/^ Permission/,$p' "$1" | sed 's/^ //; s/^\.$//'; }
  for package in quobrel-cli quobrel; do
    documents=$prefix/share/doc/$package
    check diff <(license_of "$documents/copyright") <(sed -n '/^Permission/,$p' "$source_dir/LICENSE")
    check test "$(zcat "$documents/changelog.gz" | head -n 1)" = \
      "quobrel ($version) unstable; urgency=medium"
  done

  # What Debian's tools say of them: lintian's errors and warnings fail the test.
  check lintian --fail-on error,warning "$cli_deb" "$window_deb"
  unpacked=$tmp/unpacked
  dpkg-deb -x "$cli_deb" "$unpacked"
  dpkg-deb -x "$window_deb" "$unpacked"
  check hardening-check --quiet --nocfprotection "$unpacked/usr/bin/quobrel-cli"
  # hardening-check counts a program fortified by the calls glibc checks as it runs, which
  # are those where the compiler knows the buffer's size and not the length: the window has
  # none, its buffers being vectors and strings. That it was compiled fortified, the build's
  # flags tell.
  check hardening-check --quiet --nocfprotection --nofortify "$unpacked/usr/bin/quobrel"
  if ! grep -q '^CMAKE_CXX_FLAGS:.*-D_FORTIFY_SOURCE=2' "$build/CMakeCache.txt"; then
    check false "the build has Debian's flags (scripts/package builds with them)"
  fi
fi
echo "$((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
