# bash completion for quellstone-cli                        -*- shell-script -*-
#
# Completes the commands, each command's actions and options, and the
# arguments: paths for scan's PATHs, --db FILE, --exclude PATH, database check
# FILE and quarantine restore DEST; the quarantine's archive names for NAME;
# the stored settings' sections and names for settings.

# Adds the paths that start with $cur to COMPREPLY: folders only with -d.
_quellstone_cli_paths() {
    if declare -F _filedir >/dev/null; then
        _filedir ${1:+"$1"}
        return
    fi
    compopt -o filenames 2>/dev/null
    if [ "${1:-}" = -d ]; then
        _quellstone_cli_reply -d
    else
        _quellstone_cli_reply -f
    fi
}

# Adds to COMPREPLY what compgen with these arguments offers for $cur, one
# match a line.
_quellstone_cli_reply() {
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen "$@" -- "$cur")
}

# Adds the archive names in the quarantine folder that start with $cur. The
# names are those of removed files, chosen by whoever made them: they are
# matched as plain text, never handed to compgen -W, which would expand them.
_quellstone_cli_archives() {
    local data=${XDG_DATA_HOME:-}
    [[ $data == /* ]] || data=$HOME/.local/share
    local archive name
    for archive in "$data/Orvanta/Quellstone/Archiwum/"*.arc; do
        name=${archive##*/}
        [[ -f $archive && $name == "$cur"* ]] && COMPREPLY+=("$name")
    done
    # Quoted as file names are: an archive's name may hold a space.
    compopt -o filenames 2>/dev/null
}

# Sets words and cword from COMP_WORDS and COMP_CWORD, joining "--name",
# "=" and "VALUE" back into one word: bash splits them at the "=".
_quellstone_cli_words() {
    words=()
    cword=0
    local i
    for ((i = 0; i < ${#COMP_WORDS[@]}; i++)); do
        if [ "${COMP_WORDS[i]}" = = ] && ((${#words[@]} > 1)) && [[ ${words[-1]} == --* && ${words[-1]} != *=* ]]; then
            words[-1]+="="
            ((i == COMP_CWORD)) && cword=$((${#words[@]} - 1))
            if ((i < COMP_CWORD)); then
                ((i++))
                words[-1]+=${COMP_WORDS[i]}
                ((i == COMP_CWORD)) && cword=$((${#words[@]} - 1))
            fi
            continue
        fi
        words+=("${COMP_WORDS[i]}")
        ((i == COMP_CWORD)) && cword=$((${#words[@]} - 1))
    done
}

_quellstone_cli() {
    local words cword
    _quellstone_cli_words
    local cur=${words[cword]}
    local prev=${words[cword - 1]}
    COMPREPLY=()

    if ((cword == 1)); then
        _quellstone_cli_reply -W "scan quarantine settings stats update-check update-database schedule database
            --help -h --version"
        return
    fi

    # The options of each command (besides --help and -h), those that take a
    # value, and its actions (the first argument, when it has any).
    local command=${words[1]} options="" valued="" actions=""
    case $command in
        scan)
            options="--db --json --journal --remove --skip-hidden --hidden --network --exclude --stored-exclusions --quick
                --whole-computer --processes --autostart --stop-processes --skip-adware --skip-less-dangerous
                --low-priority --threads --record-result"
            valued="--db --exclude --threads"
            ;;
        quarantine) options="--json" actions="list restore delete" ;;
        settings) actions="get set delete" ;;
        stats) options="--reset" ;;
        update-check) options="--server" valued="--server" ;;
        update-database) options="--server --system --if-configured" valued="--server" ;;
        schedule) options="--system" actions="enable disable status" ;;
        database) actions="check" ;;
        *) return ;;
    esac
    options+=" --help -h"

    # The value of an option written as --name=VALUE. Bash replaces only what
    # follows the "=" when "=" breaks words (as it does by default), else the
    # whole word.
    if [[ $cur == --*=* ]]; then
        local name=${cur%%=*}
        cur=${cur#*=}
        case $name in
            --db) _quellstone_cli_paths ;;
            --exclude) _quellstone_cli_paths -d ;;
        esac
        if [[ ${COMP_WORDS[COMP_CWORD]} == --*=* ]]; then
            COMPREPLY=("${COMPREPLY[@]/#/$name=}")
        fi
        return
    fi

    # The arguments before the word being completed: a word that names an
    # option is one (with its value in the next word when it takes one and
    # has no "="), every other word is an argument, and so is every word
    # after "--".
    local i word arguments=() after_dashes=false
    for ((i = 2; i < cword; i++)); do
        word=${words[i]}
        if ! $after_dashes; then
            if [ "$word" = -- ]; then
                after_dashes=true
                continue
            fi
            if [[ " $valued " == *" $word "* ]]; then
                ((i++))
                continue
            fi
            [[ " $options " == *" ${word%%=*} "* ]] && continue
        fi
        arguments+=("$word")
    done

    # The value of the option just before.
    if ! $after_dashes && [[ " $valued " == *" $prev "* ]]; then
        case $prev in
            --db) _quellstone_cli_paths ;;
            --exclude) _quellstone_cli_paths -d ;;
            --threads) _quellstone_cli_reply -W "1 2 4 8 16 32 64" ;;
        esac
        return
    fi

    if ! $after_dashes && [[ $cur == -* ]]; then
        _quellstone_cli_reply -W "$options"
        return
    fi

    if [ -z "$actions" ]; then
        [ "$command" = scan ] && _quellstone_cli_paths
        return
    fi
    if ((${#arguments[@]} == 0)); then
        _quellstone_cli_reply -W "$actions"
        return
    fi

    # The arguments of the action: its place among them picks what fits.
    local action=${arguments[0]} place=${#arguments[@]}
    case $command/$action/$place in
        quarantine/restore/1 | quarantine/delete/1) _quellstone_cli_archives ;;
        quarantine/restore/2 | database/check/1) _quellstone_cli_paths ;;
        settings/*/1) _quellstone_cli_reply -W "Settings Status" ;;
        settings/*/2)
            case ${arguments[1],,} in
                settings)
                    _quellstone_cli_reply -W "curLang Quarintine ScanHidden ScanNetwork ExcludedFolders ListingThreads
                        LastScanFolder WindowGeometry"
                    ;;
                status) _quellstone_cli_reply -W "TotalScans TotalObjectsRemoved LastSystemScan" ;;
            esac
            ;;
        settings/set/3)
            case ${arguments[2],,} in
                curlang) _quellstone_cli_reply -W "English Polish Deutsch" ;;
                quarintine | scanhidden | scannetwork) _quellstone_cli_reply -W "0 1" ;;
            esac
            ;;
    esac
}

complete -F _quellstone_cli quellstone-cli
