#!/usr/bin/env bash
# Builds Quillsheet for release (no tests, no sanitizers) into build/ and makes its Debian package
# with CPack there; arguments go to scripts/build.sh. The build's output goes to the standard
# error; the standard output gets only the package's path, so that scripts can take it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh "$@" >&2
log=$(cd build && cpack -G DEB)
echo "$log" >&2
package=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$log")
[ -f "$package" ] || { echo "cpack made no package" >&2; exit 1; }
echo "$package"
