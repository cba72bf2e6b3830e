#!/usr/bin/env bash
# Installs the Debian packages the build needs (when missing), configures, builds and runs
# every test through CTest. Extra arguments go to CMake's configure step, for example
#   tools/check.sh -DQUARVEND_SANITIZE=ON
set -euo pipefail

cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}

packages=(cmake ninja-build g++ libgtest-dev binutils-arm-none-eabi)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then
        sudo_cmd=()
    else
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
