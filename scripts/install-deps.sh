#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and packaging Quillsheet need,
# and those named as arguments. Works as root and, for anyone else, through sudo. Skips apt when
# all are there already.
set -euo pipefail

packages=(
    g++ cmake make clang-format
    googletest libgtest-dev
    libreoffice-calc-nogui libreoffice-dev poppler-utils libfontconfig-dev bubblewrap
    fonts-noto-cjk fonts-noto-core fonts-crosextra-carlito fonts-crosextra-caladea fonts-liberation2
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools qttranslations5-l10n
    dpkg-dev file xvfb openbox xfwm4 dbus-daemon libxcb1-dev python3-jsonschema python3-openpyxl
    python3-pil
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
