#ifndef FUSION_FUSION_BOUCLE_H
#define FUSION_FUSION_BOUCLE_H

// The merge as a single plain loop, one comparison per step: what fusion must
// give on every input, in order or not. Kept for the tests, the fuzzer and
// the benchmark to compare against.
void fusion_boucle(const int* t1, int taille1, const int* t2, int taille2, int* tab);

#endif
