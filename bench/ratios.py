#!/usr/bin/env python3
"""Reads fusion_bench's JSON output and prints, for each shape and size, the
time of fusion and of memcpy divided by the time of std::merge (medians when
the run has repetitions)."""

import json
import re
import sys

FORMES = ["aleatoire", "series de 8", "series de 64", "t1 en dessous", "inegales 1:16"]


def main():
    donnees = json.load(open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin)
    temps = {}
    for b in donnees["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        m = re.match(r"BM_(\w+?)/forme:(\d+)/n:(\d+)", b["name"])
        if m:
            temps[(m[1], int(m[2]), int(m[3]))] = b["par_element"] * 1e9

    print("| shape | n | fusion ns/elt | std::merge ns/elt | memcpy ns/elt | fusion / std::merge |")
    print("|---|---:|---:|---:|---:|---:|")
    for (nom, forme, n), t in sorted(temps.items(), key=lambda e: (e[0][1], e[0][2])):
        if nom != "fusion" or ("std_merge", forme, n) not in temps:
            continue
        ref = temps[("std_merge", forme, n)]
        copie = temps.get(("memcpy", forme, n), float("nan"))
        print(f"| {FORMES[forme]} | 2^{n.bit_length() - 1} | {t:.3f} | {ref:.3f} | {copie:.3f} "
              f"| {t / ref:.2f} |")


if __name__ == "__main__":
    main()
