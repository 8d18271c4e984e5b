#ifndef FUSION_FUSION_BOUCLE_H
#define FUSION_FUSION_BOUCLE_H

// The merge as a single plain loop, one comparison per step: what fusion must
// give on every input, in order or not, and what the tests, the fuzzer and
// the benchmark compare it against. Inline, because fusion itself runs it on
// the tiniest inputs, where a call would cost as much as the merge.
inline void fusion_boucle(const int* t1, int taille1, const int* t2, int taille2, int* tab)
{
    int i = 0;
    int j = 0;
    int k = 0;
    while (i < taille1 && j < taille2) {
        if (t1[i] < t2[j]) {
            tab[k] = t1[i];
            i++;
        } else {
            tab[k] = t2[j];
            j++;
        }
        k++;
    }
    if (i == taille1) {
        while (j < taille2) {
            tab[k] = t2[j];
            k++;
            j++;
        }
    } else {
        while (i < taille1) {
            tab[k] = t1[i];
            k++;
            i++;
        }
    }
}

#endif
