# bash completion for morvex: the commands, the options of each, file and
# folder names, and for `get` and `rm` the item names of FILE as
# `morvex list --json FILE` gives them.
# Installed as share/bash-completion/completions/morvex; `source` it to try it.

# bash splits COMP_WORDS at every COMP_WORDBREAKS character, '=' and ':' among
# them, so `--to=DIR`, `D:\dir` and an item named `a=b` arrive in pieces. The
# pieces are joined again wherever no blank separates them in the line.
# Sets _morvex_words and _morvex_cword.
_morvex_join_words() {
    _morvex_words=()
    _morvex_cword=0
    local i word at=0 blank
    for ((i = 0; i < ${#COMP_WORDS[@]}; i++)); do
        word=${COMP_WORDS[i]}
        blank=0
        while [[ ${COMP_LINE:at:1} == [[:space:]] ]]; do
            ((at++, blank = 1))
        done
        if ((i > 0 && !blank)); then
            _morvex_words[-1]+=$word
        else
            _morvex_words+=("$word")
        fi
        ((at += ${#word}))
        ((i == COMP_CWORD)) && _morvex_cword=$((${#_morvex_words[@]} - 1))
    done
    return 0
}

# Sets _morvex_text to the word $1 as the program receives it (quotes and
# backslashes taken away) and _morvex_kept to how many leading characters of
# it readline leaves in place when it puts a completion in: those up to the
# last unquoted word break, or up to the quote that is still open.
_morvex_unquote() {
    local raw=$1 quote='' c i
    _morvex_text=''
    _morvex_kept=0
    for ((i = 0; i < ${#raw}; i++)); do
        c=${raw:i:1}
        if [[ $quote == "'" ]]; then
            [[ $c == "'" ]] && quote='' || _morvex_text+=$c
        elif [[ $c == \\ && ($quote != '"' || ${raw:i+1:1} == [\"\\\$\`]) ]]; then
            ((i++))
            _morvex_text+=${raw:i:1}
        elif [[ $c == [\"\'] && ($quote == '' || $c == "$quote") ]]; then
            if [[ $quote == '' ]]; then
                quote=$c
                _morvex_kept=${#_morvex_text}
            else
                quote=''
            fi
        else
            _morvex_text+=$c
            [[ $quote == '' && $COMP_WORDBREAKS == *"$c"* ]] && _morvex_kept=${#_morvex_text}
        fi
    done
    return 0
}

# Sets _morvex_text to the word $1 as the program receives it, a leading ~/
# made the home folder.
_morvex_expand() {
    _morvex_unquote "$1"
    [[ $1 == \~/* ]] && _morvex_text=$HOME/${_morvex_text:2}
    return 0
}

# Offers each argument that starts with the word being completed, as the part
# readline replaces.
_morvex_offer() {
    local candidate
    for candidate; do
        [[ $candidate == "$_morvex_text"* ]] && COMPREPLY+=("${candidate:_morvex_kept}")
    done
    return 0
}

# Names may hold blanks, quotes and brackets: readline quotes them as it
# quotes file names (compopt fails when no completion runs, as in tests).
_morvex_quote_as_names() {
    compopt -o filenames 2> /dev/null
    return 0
}

# Offers the names compgen finds for action $1 (-f files, -d folders) after
# $2, which stays in front of each.
_morvex_offer_paths() {
    local prefix=$2 name found=()
    _morvex_quote_as_names
    mapfile -t found < <(compgen "$1" -- "${_morvex_text#"$prefix"}")
    for name in "${found[@]}"; do
        _morvex_offer "$prefix$name"
    done
}

# Sets _morvex_items to the item names of FILE $2 as the program $1 lists them.
# Only a regular file or a folder is opened, so that a pipe or a device never
# holds up the shell.
_morvex_read_items() {
    local program=$1 file=$2 json rest before string key='' LC_ALL=C
    _morvex_items=()
    [[ -f $file || -d $file ]] || return 0
    json=$("$program" list --json -- "$file" 2> /dev/null < /dev/null) || return 0
    # One JSON string at a time, with what comes before it and whether a colon
    # follows (then it is a key). The value of every key "name" is an item name.
    local token='^([^"]*)"(([^"\\]|\\.)*)"([[:space:]]*:)?'
    rest=$json
    while [[ $rest =~ $token ]]; do
        rest=${rest:${#BASH_REMATCH[0]}}
        before=${BASH_REMATCH[1]}
        string=${BASH_REMATCH[2]}
        if [[ -n ${BASH_REMATCH[4]} ]]; then
            key=$string
            continue
        fi
        if [[ $key == name && -z ${before//[[:space:]]/} ]]; then
            _morvex_json_text "$string"
            _morvex_items+=("$_morvex_json")
        fi
        key=''
    done
    return 0
}

# Sets _morvex_json to the text of the JSON string body $1.
_morvex_json_text() {
    local rest=$1 escape='^([^\\]*)\\(u([0-9a-fA-F]{4})|.)' c
    _morvex_json=''
    while [[ $rest =~ $escape ]]; do
        _morvex_json+=${BASH_REMATCH[1]}
        case ${BASH_REMATCH[2]} in
            n) _morvex_json+=$'\n' ;;
            r) _morvex_json+=$'\r' ;;
            t) _morvex_json+=$'\t' ;;
            b) _morvex_json+=$'\b' ;;
            f) _morvex_json+=$'\f' ;;
            u*)
                printf -v c '%b' "\\u${BASH_REMATCH[3]}"
                _morvex_json+=$c
                ;;
            *) _morvex_json+=${BASH_REMATCH[2]} ;;
        esac
        rest=${rest:${#BASH_REMATCH[0]}}
    done
    _morvex_json+=$rest
}

# The value of option $1, given after $2 ("--to=" or nothing); --as is a
# new name, so nothing is offered for it.
_morvex_offer_value() {
    case $1 in
        --to) _morvex_offer_paths -d "$2" ;;
        --output) _morvex_offer_paths -f "$2" ;;
        --used-by-default | --parse-security) _morvex_offer "$2"on "$2"off ;;
    esac
}

# Operand number $2 of command $1; FILE is $3, the program $4.
_morvex_offer_operand() {
    case $1:$2 in
        list:0 | get:0 | put:* | rm:0) _morvex_offer_paths -f '' ;;
        get:* | rm:*)
            _morvex_read_items "$4" "$3"
            _morvex_quote_as_names
            _morvex_offer "${_morvex_items[@]}"
            ;;
        scan:*) _morvex_offer_paths -d '' ;;
    esac
}

_morvex() {
    local _morvex_words _morvex_cword _morvex_text _morvex_kept _morvex_items _morvex_json
    COMPREPLY=()
    _morvex_join_words
    local words=("${_morvex_words[@]}") cword=$_morvex_cword
    if ((cword == 1)); then
        _morvex_unquote "${words[1]}"
        _morvex_offer list get put rm scan config --help --version
        return 0
    fi
    local command=${words[1]} options valued=''
    case $command in
        list) options='--json -h --human-readable --help --' ;;
        get) options='--to --output --move --yes --help --' valued='--to --output' ;;
        put) options='--as --move --yes --help --' valued='--as' ;;
        rm) options='--yes --help --' ;;
        scan) options='--json --help --' ;;
        config)
            options='--used-by-default --parse-security --help'
            valued='--used-by-default --parse-security'
            ;;
        *) return 0 ;;
    esac
    _morvex_expand "${words[0]}"
    local program=$_morvex_text
    # The words before the cursor: options (and their values) and operands.
    local i operands=() ended=0 pending=''
    for ((i = 2; i < cword; i++)); do
        _morvex_expand "${words[i]}"
        if [[ -n $pending ]]; then
            pending=''
        elif ((!ended)) && [[ $_morvex_text == -?* ]]; then
            [[ $_morvex_text == -- ]] && ended=1
            [[ " $valued " == *" $_morvex_text "* ]] && pending=$_morvex_text
        else
            operands+=("$_morvex_text")
        fi
    done
    _morvex_unquote "${words[cword]}"
    local name=${_morvex_text%%=*}
    if [[ -n $pending ]]; then
        _morvex_offer_value "$pending" ''
    elif ((!ended)) && [[ $_morvex_text == --*=* && " $valued " == *" $name "* ]]; then
        _morvex_offer_value "$name" "$name="
    elif ((!ended)) && [[ $_morvex_text == -* || $command == config ]]; then
        # shellcheck disable=SC2086 # the option names are words
        _morvex_offer $options
    elif [[ $command != list || ${#operands[@]} -eq 0 ]]; then
        _morvex_offer_operand "$command" "${#operands[@]}" "${operands[0]}" "$program"
    fi
    return 0
}

complete -F _morvex morvex
