#!/usr/bin/env bash
# Installs what is needed, builds Quillsheet and converts the sample workbooks in examples/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh
echo "Built the support library in build/. The conversion itself is not part of this build yet."
