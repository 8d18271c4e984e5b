#include "fusion_boucle.h"

void fusion_boucle(const int* t1, int taille1, const int* t2, int taille2, int* tab)
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
