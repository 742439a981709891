#!/usr/bin/env bash
# Brings translations/quillsheet_en.ts (or the .ts file given) in step with the texts in the
# sources: new texts come in unfinished, texts gone from the sources leave. Translate the new ones
# in Qt Linguist (linguist) or in the file itself; the tests fail while one is left unfinished.
# LUPDATE names the lupdate to use (the tests pass Qt 5's own).
set -euo pipefail
cd "$(dirname "$0")/.."

ts=${1:-translations/quillsheet_en.ts}
"${LUPDATE:-lupdate}" -silent -I . -locations none -no-obsolete -source-language zh_CN \
    -target-language en app automation cli convert excel -ts "$ts"
