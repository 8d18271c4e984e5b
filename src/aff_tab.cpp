#include "aff_tab.h"

#include <cstdio>

void aff_tab(const int* t01, const int* t02, const int* tf00, int nb01, int nb02, int nbff)
{
    std::printf("|   Tableau 1   ||   Tableau 2   ||   Tableau F   |\n");
    std::printf("|---------------||---------------||---------------|\n");
    std::printf("|indice| valeur ||indice| valeur ||indice| valeur |\n");
    std::printf("|------|--------||------|--------||------|--------|\n");

    for (int i = 0; i < nbff; i++) {
        if (i < nb01) {
            std::printf("|  %2d  |  %4d  |", i, t01[i]);
        } else {
            std::printf("|******|********|");
        }
        if (i < nb02) {
            std::printf("|  %2d  |  %4d  |", i, t02[i]);
        } else {
            std::printf("|******|********|");
        }
        std::printf("|  %2d  |  %4d  |\n", i, tf00[i]);
    }
}
