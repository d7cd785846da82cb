#!/bin/sh
# Installs the Debian packages Vellaro needs to build, test and run, skipping those already present.
# With the argument "sanitize" it adds clang and its sanitizer and libFuzzer libraries.
set -e

packages="g++ make cmake ninja-build pkg-config
qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-gtk-platformtheme
libsqlcipher-dev libicu-dev libexiv2-dev libbenchmark-dev
qt6-image-formats-plugins
fonts-liberation poppler-utils xvfb xauth
desktop-file-utils appstream libxml2-utils"
if [ "$1" = sanitize ]; then
    packages="$packages clang libclang-rt-14-dev llvm"
fi

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
