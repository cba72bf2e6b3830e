#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing (as root or through sudo).
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev binutils-arm-none-eabi gcc-arm-none-eabi libsdl2-dev qt6-base-dev
    xvfb x11-utils xdotool imagemagick g++-mingw-w64-i686 wine wine32:i386)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
# Wine runs the 32-bit Quarvend.exe with its 32-bit half, from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
# A mirror caught mid-sync fails one index file now and then; retry, and if it still fails go on
# with the indexes that did arrive, so that the install itself says whether a package is missing.
for attempt in 1 2 3; do
    if "${sudo_cmd[@]}" apt-get update -qq; then
        break
    fi
    if [ "$attempt" -eq 3 ]; then
        echo "apt-get update failed three times; installing from the package lists it did fetch" >&2
    else
        sleep 10
    fi
done
apt_install() {
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$@"
}
if ! apt_install "${missing[@]}"; then
    # Wine's 32-bit half needs the i386 index, the one a mirror mid-sync most often lacks. Without
    # Wine the build and every other test still run; CMake leaves out the Quarvend.exe tests.
    rest=()
    for package in "${missing[@]}"; do
        case "$package" in wine | wine32:i386) ;; *) rest+=("$package") ;; esac
    done
    if [ ${#rest[@]} -eq ${#missing[@]} ]; then
        exit 1
    fi
    if [ ${#rest[@]} -gt 0 ]; then
        apt_install "${rest[@]}"
    fi
    echo "WARNING: Wine could not be installed; the tests of Quarvend.exe under Wine are left out" >&2
fi
