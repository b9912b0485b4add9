# bash completion for tavro-cli: options, their values, and paths.
_tavro_cli() {
    local cur prev words cword
    _init_completion -n = || return

    case "$prev" in
        --jobs | -j)
            COMPREPLY=($(compgen -W "1 2 4 8 16" -- "$cur"))
            return ;;
        --files-from)
            _filedir
            [[ "-" == "$cur"* ]] && COMPREPLY+=(-)
            return ;;
        --map | --graph-svg | --graph-dot | --output)
            _filedir
            return ;;
        --template)
            COMPREPLY=($(compgen -W "'%@\\t%A\\n'" -- "$cur"))
            return ;;
        --set)
            COMPREPLY=($(compgen -S = -W "IARL IART ICMS ICMT ICOP ICRD ICRP IDIM IDPI IENC IENG
                IGNR IKEY ILGT IMED INAM IPLT IPRD ISBJ ISFT ISHP IRIP ISRC ISRF ITCH" -- "$cur"))
            compopt -o nospace
            return ;;
    esac

    # After "--" every word is a path.
    local i
    for ((i = 1; i < cword; i++)); do
        [[ "${words[i]}" == -- ]] && { _filedir; return; }
    done

    if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W "--json --jsonl --recursive -r --jobs -j --files-from
            --codecs --formats --render --template --map --graph-svg --graph-dot
            --set --output --help -h --version --" -- "$cur"))
        return
    fi
    _filedir
}
complete -F _tavro_cli tavro-cli
