#!/usr/bin/env bash
# The packaged bash completion of tembrel-cli, called as bash calls it: for
# each command line (words, the index of the word being completed) the
# offered words must be exactly the expected ones.
#
#   check_completion.sh COMPLETION_FILE SCRATCH_DIR
set -uo pipefail

completion="$1" scratch="$2"
rm -rf "$scratch"
mkdir -p "$scratch/season"
cd "$scratch" || exit 1
touch a.smi B.SMI notes.txt ref.Srt -- -dash.smi
# shellcheck source=/dev/null
source "$completion"
complete -p tembrel-cli >/dev/null || { echo "FAILED: no completion for tembrel-cli"; exit 1; }

# words (the last one is being completed) | what is offered, sorted
cases=(
    "tembrel-cli ''|--help --version append last list shift sync"
    "tembrel-cli s|shift sync"
    "tembrel-cli shift --st|--start= --stretch="
    "tembrel-cli shift --end ''|E"
    "tembrel-cli shift --end =|E"
    "tembrel-cli shift --end = e|"
    "tembrel-cli shift --shift ''|"
    "tembrel-cli shift --start = 1|"
    "tembrel-cli shift ''|B.SMI a.smi season"
    "tembrel-cli shift a.smi ''|B.SMI a.smi season"
    "tembrel-cli shift -o ''|B.SMI a.smi notes.txt ref.Srt season"
    "tembrel-cli shift --output = n|notes.txt"
    "tembrel-cli shift -- -|-dash.smi"
    "tembrel-cli append --o|--offset= --output="
    "tembrel-cli append -|--dry-run --help --offset= --output= --quoted --verbose -n -o -v"
    "tembrel-cli sync --|--at= --dry-run --force --help --output= --quoted --to= --verbose"
    "tembrel-cli sync --to ''|B.SMI a.smi ref.Srt season"
    "tembrel-cli sync --to = r|ref.Srt"
    "tembrel-cli sync --to=ref.Srt ''|B.SMI a.smi season"
    "tembrel-cli l|last list"
    "tembrel-cli list -|--help --quoted --verbose -v"
    "tembrel-cli list ''|B.SMI a.smi season"
    "tembrel-cli sync --at = 1|"
    "tembrel-cli shift --fps ''|"
    "tembrel-cli shift --f|--fps="
    "tembrel-cli last -|--help --quoted --verbose -v"
    "tembrel-cli shift --q|--quoted"
    "tembrel-cli shift --quoted ''|B.SMI a.smi season"
    "tembrel-cli bogus ''|"
)

failures=0
for case in "${cases[@]}"; do
    line="${case%%|*}" expected="${case#*|}"
    eval "COMP_WORDS=($line)"
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tembrel_cli
    offered="$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd' ')"
    if [ "$offered" != "$expected" ]; then
        echo "FAILED: '$line' offered '$offered', expected '$expected'"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "${#cases[@]} command lines completed as expected"
