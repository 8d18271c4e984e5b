#!/usr/bin/env bash
# Checks the two packages as their users get them.
#
#   tests/verifier_paquets.sh deb FILE.deb        (as root: installs, then removes)
#   tests/verifier_paquets.sh zip FILE.zip [WINEPREFIX]
#   tests/verifier_paquets.sh exe FILE.exe
#
# deb: lintian finds no error; dpkg -i installs it; fusion, found on PATH,
# prints the 21 lines; dpkg -L lists the program, its manual page and its
# documentation; dpkg -r removes it and leaves none of its files behind.
# zip: it holds exactly fusion.exe, LISEZMOI.txt and LICENSE.txt (CR LF line
# ends), fusion.exe passes the exe checks and, given a wine prefix, runs
# under wine with the exact output. Without one it is not run, and the
# script says so.
# exe: a 32-bit console program for Windows that needs no DLL but those of
# Windows itself.
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

# The DLLs that every Windows has; a program needing any other would not
# start from its zip alone.
readonly dll_systeme='^(kernel32|msvcrt|ucrtbase|user32|advapi32|shell32|ntdll|ws2_32|api-ms-win-.*)\.dll$'

verifier_exe() {
    local exe=$1 genre dll
    [[ -f $exe ]] || echec "no such file: $exe"
    genre=$(file -b "$exe")
    [[ $genre == "PE32 executable (console) Intel 80386"* ]] ||
        echec "$exe is not a 32-bit console program: $genre"
    local dlls
    dlls=$(objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
    [[ -n $dlls ]] || echec "$exe imports no DLL at all, which no Windows program does"
    while read -r dll; do
        grep -Eqi "$dll_systeme" <<<"$dll" || echec "$exe needs $dll, which Windows does not have"
    done <<<"$dlls"
    echo "exe: $(basename "$exe") is a 32-bit console program needing only $(paste -sd ' ' <<<"$dlls")"
}

verifier_zip() {
    local zip=$1 prefixe=$2 contenu ligne texte
    [[ -f $zip ]] || echec "no such file: $zip"
    dossier=$(mktemp -d) # global: the EXIT trap removes it
    trap 'rm -rf "$dossier"' EXIT

    echo "== contents of $zip"
    contenu=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
    [[ $contenu == "LICENSE.txt LISEZMOI.txt fusion.exe " ]] || echec "the zip holds: $contenu"
    (cd "$dossier" && cmake -E tar xf "$zip")

    for texte in LISEZMOI.txt LICENSE.txt; do
        while IFS= read -r ligne; do
            [[ $ligne == *$'\r' ]] || echec "$texte has a line without CR LF: $ligne"
        done <"$dossier/$texte"
    done
    grep -q '^MIT License' "$dossier/LICENSE.txt" || echec "LICENSE.txt is not the MIT licence"

    verifier_exe "$dossier/fusion.exe"

    if [[ -z $prefixe ]]; then
        echo "zip: fusion.exe not run (no wine prefix given)"
        echo "zip: all checks passed but the run"
        return
    fi
    echo "== fusion.exe under wine"
    (cd "$dossier" && cmake "-D EMULATOR=$source_dir/cmake/wine.sh;/usr/bin/wine;$prefixe" \
        -D "PROGRAM=$dossier/fusion.exe" -D MODE=sortie -D "EXPECTED=$attendu" -D CRLF=ON \
        -D "SUFFIX_FILE=$source_dir/tests/invite_pause_wine.txt" \
        -P "$source_dir/tests/run_fusion.cmake") || echec "fusion.exe prints something else"
    echo "zip: all checks passed"
}

case ${1:-} in
deb) verifier_deb "$(realpath "$2")" ;;
zip) verifier_zip "$(realpath "$2")" "${3:+$(realpath -m "$3")}" ;;
exe) verifier_exe "$(realpath "$2")" ;;
*) echec "usage: $0 deb FILE.deb | zip FILE.zip [WINEPREFIX] | exe FILE.exe" ;;
esac
