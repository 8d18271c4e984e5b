"""Reads fusion_bench's JSON output, for ratios.py and trace.py."""

import json
import re

# The shapes in the benchmark's order, as the README names them.
FORMES = ["random interleaving", "runs of 8", "runs of 64", "t1 wholly below t2",
          "unequal sizes, 1 to 16", "tiny, n + n", "the program's size, n + (n + 2)"]
PETITES = 5
PROGRAMME = 6


def taille(forme, n):
    """How the README writes the size of a row: the two input sizes for the
    tiny shapes, else the larger input's as a power of two."""
    if forme == PETITES:
        return f"{n} + {n}"
    if forme == PROGRAMME:
        return f"{n} + {n + 2}"
    return f"2^{n.bit_length() - 1}"
# Benchmark name -> column name.
NOMS = {"fusion": "fusion", "scalaire": "scalar", "sse41": "SSE4.1", "avx2": "AVX2",
        "avx512": "AVX-512",
        "std_merge": "std::merge", "memcpy": "memcpy"}
METHODES = list(NOMS.values())


def lire(chemin):
    """Returns the run's context and {(method, shape, n): ns per element},
    medians when the run has repetitions; skipped benchmarks are left out."""
    with open(chemin) as f:
        donnees = json.load(f)
    temps = {}
    for b in donnees["benchmarks"]:
        if b.get("error_occurred"):
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        m = re.match(r"BM_(\w+?)/forme:(\d+)/n:(\d+)", b["name"])
        if m and m[1] in NOMS:
            temps[(NOMS[m[1]], int(m[2]), int(m[3]))] = b["par_element"] * 1e9
    return donnees.get("context", {}), temps
