#!/usr/bin/env bash
# Checks the two packages as their users get them.
#
#   tests/verifier_paquets.sh deb FILE.deb        (as root: installs, then removes)
#   tests/verifier_paquets.sh zip FILE.zip WINEPREFIX
#
# deb: lintian finds no error; dpkg -i installs it; fusion, found on PATH,
# prints the 21 lines; dpkg -L lists the program, its manual page and its
# documentation; dpkg -r removes it and leaves none of its files behind.
# zip: it holds exactly fusion.exe and LISEZMOI.txt (CR LF line ends), and
# fusion.exe is a 32-bit console program that runs under wine with the exact
# output.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
attendu=$source_dir/tests/sortie_attendue.txt

echec() {
    echo "verifier_paquets: $*" >&2
    exit 1
}

verifier_deb() {
    local deb=$1 f
    [[ -f $deb ]] || echec "no such file: $deb"
    ((EUID == 0)) || echec "installing a package needs root"
    if dpkg-query -W -f='${Status}' fusion 2>/dev/null | grep -q 'ok installed'; then
        echec "fusion is already installed here; not touching that installation"
    fi

    echo "== lintian $deb"
    lintian --fail-on error --tag-display-limit 0 "$deb" || echec "lintian reports errors"

    echo "== dpkg -i"
    dpkg -i "$deb"
    trap 'dpkg -r fusion >/dev/null 2>&1 || true' EXIT
    [[ $(command -v fusion) == /usr/bin/fusion ]] || echec "fusion is not on PATH as /usr/bin/fusion"
    fusion </dev/null | cmp - "$attendu" || echec "the installed fusion prints something else"

    local liste
    liste=$(dpkg -L fusion)
    for f in /usr/bin/fusion /usr/share/man/man1/fusion.1.gz /usr/share/doc/fusion/README.md \
        /usr/share/doc/fusion/copyright /usr/share/doc/fusion/changelog.gz; do
        grep -qx "$f" <<<"$liste" || echec "dpkg -L does not list $f"
    done
    if command -v man >/dev/null; then
        [[ -n $(MANWIDTH=80 man -l /usr/share/man/man1/fusion.1.gz 2>&1 | grep 'CODE DE RETOUR') ]] ||
            echec "the manual page does not render"
    fi

    echo "== dpkg -r"
    dpkg -r fusion
    trap - EXIT
    if dpkg-query -W -f='${Status}' fusion 2>/dev/null | grep -q 'ok installed'; then
        echec "fusion is still installed"
    fi
    while read -r f; do
        [[ -f $f || -L $f ]] && echec "left behind: $f"
    done <<<"$liste"
    [[ ! -e /usr/share/doc/fusion ]] || echec "left behind: /usr/share/doc/fusion"
    echo "deb: all checks passed"
}

verifier_zip() {
    local zip=$1 prefixe=$2 contenu ligne
    [[ -f $zip ]] || echec "no such file: $zip"
    dossier=$(mktemp -d) # global: the EXIT trap removes it
    trap 'rm -rf "$dossier"' EXIT

    echo "== contents of $zip"
    contenu=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
    [[ $contenu == "LISEZMOI.txt fusion.exe " ]] || echec "the zip holds: $contenu"
    (cd "$dossier" && cmake -E tar xf "$zip")

    while IFS= read -r ligne; do
        [[ $ligne == *$'\r' ]] || echec "LISEZMOI.txt has a line without CR LF: $ligne"
    done <"$dossier/LISEZMOI.txt"

    file -b "$dossier/fusion.exe" | grep -q '^PE32 executable (console) Intel 80386' ||
        echec "fusion.exe is not a 32-bit console program: $(file -b "$dossier/fusion.exe")"

    echo "== fusion.exe under wine"
    (cd "$dossier" && cmake "-D EMULATOR=env;WINEDEBUG=-all;WINEPREFIX=$prefixe;LC_ALL=C;wine" \
        -D "PROGRAM=$dossier/fusion.exe" -D MODE=sortie -D "EXPECTED=$attendu" -D CRLF=ON \
        -D "SUFFIX_FILE=$source_dir/tests/invite_pause_wine.txt" \
        -P "$source_dir/tests/run_fusion.cmake") || echec "fusion.exe prints something else"
    echo "zip: all checks passed"
}

case ${1:-} in
deb) verifier_deb "$(realpath "$2")" ;;
zip) verifier_zip "$(realpath "$2")" "$(realpath -m "$3")" ;;
*) echec "usage: $0 deb FILE.deb | zip FILE.zip WINEPREFIX" ;;
esac
