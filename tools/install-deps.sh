#!/usr/bin/env bash
# Installs the Debian packages the build and its tests need, when any is missing (as root or
# through sudo). When everything is there it only asks dpkg, which takes a fraction of a second,
# so every tool calls it first.
#
# Wine: Quarvend.exe is a 32-bit program, which Wine runs with its 32-bit half, wine32:i386 from
# the i386 architecture. Some mirrors cannot deliver it (no i386 security index, so its
# dependencies conflict with the amd64 packages). It is tried once per machine; a failure is
# remembered in $state_dir/wine32-unavailable (remove the file to try again), and wine64 with the
# x86-64 MinGW compiler stand in: the build then tests an x86-64 Quarvend.exe under wine64. When
# no Wine at all can be installed, $state_dir/wine-unavailable says so, and the test run reports
# the Wine tests as not run instead of failing them.
set -euo pipefail

state_dir=${QUARVEND_STATE_DIR:-/var/lib/quarvend}
wine32_marker=$state_dir/wine32-unavailable
no_wine_marker=$state_dir/wine-unavailable

packages=(cmake ninja-build g++ libgtest-dev binutils-arm-none-eabi gcc-arm-none-eabi libsdl2-dev
    qt6-base-dev xvfb x11-utils xdotool imagemagick g++-mingw-w64-i686)
wine_with_32_bit=(wine wine32:i386)
wine_64_bit_only=(wine wine64 g++-mingw-w64-x86-64)

# The packages of the list that dpkg has installed, in one call.
declare -A installed=()
while IFS=$'\t' read -r name status; do
    [ "$status" = "install ok installed" ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package}\t${Status}\n' "${packages[@]}" "${wine_with_32_bit[@]}" \
    "${wine_64_bit_only[@]}" 2>/dev/null || true)

missing_of() {
    local package
    for package in "$@"; do
        [ -n "${installed[${package%:*}]:-}" ] || echo "$package"
    done
}

warn_no_wine() {
    {
        echo "######################################################################"
        echo "WARNING: no Wine could be installed on this machine (see $no_wine_marker)."
        echo "The tests of Quarvend.exe under Wine do not run. Remove that file to try again."
        echo "######################################################################"
    } >&2
}

mapfile -t missing < <(missing_of "${packages[@]}")
if [ -z "$(missing_of wine32:i386)" ]; then
    wine_plan=with_32_bit
    mapfile -t -O "${#missing[@]}" missing < <(missing_of "${wine_with_32_bit[@]}")
elif [ -f "$no_wine_marker" ]; then
    wine_plan=none
elif [ -f "$wine32_marker" ]; then
    wine_plan=64_bit_only
    mapfile -t -O "${#missing[@]}" missing < <(missing_of "${wine_64_bit_only[@]}")
else
    wine_plan=try_32_bit
    mapfile -t -O "${#missing[@]}" missing < <(missing_of wine wine32:i386)
fi
if [ ${#missing[@]} -eq 0 ]; then
    if [ "$wine_plan" = none ]; then
        warn_no_wine
    fi
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
apt_install() {
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        -o DPkg::Lock::Timeout=300 "$@"
}
remember() {
    "${sudo_cmd[@]}" mkdir -p "$state_dir"
    printf '%s\n' "$(date -u '+%Y-%m-%d %H:%M:%S UTC')" "${@:2}" |
        "${sudo_cmd[@]}" tee "$1" >/dev/null
}

added_i386=no
if [ "$wine_plan" = try_32_bit ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
    added_i386=yes
fi
# One index update; when part of it fails (a mirror mid-sync, a missing i386 index) the install
# below says whether a package it needs was among the lost lists.
if ! "${sudo_cmd[@]}" apt-get update -qq; then
    echo "apt-get update failed in part; installing from the package lists it did fetch" >&2
fi

mapfile -t rest < <(printf '%s\n' "${missing[@]}" |
    grep -vx 'wine\|wine32:i386\|wine64\|g++-mingw-w64-x86-64' || true)
if [ ${#rest[@]} -gt 0 ]; then
    apt_install "${rest[@]}"
fi

case "$wine_plan" in
with_32_bit)
    mapfile -t wine_missing < <(missing_of "${wine_with_32_bit[@]}")
    if [ ${#wine_missing[@]} -gt 0 ]; then
        apt_install "${wine_missing[@]}"
    fi
    ;;
try_32_bit)
    # The first try of wine32 on this machine; whatever its outcome, it is the last one.
    apt_log=$(mktemp)
    if apt_install "${wine_with_32_bit[@]}" 2>"$apt_log"; then
        wine_plan=with_32_bit
    else
        remember "$wine32_marker" "apt-get could not install wine32:i386:" "$(tail -n 4 "$apt_log")"
        echo "wine32:i386 cannot be installed here; the Wine tests run an x86-64 Quarvend.exe" \
            "under wine64 (remembered in $wine32_marker)" >&2
        wine_plan=64_bit_only
        # On such a mirror the i386 architecture only makes every later index update fail.
        if [ "$added_i386" = yes ]; then
            "${sudo_cmd[@]}" dpkg --remove-architecture i386 || true
        fi
    fi
    rm -f "$apt_log"
    ;;
esac
if [ "$wine_plan" = 64_bit_only ]; then
    mapfile -t wine_missing < <(missing_of wine wine64)
    if [ ${#wine_missing[@]} -gt 0 ] && ! apt_install "${wine_missing[@]}"; then
        remember "$no_wine_marker" "apt-get could not install ${wine_missing[*]}"
        warn_no_wine
    fi
    # The compiler of the x86-64 Quarvend.exe that wine64 runs.
    mapfile -t compiler_missing < <(missing_of g++-mingw-w64-x86-64)
    if [ ${#compiler_missing[@]} -gt 0 ]; then
        apt_install "${compiler_missing[@]}"
    fi
fi
if [ "$wine_plan" = none ]; then
    warn_no_wine
fi
