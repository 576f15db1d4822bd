#!/usr/bin/env bash
# Installs what building and testing Tembrel needs on Debian 12, each package only
# when it is missing. Run as root (or with sudo available).
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev python3
    # the fuzz targets: clang with libFuzzer and the sanitizer runtimes
    clang libclang-rt-14-dev
    # the 32-bit Windows program and its end-to-end tests under Wine, headless;
    # Wine's X11 driver loads the i386 X libraries, the dialog needs a Korean font
    g++-mingw-w64-i686 wine wine32:i386 xvfb xauth fonts-nanum
    # where the kernel runs no 32-bit program: the 64-bit build under wine64
    g++-mingw-w64-x86-64 wine64
    libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386
    libxcomposite1:i386 libxfixes3:i386)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo_cmd dpkg --add-architecture i386
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
