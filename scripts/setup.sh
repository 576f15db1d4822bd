#!/usr/bin/env bash
# Installs what Tembrel needs on Debian 12, each package only when it is
# missing. Run as root (or with sudo available).
#
#   scripts/setup.sh cli      a compiler, CMake and Ninja: enough to build and
#                             run tembrel-cli
#   scripts/setup.sh dialog   and MinGW-w64, Wine and a virtual X server: the
#                             Windows program and its dialog under Wine
#   scripts/setup.sh [all]    and everything the tests, fuzzing and
#                             benchmarks use
#
# A package mirror in the middle of an update serves index files that do not
# match its Release file ("File has unexpected size ... Mirror sync in
# progress?"). apt-get update is then tried again a few times after a pause;
# when an index still fails, the install goes on from the lists that were
# read, and only when it fails does the script stop, naming the packages.
# TEMBREL_APT_ATTEMPTS (default 4) and TEMBREL_APT_PAUSE (seconds, default
# 20) change the retries.
set -euo pipefail

cli_packages=(g++ cmake ninja-build)
# The 32-bit Windows program and its end-to-end tests under Wine, headless;
# Wine's X11 driver loads the i386 X libraries, the dialog needs a Korean font.
# Where the kernel runs no 32-bit program, the 64-bit build runs under wine64.
dialog_packages=(g++-mingw-w64-i686 wine wine32:i386 xvfb xauth fonts-nanum
    g++-mingw-w64-x86-64 wine64
    libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386
    libxcomposite1:i386 libxfixes3:i386)
test_packages=(libgtest-dev libbenchmark-dev python3
    # the fuzz targets: clang with libFuzzer and the sanitizer runtimes
    clang libclang-rt-14-dev
    # the package checks: the .deb's dependencies, the man page rendered and
    # linted, and the .deb as Debian's checker sees it
    dpkg-dev man-db groff-base mandoc lintian)

attempts="${TEMBREL_APT_ATTEMPTS:-4}"
pause="${TEMBREL_APT_PAUSE:-20}"

say() {
    echo "setup: $*" >&2
}

case "${1:-all}" in
    cli) packages=("${cli_packages[@]}") ;;
    dialog) packages=("${cli_packages[@]}" "${dialog_packages[@]}") ;;
    all) packages=("${cli_packages[@]}" "${dialog_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: scripts/setup.sh [cli|dialog|all]" >&2
        exit 64
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null ||
        { say "installing ${missing[*]} needs root: run this as root or install sudo"; exit 1; }
    as_root=(sudo)
fi

# Every attempt reads all lists again; after the last one, what was read is
# used (apt keeps an older copy of a list that failed, when it had one).
read_package_lists() {
    local attempt
    for ((attempt = 1; attempt <= attempts; attempt++)); do
        if "${as_root[@]}" apt-get update -qq -o Acquire::Retries=2; then
            return 0
        fi
        if [ "$attempt" -lt "$attempts" ]; then
            say "apt-get update failed (attempt $attempt of $attempts); trying again in ${pause} s"
            sleep "$pause"
        fi
    done
    say "some package lists could not be read; going on with those that were"
}

install_missing() {
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        -o Acquire::Retries=2 "$@" "${missing[@]}"
}

# The packages that the lists as read offer no version of.
unavailable_packages() {
    local p candidate
    for p in "${missing[@]}"; do
        candidate="$(apt-cache policy "$p" 2>/dev/null | awk '$1 == "Candidate:" { print $2 }')"
        if [ -z "$candidate" ] || [ "$candidate" = "(none)" ]; then
            printf '%s ' "$p"
        fi
    done
}

for p in "${missing[@]}"; do
    if [[ "$p" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${as_root[@]}" dpkg --add-architecture i386
        break
    fi
done

say "installing ${missing[*]}"
read_package_lists
if ! install_missing; then
    # A package file replaced on the mirror since the lists were read is gone
    # from it: read the lists again, once.
    say "the install failed; reading the package lists again"
    read_package_lists
    # An index that failed for one architecture only (the security updates'
    # i386 list, say) leaves that architecture's packages at older versions
    # than the other's, and packages installed for both must agree: the
    # release's own versions, preferred over its updates, agree.
    release="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    if ! install_missing && { [ -z "$release" ] ||
        ! { say "trying once more with the packages of $release itself"; install_missing -t "$release"; }; }; then
        unavailable="$(unavailable_packages)"
        say "could not install: ${missing[*]}"
        [ -z "$unavailable" ] || say "not in the package lists that were read: ${unavailable% }"
        say "the package mirror may be in the middle of an update; try again in a few minutes"
        exit 1
    fi
fi
