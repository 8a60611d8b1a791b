#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there, then makes the
# Debian packages, reads their control fields and file lists, and has lintian,
# hardening-check and appstreamcli look them over:
#   install_test.sh BUILD_FOLDER SOURCE_FOLDER
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)

for tool in cpack dpkg-shlibdeps file desktop-file-validate dpkg-deb man xmllint od lintian \
  hardening-check appstreamcli pkg-config c++ readelf; do
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

# --- The library: found by pkg-config and by CMake in the install alone, a program built
# with either converts as quobrel-cli does and catches what the library throws; the
# Python module loads from the install.

pc_file=$(find "$prefix" -name quobrel.pc)
libdir=$(dirname "$(dirname "$pc_file")")
check test "$(readelf -d "$libdir/libquobrel.so" | sed -n 's/.*soname: \[\(.*\)\]/\1/p')" = libquobrel.so.1
cat >"$tmp/program.cpp" <<'PROGRAM'
#include <quobrel/quobrel.h>

#include <iostream>
#include <iterator>
#include <string>

int main() {
  const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
  quobrel::Options options;
  options.letterCase = quobrel::LetterCase::Upper;
  std::cout << quobrel::Convert(text, options);
  try {
    quobrel::Replace(text, "", "x");
  } catch (const quobrel::Error& error) {
    std::cout << error.what();
  }
}
PROGRAM
mkdir -p "$tmp/by-cmake"
cat >"$tmp/by-cmake/CMakeLists.txt" <<PROJECT
cmake_minimum_required(VERSION 3.25)
project(user LANGUAGES CXX)
find_package(Quobrel $version REQUIRED)
add_executable(program $tmp/program.cpp)
target_link_libraries(program PRIVATE Quobrel::quobrel)
PROJECT
sample='ｶﾞｯｺｳ  ﾃﾞ abc Ａｂｃ'
expected="$(printf %s "$sample" | "$prefix/bin/quobrel-cli" convert --case=upper)the search text is empty"
# The program the way pkg-config builds it, and then CMake; each run on the installed library.
built_program() {
  case $1 in
    pkg-config)
      # shellcheck disable=SC2046  # the flags are words of their own
      c++ -std=c++20 -o "$tmp/program" "$tmp/program.cpp" \
        $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs quobrel) &&
        echo "$tmp/program" ;;
    cmake)
      cmake -S "$tmp/by-cmake" -B "$tmp/by-cmake/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null &&
        cmake --build "$tmp/by-cmake/build" >/dev/null && echo "$tmp/by-cmake/build/program" ;;
  esac
}
for tool in pkg-config cmake; do
  program=$(built_program $tool) || program=false
  check test "$(printf %s "$sample" | LD_LIBRARY_PATH=$libdir "$program")" = "$expected"
done
# The module finds the library beside it by itself.
check test "$(PYTHONPATH="$prefix/lib/python3/dist-packages" \
  /usr/bin/python3 -c "import quobrel; print(quobrel.convert('$sample', case='upper'))")" = \
  "${expected%the search*}"

# --- The Debian packages: the command line without Qt, the window, the library, its
# development files and the Python module; together they hold just what the install put
# under its prefix, each with its copyright and changelog.

cpack -G DEB -B "$tmp/package" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
  cat "$tmp/cpack.log" >&2
architecture=$(dpkg --print-architecture)
# Each package and its section.
declare -A sections=([quobrel-cli]=utils [quobrel]=utils [libquobrel1]=libs
  [libquobrel-dev]=libdevel [python3-quobrel]=python)
declare -A debs
for package in "${!sections[@]}"; do
  debs[$package]=$tmp/package/${package}_${version}_$architecture.deb
done
field() { dpkg-deb -f "${debs[$1]}" "$2"; }
all_built=true
for package in "${!sections[@]}"; do
  check test -f "${debs[$package]}" || { all_built=false; continue; }
  check test "$(field "$package" Package)" = "$package"
  check test "$(field "$package" Version)" = "$version"
  check test "$(field "$package" Section)" = "${sections[$package]}"
  check grep -q '<' <(field "$package" Maintainer)
  check grep -q 'full-width' <(field "$package" Description)
done
if $all_built; then
  for package in quobrel-cli quobrel libquobrel1; do
    check grep -q 'libicu' <(field "$package" Depends)
  done
  check test -z "$(field quobrel-cli Depends | grep -i qt)"
  check grep -q 'libqt6widgets6' <(field quobrel Depends)
  check test "$(field quobrel Recommends)" = 'fonts-noto-cjk, qt6-translations-l10n'
  check test -z "$(field libquobrel1 Depends | grep -i -e qt -e python)"
  check grep -q "^libquobrel1 (= $version)" <(field libquobrel-dev Depends)
  check grep -q "libquobrel1 (>= $version)" <(field python3-quobrel Depends)
  check grep -q "python3 (>= 3" <(field python3-quobrel Depends)
  # The library's package tells the packages built against it what to depend on, and has
  # ldconfig run.
  control() { dpkg-deb --ctrl-tarfile "${debs[$1]}" | tar -xO "./$2"; }
  check test "$(control libquobrel1 shlibs)" = "libquobrel 1 libquobrel1 (>= $version)"
  check test "$(control libquobrel1 triggers)" = "activate-noawait ldconfig"
  # Under /usr, the packages hold just what the install put under its prefix, and their
  # own folders of documentation.
  packaged() { dpkg-deb -c "${debs[$1]}" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||'; }
  check diff <(for package in "${!debs[@]}"; do packaged "$package"; done | sort) \
    <(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort)
  check grep -qx 'bin/quobrel-cli' <(packaged quobrel-cli)
  check grep -qx 'share/metainfo/org.quobrel.Quobrel.metainfo.xml' <(packaged quobrel)
  check grep -qx "lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/libquobrel.so.1" <(packaged libquobrel1)
  check grep -qx 'include/quobrel/quobrel.h' <(packaged libquobrel-dev)
  check grep -q '^lib/python3/dist-packages/quobrel\.cpython-' <(packaged python3-quobrel)

  # The licence the copyright file gives is LICENSE's, word for word.
  license_of() { sed -n '/^ Permission/,$p' "$1" | sed 's/^ //; s/^\.$//'; }
  for package in "${!debs[@]}"; do
    documents=$prefix/share/doc/$package
    check diff <(license_of "$documents/copyright") <(sed -n '/^Permission/,$p' "$source_dir/LICENSE")
    check test "$(zcat "$documents/changelog.gz" | head -n 1)" = \
      "quobrel ($version) unstable; urgency=medium"
  done

  # What Debian's tools say of them: lintian's errors and warnings fail the test.
  check lintian --fail-on error,warning "${debs[@]}"
  unpacked=$tmp/unpacked
  for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$unpacked"; done
  check hardening-check --quiet --nocfprotection "$unpacked/usr/bin/quobrel-cli"
  # hardening-check counts a binary fortified by the calls glibc checks as it runs, which
  # are those where the compiler knows the buffer's size and not the length: the window,
  # the library and the module have none, their buffers being vectors and strings. That
  # they were compiled fortified, the build's flags tell.
  check hardening-check --quiet --nocfprotection --nofortify "$unpacked/usr/bin/quobrel" \
    "$unpacked"/usr/lib/*/libquobrel.so.1 "$unpacked"/usr/lib/python3/dist-packages/quobrel.*.so
  if ! grep -q '^CMAKE_CXX_FLAGS:.*-D_FORTIFY_SOURCE=2' "$build/CMakeCache.txt"; then
    check false "the build has Debian's flags (scripts/package builds with them)"
  fi
fi
echo "$((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
