# bash completion for tembrel-cli: the command words, each command's options,
# "E" for --end, and for the files SAMI files (.smi in any letter case) and
# folders; any file after -o and --output; subtitle files of every format the
# reference may have after --to. A name that begins with '-' would
# be read as an option, so it is offered only after "--".
# It needs nothing from the bash-completion package, whose loader finds it by
# name; without that package, source this file from ~/.bashrc.

# _tembrel_cli_files CUR ALL DASHES: ALL=1 for any file, ALL=2 for a reference
# subtitle, DASHES=1 after "--".
_tembrel_cli_files() {
    local cur="$1" all="$2" dashes="$3" name
    compopt -o filenames 2>/dev/null
    while IFS= read -r name; do
        if [ "$dashes" = 0 ] && [[ "$name" == -* ]]; then
            continue
        elif [ "$all" = 1 ] || [ -d "$name" ]; then
            COMPREPLY+=("$name")
        elif [ "$all" = 2 ]; then
            case "${name,,}" in *.smi | *.sami | *.srt | *.vtt | *.ass | *.ssa) COMPREPLY+=("$name") ;; esac
        else
            case "${name,,}" in *.smi) COMPREPLY+=("$name") ;; esac
        fi
    done < <(compgen -f -- "$cur")
}

_tembrel_cli() {
    COMPREPLY=()
    local cword="$COMP_CWORD"
    local cur="${COMP_WORDS[cword]}"
    local prev="${COMP_WORDS[cword - 1]:-}"
    # '=' breaks words in bash: "--end=E" arrives as "--end", "=", "E".
    local option=""
    if [ "$cur" = "=" ]; then
        option="$prev"
        cur=""
    elif [ "$prev" = "=" ] && [ "$cword" -ge 2 ]; then
        option="${COMP_WORDS[cword - 2]}"
    else
        option="$prev"
    fi

    if [ "$cword" -le 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "shift sync append last list --help --version" -- "$cur")
        return
    fi

    local command="${COMP_WORDS[1]}" options
    case "$command" in
        shift)
            options="--start= --end= --shift= --stretch= --fps= --quoted -v --verbose -n --dry-run
                -o --output= --help"
            ;;
        sync)
            options="--at= --to= --force --quoted -v --verbose -n --dry-run -o --output=
                --help"
            ;;
        append) options="--offset= --quoted -v --verbose -n --dry-run -o --output= --help" ;;
        last | list) options="--quoted -v --verbose --help" ;;
        *) return ;;
    esac

    local i
    for ((i = 2; i < cword; i++)); do
        if [ "${COMP_WORDS[i]}" = "--" ]; then
            _tembrel_cli_files "$cur" 0 1
            return
        fi
    done

    case "$option" in
        -o | --output)
            _tembrel_cli_files "$cur" 1 0
            return
            ;;
        --to)
            _tembrel_cli_files "$cur" 2 0
            return
            ;;
        --end)
            mapfile -t COMPREPLY < <(compgen -W "E" -- "$cur")
            return
            ;;
        --start | --shift | --stretch | --offset | --at | --fps)
            # A time, a point or frame rates: nothing to offer.
            return
            ;;
    esac

    if [[ "$cur" == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        [[ "${COMPREPLY[0]:-}" == *= ]] && compopt -o nospace 2>/dev/null
        return
    fi
    _tembrel_cli_files "$cur" 0 0
}

complete -F _tembrel_cli tembrel-cli
