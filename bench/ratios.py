#!/usr/bin/env python3
"""Turns fusion_bench's JSON output into the README's Markdown table.

    bench/ratios.py FILE.json [n]

Prints the processor and the instruction set that fusion chose on it, then
one row for each shape and size (only size n if given, e.g. 1048576, and
the tiny inputs, which are always shown): the
nanoseconds per element written of fusion, of each of its kernels forced
(scalar, SSE4.1, AVX2, AVX-512; "-" where the processor lacks it), of std::merge and
of memcpy, and the time of fusion divided by those of std::merge and of
memcpy. Times are medians when the run has repetitions."""

import sys

from mesures import FORMES, METHODES, PETITES, lire, taille


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    contexte, temps = lire(sys.argv[1])
    seule = int(sys.argv[2]) if len(sys.argv) == 3 else None
    print(f"{contexte.get('processeur', 'unknown processor')}, "
          f"fusion chooses {contexte.get('jeu_choisi', '?')}")
    print()
    entetes = (["shape", "n"] + [f"{m} ns/elt" for m in METHODES] +
               ["fusion / std::merge", "fusion / memcpy"])
    print("| " + " | ".join(entetes) + " |")
    print("|---|---:|" + "---:|" * (len(entetes) - 2))
    for forme, nom in enumerate(FORMES):
        tailles = sorted({n for (_, f, n) in temps if f == forme})
        for n in tailles:
            if seule is not None and n != seule and forme < PETITES:
                continue
            ligne = [nom, taille(forme, n)]
            for m in METHODES:
                t = temps.get((m, forme, n))
                ligne.append("-" if t is None else f"{t:.3f}")
            fus = temps.get(("fusion", forme, n))
            for ref in (temps.get(("std::merge", forme, n)), temps.get(("memcpy", forme, n))):
                ligne.append("-" if ref is None or fus is None else f"{fus / ref:.2f}")
            print("| " + " | ".join(ligne) + " |")


if __name__ == "__main__":
    main()
