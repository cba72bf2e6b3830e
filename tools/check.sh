#!/usr/bin/env bash
# Installs the Debian packages the build needs (when missing), configures, builds and runs
# every test through CTest. Extra arguments go to CMake's configure step, for example
#   tools/check.sh -DQUARVEND_SANITIZE=ON
set -euo pipefail

cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}

tools/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
