#!/usr/bin/env bash
# Fails when a tracked C++ source or header differs from what clang-format (14, Debian 12's)
# makes of it with the repository's .clang-format, naming each place.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror || {
    echo "Not formatted as .clang-format says: run clang-format -i on the files named above." >&2
    exit 1
}
