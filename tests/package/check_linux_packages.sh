#!/usr/bin/env bash
# The Linux packages hold what a user needs: the .deb (unpacked into ROOT by
# dpkg-deb) and the .tar.gz each carry tembrel-cli, its man page, its bash
# completion, the changelog and the licence in Debian's copyright format; the
# packaged program prints the version; the .deb recommends bash-completion.
#
#   check_linux_packages.sh DEB TGZ ROOT VERSION
set -euo pipefail

deb="$1" tgz="$2" root="$3" version="$4"
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

files=(bin/tembrel-cli share/man/man1/tembrel-cli.1.gz
    share/bash-completion/completions/tembrel-cli share/doc/tembrel-cli/copyright
    share/doc/tembrel-cli/changelog.gz)

for f in "${files[@]}"; do
    [ -s "$root/usr/$f" ] || fail "the .deb has no /usr/$f"
done
[ -x "$root/usr/bin/tembrel-cli" ] || fail "/usr/bin/tembrel-cli is not executable"
copyright="$root/usr/share/doc/tembrel-cli/copyright"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$copyright" ||
    fail "the copyright file is not machine-readable"
grep -q '^License: Expat$' "$copyright" || fail "the copyright file names no Expat (MIT) licence"
gzip -t "$root/usr/share/man/man1/tembrel-cli.1.gz" || fail "the man page is not gzipped"
head="$(gzip -dc "$root/usr/share/doc/tembrel-cli/changelog.gz" | head -n 1)"
[ "$head" = "tembrel-cli ($version) unstable; urgency=medium" ] ||
    fail "the changelog begins '$head', not with version $version"

printed="$("$root/usr/bin/tembrel-cli" --version)" || fail "tembrel-cli --version failed"
[ "$printed" = "tembrel-cli $version" ] || fail "--version printed '$printed', not 'tembrel-cli $version'"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tembrel-cli ] || fail "package name '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "package version '$(field Version)', not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture '$(field Architecture)'"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^@\>]+\>$ ]] ||
    fail "maintainer '$(field Maintainer)' has no address"
[ "$(field Recommends)" = bash-completion ] || fail "Recommends '$(field Recommends)'"
# apt must pull in the C and C++ runtimes the program is linked against.
for lib in libc6 libstdc++6; do
    [[ "$(field Depends)" == *"$lib"* ]] || fail "Depends '$(field Depends)' lacks $lib"
done

listing="$(tar -tzf "$tgz")"
for f in "${files[@]}"; do
    grep -qx "[^/]*/$f" <<<"$listing" || fail "the .tar.gz has no $f"
done

[ "$failures" -eq 0 ] || exit 1
echo "deb $(stat -c %s "$deb") bytes, tar.gz $(stat -c %s "$tgz") bytes: all present"
