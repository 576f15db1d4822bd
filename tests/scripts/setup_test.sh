#!/usr/bin/env bash
# scripts/setup.sh against a package mirror in the middle of an update: apt-get,
# apt-cache, dpkg and dpkg-query are stand-ins on PATH that fail as each case
# says, and the case checks what the script asked apt for, its messages and
# its exit status. Nothing is installed.
#
#   setup_test.sh SETUP_SCRIPT SCRATCH_DIR
set -uo pipefail

setup="$1" scratch="$2"
rm -rf "$scratch"
mkdir -p "$scratch/bin"
log="$scratch/calls"

# The stand-ins log each call. FAKE_INSTALLED: the packages already there;
# FAKE_UPDATE_FAILURES / FAKE_INSTALL_FAILURES: how many of those calls fail
# before one works; FAKE_NO_CANDIDATE: packages missing from the lists;
# FAKE_FOREIGN: dpkg's foreign architectures.
cat >"$scratch/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
log="$FAKE_DIR/calls"
verb="$1"
[ "$verb" = update ] || verb="$(printf '%s\n' "$@" | grep -x install)"
# The verb and the package names; options and their values are left out.
echo "apt-get $verb${DEBIAN_FRONTEND:+ ($DEBIAN_FRONTEND)} $(printf '%s\n' "$@" | grep -v -e '^-' -e '::' | grep -vx "$verb" | paste -sd' ')" >>"$log"
count=$(grep -c "^apt-get $verb" "$log")
if [ "$verb" = update ] && [ "$count" -le "${FAKE_UPDATE_FAILURES:-0}" ]; then
    echo "E: Failed to fetch .../Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100
fi
if [ "$verb" = install ] && [ "$count" -le "${FAKE_INSTALL_FAILURES:-0}" ]; then
    echo "E: Unable to fetch some archives" >&2
    exit 100
fi
exit 0
FAKE
cat >"$scratch/bin/apt-cache" <<'FAKE'
#!/usr/bin/env bash
for p in ${FAKE_NO_CANDIDATE:-}; do
    [ "$p" = "$2" ] && { echo "$2:"; echo "  Installed: (none)"; echo "  Candidate: (none)"; exit 0; }
done
echo "$2:"; echo "  Installed: (none)"; echo "  Candidate: 1.0-1"
FAKE
cat >"$scratch/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
package="${*: -1}"
for p in ${FAKE_INSTALLED:-}; do
    [ "$p" = "$package" ] && { printf 'install ok installed'; exit 0; }
done
echo "dpkg-query: no packages found matching $package" >&2
exit 1
FAKE
cat >"$scratch/bin/dpkg" <<'FAKE'
#!/usr/bin/env bash
case "$1" in
    --print-foreign-architectures) [ -z "${FAKE_FOREIGN:-}" ] || echo "$FAKE_FOREIGN" ;;
    *) echo "dpkg $*" >>"$FAKE_DIR/calls" ;;
esac
FAKE
# As root or not, the script's calls reach the stand-ins.
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$scratch/bin/sudo"
chmod +x "$scratch/bin/"*

cli="g++ cmake ninja-build"
failures=0
# name | set | environment | exit status | calls, ';' between them | words the messages hold, ';' between them
cases=(
    "all there|cli|FAKE_INSTALLED='$cli'|0||"
    "cli only|cli|FAKE_INSTALLED=cmake|0|apt-get update ;apt-get install (noninteractive) g++ ninja-build|installing g++ ninja-build"
    "lists read at the third try|cli|FAKE_UPDATE_FAILURES=2|0|apt-get update ;apt-get update ;apt-get update ;apt-get install (noninteractive) $cli|attempt 1 of 4;attempt 2 of 4"
    "a list never read: go on|cli|FAKE_UPDATE_FAILURES=9|0|apt-get update ;apt-get update ;apt-get update ;apt-get update ;apt-get install (noninteractive) $cli|going on with those that were"
    "install fails once: lists read again|cli|FAKE_INSTALL_FAILURES=1|0|apt-get update ;apt-get install (noninteractive) $cli;apt-get update ;apt-get install (noninteractive) $cli|reading the package lists again"
    "install fails twice: the release's own packages|cli|FAKE_INSTALL_FAILURES=2|0|apt-get update ;apt-get install (noninteractive) $cli;apt-get update ;apt-get install (noninteractive) $cli;apt-get install (noninteractive) |packages of"
    "install fails three times|cli|FAKE_INSTALL_FAILURES=3 FAKE_UPDATE_FAILURES=9 TEMBREL_APT_ATTEMPTS=2|1|apt-get update ;apt-get update ;apt-get install (noninteractive) $cli;apt-get update ;apt-get update ;apt-get install (noninteractive) $cli;apt-get install (noninteractive) |could not install: $cli;middle of an update"
    "a package not in the lists|cli|FAKE_INSTALL_FAILURES=3 FAKE_NO_CANDIDATE=ninja-build|1|apt-get update ;apt-get install (noninteractive) $cli;apt-get update ;apt-get install (noninteractive) $cli;apt-get install (noninteractive) |not in the package lists that were read: ninja-build;middle of an update"
    "dialog adds i386 first|dialog|FAKE_INSTALLED='$cli g++-mingw-w64-i686 xvfb xauth fonts-nanum g++-mingw-w64-x86-64 wine64 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386'|0|dpkg --add-architecture i386;apt-get update ;apt-get install (noninteractive) wine wine32:i386|"
    "i386 already there|dialog|FAKE_FOREIGN=i386 FAKE_INSTALLED='$cli wine g++-mingw-w64-i686 xvfb xauth fonts-nanum g++-mingw-w64-x86-64 wine64 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386'|0|apt-get update ;apt-get install (noninteractive) wine32:i386|"
    "the tests' set has the checkers|all|FAKE_FOREIGN=i386|0|apt-get update ;apt-get install|mandoc;lintian;dpkg-dev;libgtest-dev;wine32:i386;ninja-build"
    "unknown set|everything||64||usage"
)

for case in "${cases[@]}"; do
    IFS='|' read -r name set environment status calls words <<<"$case"
    : >"$log"
    messages="$(eval "env -u DEBIAN_FRONTEND PATH='$scratch/bin:$PATH' FAKE_DIR='$scratch' TEMBREL_APT_PAUSE=0 $environment \
        bash '$setup' '$set'" 2>&1 >/dev/null)"
    got=$?
    made="$(paste -sd';' "$log")"
    problem=""
    [ "$got" = "$status" ] || problem+=" exit status $got, expected $status;"
    # The calls must match in order; the last one may hold more words.
    [[ "$made" == "$calls"* ]] || problem+=" calls '$made', expected '$calls';"
    [ -n "$calls" ] || [ -z "$made" ] || problem+=" calls '$made', expected none;"
    IFS=';' read -ra expected_words <<<"$words"
    for w in "${expected_words[@]}"; do
        [[ "$messages$made" == *"$w"* ]] || problem+=" no '$w' in the messages or calls;"
    done
    if [ -n "$problem" ]; then
        echo "FAILED: $name:$problem"
        echo "$messages" | sed 's/^/    /'
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "${#cases[@]} set-up cases behaved as expected"
