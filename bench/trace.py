#!/usr/bin/env python3
"""Draws fusion_bench's JSON output as an SVG with Debian's gnuplot.

    bench/trace.py FILE.json OUT.svg

One panel per input shape: nanoseconds per element written against the size
of each input (1 to 32 for the tiny inputs, 2^10 to 2^22 for the others, both
axes logarithmic), one line per method
(fusion, each kernel forced, std::merge, memcpy), so that one sees where each
method wins. The processor's name is in the title."""

import os
import subprocess
import sys
import tempfile

from mesures import FORMES, METHODES, PROGRAMME, lire

COULEURS = {"fusion": "#d62728", "scalar": "#9467bd", "SSE4.1": "#2ca02c", "AVX2": "#ff7f0e",
            "AVX-512": "#8c564b",
            "std::merge": "#1f77b4", "memcpy": "#7f7f7f"}


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    contexte, temps = lire(sys.argv[1])
    with tempfile.TemporaryDirectory() as dossier:
        commandes = [
            "set terminal svg size 1600,760 dynamic font 'sans,11'",
            f"set output '{os.path.abspath(sys.argv[2])}'",
            "set multiplot layout 2,4 title "
            f"'fusion, {contexte.get('processeur', 'unknown processor')}"
            f" (fusion chooses {contexte.get('jeu_choisi', '?')}): ns per element written'",
            "set logscale xy 2", "set format x '2^{%L}'", "set xlabel 'elements per input'",
            "set ylabel 'ns / element'", "unset key", "set grid",
        ]
        # The program's own size is a single point: the table shows it.
        for forme, nom in enumerate(FORMES[:PROGRAMME]):
            courbes = []
            for m in METHODES:
                points = sorted((n, t) for (mm, f, n), t in temps.items() if mm == m and f == forme)
                if not points:
                    continue
                fichier = os.path.join(dossier, f"{forme}-{METHODES.index(m)}.dat")
                with open(fichier, "w") as sortie:
                    sortie.writelines(f"{n} {t}\n" for n, t in points)
                courbes.append(f"'{fichier}' using 1:2 with linespoints lw 2 pt 7 ps 0.5 "
                               f"lc rgb '{COULEURS[m]}' title '{m}'")
            commandes += [f"set title '{nom}'", "plot " + ", ".join(courbes)]
        # The last panel holds the key, away from the curves.
        commandes += ["unset title", "unset border", "unset tics", "unset grid", "unset xlabel",
                      "unset ylabel", "unset logscale", "set xrange [0:1]", "set yrange [0:1]",
                      "set key center center font ',12' spacing 1.4",
                      "plot " + ", ".join(f"NaN with linespoints lw 2 pt 7 lc rgb '{COULEURS[m]}' "
                                          f"title '{m}'" for m in METHODES)]
        commandes.append("unset multiplot")
        subprocess.run(["gnuplot"], input="\n".join(commandes) + "\n", text=True, check=True)


if __name__ == "__main__":
    main()
