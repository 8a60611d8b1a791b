# Bash completion for quobrel-cli: its commands, their options, the values of each option,
# and files and folders.
# shellcheck shell=bash

# The values of an option that takes one of a few; nothing for any other option.
_quobrel_cli_values() {
  case $1 in
    --digits | --letters | --katakana | --symbols) echo "full half none" ;;
    --case) echo "upper lower upper-full lower-full upper-half lower-half none" ;;
    --spaces) echo "pair full half none" ;;
    --kana) echo "hiragana katakana none" ;;
    --encoding) echo "auto utf-8 cp932 euc-jp" ;;
    --output-encoding) echo "same utf-8 cp932 euc-jp" ;;
    --line-breaks) echo "keep window crlf lf" ;;
    --backup) echo "old numbered none" ;;
  esac
}

# The options of a command. A trailing "=" marks one that takes a value.
_quobrel_cli_options() {
  local common="-i --in-place --output-dir= --encoding= --output-encoding= --line-breaks= --backup=
    -n --dry-run -r --recursive --json -q --quiet -h --help"
  case $1 in
    convert) echo "--digits= --letters= --katakana= --case= --spaces= --symbols= --kana= $common" ;;
    replace) echo "--search= --replace= --match-case $common" ;;
    guess) echo "--json -h --help" ;;
    *) echo "-h --help --version" ;;
  esac
}

# The long name of an option as given, without its value: -n and --dry-run=x both give
# --dry-run.
_quobrel_cli_long() {
  case ${1%%=*} in
    -i) echo --in-place ;;
    -n) echo --dry-run ;;
    -q) echo --quiet ;;
    -r) echo --recursive ;;
    -h) echo --help ;;
    *) echo "${1%%=*}" ;;
  esac
}

# The option that cannot go with the one given, by their long names.
_quobrel_cli_excluded() {
  case $1 in
    --in-place) echo --output-dir ;;
    --output-dir) echo --in-place ;;
    --json) echo --quiet ;;
    --quiet) echo --json ;;
  esac
}

# Files, or with -d folders, that start with the word under the cursor.
_quobrel_cli_files() {
  if declare -F _filedir >/dev/null; then
    _filedir "$@"
  else
    mapfile -t COMPREPLY < <(compgen "${1:--f}" -- "$cur")
    compopt -o filenames 2>/dev/null
  fi
}

# Without the bash-completion package: the words as it would give them, with
# "--option=value" kept whole, and the word under the cursor split at its "=".
_quobrel_cli_words() {
  local i word line=$COMP_LINE rest
  words=()
  cword=0
  for ((i = 0; i < ${#COMP_WORDS[@]}; i++)); do
    word=${COMP_WORDS[i]}
    rest=${line#"${line%%[![:space:]]*}"}
    # Bash splits "--option=value" into three words with nothing between them.
    if ((i > 0)) && [[ $rest == "$line" ]]; then
      words[-1]+=$word
    else
      words+=("$word")
    fi
    line=${rest#"$word"}
    ((i == COMP_CWORD)) && cword=$((${#words[@]} - 1))
  done
  cur=${words[cword]}
  prev=""
  ((cword > 0)) && prev=${words[cword - 1]}
  split=false
  if [[ $cur == --*=* ]]; then
    prev=${cur%%=*}
    cur=${cur#*=}
    split=true
  fi
}

_quobrel_cli() {
  local cur prev words cword split
  if declare -F _init_completion >/dev/null; then
    _init_completion -s || return
  else
    _quobrel_cli_words
  fi

  local command="" i
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      convert | replace | guess)
        command=${words[i]}
        break
        ;;
    esac
  done

  # The value of an option, after "=" or as the next word.
  if [[ -n $command && $prev == --* ]]; then
    case $prev in
      --output-dir)
        _quobrel_cli_files -d
        return
        ;;
      --search | --replace) return ;;
    esac
    local values
    values=$(_quobrel_cli_values "$prev")
    if [[ -n $values ]]; then
      mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
      # When "=" does not break words, the reply replaces the whole "--option=value".
      if $split && [[ $COMP_WORDBREAKS != *=* ]]; then
        COMPREPLY=("${COMPREPLY[@]/#/$prev=}")
      fi
      return
    fi
  fi

  if [[ -z $command ]]; then
    if [[ $cur == -* ]]; then
      mapfile -t COMPREPLY < <(compgen -W "$(_quobrel_cli_options "")" -- "$cur")
    else
      mapfile -t COMPREPLY < <(compgen -W "convert replace guess" -- "$cur")
    fi
    return
  fi

  if [[ $cur == -* ]]; then
    # Each option is taken once: those already given are not offered again, nor those
    # that cannot go with them.
    local option long given offered=()
    for option in $(_quobrel_cli_options "$command"); do
      long=$(_quobrel_cli_long "$option")
      for given in "${words[@]:1:cword-1}"; do
        given=$(_quobrel_cli_long "$given")
        [[ $given == "$long" || $(_quobrel_cli_excluded "$given") == "$long" ]] && continue 2
      done
      offered+=("$option")
    done
    mapfile -t COMPREPLY < <(compgen -W "${offered[*]}" -- "$cur")
    [[ ${COMPREPLY[0]-} == *= ]] && compopt -o nospace 2>/dev/null
    return
  fi

  _quobrel_cli_files
}

complete -F _quobrel_cli quobrel-cli
