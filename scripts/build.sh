#!/usr/bin/env bash
# Installs what is needed and builds Quillsheet into build/. Arguments go to CMake's configure
# step after the defaults (CI: -DQUILLSHEET_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILLSHEET_TESTS=OFF -DQUILLSHEET_SANITIZE=OFF \
    -DQUILLSHEET_WERROR=OFF "$@"
cmake --build build -j "$(nproc)"
