#!/usr/bin/env bash
# Installs what building and testing Tembrel needs on Debian 12, each package only
# when it is missing. Run as root (or with sudo available).
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev python3)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
