#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get as a user would (so its dependencies
# resolve), checks the installed copy (a conversion of examples/ by /usr/bin/quillsheet-cli, the
# manual page, the desktop entry, the bash completion), removes it again and checks that it is
# gone. A copy of the package installed before is removed first. Root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh man-db desktop-file-utils bash-completion

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=600)
manual=/usr/share/man/man1/quillsheet-cli.1.gz
work=$(mktemp -d)

source scripts/checks.sh

remove_package() {
    if dpkg-query -W -f='${Status}' quillsheet 2>/dev/null | grep -q 'install ok installed'; then
        "${apt[@]}" remove quillsheet >/dev/null
    fi
}

# Whatever stopped the script, the package does not stay installed.
finish() {
    local status=$?
    remove_package
    rm -rf "$work"
    verdict "$status" "the Debian package builds, installs, converts and removes cleanly" package
}
trap finish EXIT

declares_dependencies() {
    local depends
    depends=$(dpkg-deb -f "$package" Depends)
    echo "Depends: $depends"
    for needed in 'libreoffice-calc-nogui | libreoffice-calc' libqt5widgets5 libuno-cppu3 \
        libuno-sal3 libuno-cppuhelpergcc3-3 libfontconfig1 fonts-crosextra-carlito \
        fonts-crosextra-caladea fonts-liberation2 bubblewrap; do
        [[ $depends == *"$needed"* ]] || return 1
    done
}

recommends_translations() {
    local recommends
    recommends=$(dpkg-deb -f "$package" Recommends)
    echo "Recommends: $recommends"
    [[ $recommends == *fonts-noto-cjk* && $recommends == *fonts-noto-core* &&
        $recommends == *qttranslations5-l10n* ]]
}

holds() {
    dpkg-deb -c "$package" | awk -v path="./${1#/}" '$NF == path { found = 1 } END { exit !found }'
}

links_everything() {
    ! ldd /usr/bin/Quillsheet /usr/bin/quillsheet-cli | grep 'not found'
}

# Runs a command as a user whose locale is the one given, whatever this machine's is.
in_locale() {
    local lang=$1
    shift
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="$lang" "$@"
}

converts_examples() {
    local output=$work/pdf status=0 summary pdfs
    mkdir "$output"
    in_locale C.UTF-8 /usr/bin/quillsheet-cli "$PWD/examples" "$output" >"$work/run.log" 2>&1 ||
        status=$?
    cat "$work/run.log"
    summary=$(grep -o '^成功将5个excel文件转换为[0-9]*个pdf文件' "$work/run.log") || return 1
    pdfs=$(find "$output" -name '*.pdf' -size +0 | wc -l)
    echo "exit status $status, $pdfs PDF files"
    [ "$status" -eq 0 ] && [ "$pdfs" -gt 0 ] && [ "$summary" = "成功将5个excel文件转换为${pdfs}个pdf文件" ]
}

# The installed copy finds its English translation in /usr/share/quillsheet/translations.
speaks_english() {
    local said
    said=$(in_locale en_US.UTF-8 /usr/bin/quillsheet-cli "$work/missing" "$work/out" 2>&1) || true
    echo "$said"
    [ "$said" = "The source folder does not exist!" ]
}

finds_manual() {
    [ "$(man -w quillsheet-cli)" = "$manual" ] &&
        MANWIDTH=80 man -P cat quillsheet-cli 2>/dev/null | grep -q '^EXIT STATUS'
}

desktop_entry_is_valid() {
    local said
    said=$(desktop-file-validate /usr/share/applications/quillsheet.desktop 2>&1) || {
        echo "$said"
        return 1
    }
    echo "$said"
    ! grep -qE '(error|warning):' <<<"$said"
}

# As an interactive bash would: bash-completion loads the command's completion from its folder on
# first use, then the function answers for "quillsheet-cli --me<TAB>".
completes_merge_sheets() {
    local offered
    offered=$(bash -c '
        source /usr/share/bash-completion/bash_completion
        _completion_loader quillsheet-cli
        completer=$(complete -p quillsheet-cli | sed -n "s/.* -F \([^ ]*\) .*/\1/p")
        COMP_WORDS=(quillsheet-cli --me)
        COMP_CWORD=1
        COMP_LINE="quillsheet-cli --me"
        COMP_POINT=${#COMP_LINE}
        "$completer" quillsheet-cli --me quillsheet-cli
        printf "%s\n" "${COMPREPLY[@]}"')
    echo "offered: $offered"
    [ "$offered" = "--merge-sheets" ]
}

is_gone() {
    [ ! -e /usr/bin/quillsheet-cli ] && [ ! -e /usr/bin/Quillsheet ] &&
        [ ! -e /usr/share/quillsheet ] && [ ! -e "$manual" ]
}

# Held to -Werror as well: the optimiser of the release build warns where the debug build does not.
package=$(scripts/package.sh -DQUILLSHEET_WERROR=ON)
echo "Package: $package ($(stat -c %s "$package") bytes)"
check "the package declares its dependencies" declares_dependencies
check "the package recommends the CJK and other scripts' fonts and Qt's translations" recommends_translations
for file in /usr/bin/Quillsheet /usr/bin/quillsheet-cli /usr/share/quillsheet/Quillsheet.qlx \
    /usr/share/quillsheet/translations/quillsheet_en.qm \
    /usr/share/applications/quillsheet.desktop /usr/share/icons/hicolor/128x128/apps/quillsheet.png \
    "$manual" /usr/share/bash-completion/completions/quillsheet-cli; do
    check "the package holds $file" holds "$file"
done

# Minimal Debian images tell dpkg not to unpack manual pages (path-exclude in
# /etc/dpkg/dpkg.cfg.d/); ours is let through for this installation only.
if grep -qs '^path-exclude=/usr/share/man/' /etc/dpkg/dpkg.cfg.d/*; then
    echo "Note: this system excludes manual pages from packages; $manual is included here"
fi
remove_package
(cd "$(dirname "$package")" &&
    "${apt[@]}" -o DPkg::Options::="--path-include=$manual" install "./$(basename "$package")")

check "the installed programs find every library" links_everything
check "/usr/bin/quillsheet-cli converts examples/" converts_examples
check "/usr/bin/quillsheet-cli speaks English under en_US.UTF-8" speaks_english
check "man -w quillsheet-cli finds the manual page" finds_manual
check "desktop-file-validate accepts the desktop entry" desktop_entry_is_valid
check "completion offers --merge-sheets for --me" completes_merge_sheets

"${apt[@]}" remove quillsheet
check "removing the package removes its files" is_gone
[ "$failures" -eq 0 ]
