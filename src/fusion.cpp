#include "fusion.h"

#include "fusion_boucle.h"
#include "noyaux/fusion_noyaux.h"

#include <algorithm>
#include <cstddef>

// fusion gives exactly what the plain loop gives (fusion_boucle.h): while
// both inputs have elements, take t1's front element if it is strictly less
// than t2's, otherwise t2's; then copy the rest of whichever input is left.
// It only runs those steps faster, the way that suits the size and what the
// data has shown so far (the ways are in noyaux/):
//
// - the plain loop itself for the tiniest inputs (7 elements or fewer),
//   where anything else costs more than the merge;
// - one network for inputs that fit in four vector registers a side, if the
//   processor has vectors and both are in order: no stretch, no probe;
// - otherwise in stretches, each run the way that suits what the stretch
//   before showed:
//   - vector windows (fusion_tranche.cpp, fusion_blocs.inc), for inputs in
//     order whose sides interleave, unequal sizes included, and for all
//     inputs too short to pay for a probe: four streams side by side (two
//     for short ones), each merging the next L elements of both sides by one
//     network; a stretch found out of order is done again by the scalar
//     steps, which then keep the merge for a while, twice as long after each
//     such stretch;
//   - by runs, a copy of each run, once runs are long, or keep one length so
//     that the branches that end them are foreseen: several elements at a
//     time with vectors (series_vectorielles), else fusion_scalaire.cpp;
//   - without branches (fusion_scalaire.cpp), a select per step, where runs
//     are short and no vector unit helps.

namespace
{

const std::ptrdiff_t kTranche = 65536; // steps of a vector stretch
const std::ptrdiff_t kBloc = 256;      // steps of a scalar stretch
const std::ptrdiff_t kSonde = 64;      // most steps by runs that decide the next stretch

// Below this average run length a scalar stretch goes without branches.
const std::ptrdiff_t kSerieMin = 4;
// From this average run length on, the run copy beats the vector blocks.
const std::ptrdiff_t kSerieLongue = 16;
// Runs that keep one length beat them from this length on, since the
// branches of the run copy are then foreseen; the probe that finds them is
// trusted for this many steps.
const std::ptrdiff_t kSerieReguliere = 6;
const std::ptrdiff_t kTrancheReguliere = 2048;

// Whether `series` runs over n steps are `longueur` long or more on average.
bool en_moyenne(std::ptrdiff_t series, std::ptrdiff_t n, std::ptrdiff_t longueur)
{
    return series * longueur <= n;
}

// The steps of the probe before a vector stretch, with `reste` elements
// left: at most kSonde, and at most a 64th of what is left, since on random
// inputs each of them costs a mispredicted branch (random 65 + 65 took 316 ns
// with a probe of 64 steps, 187 with one of 16, against 124 for the vector
// blocks alone, on an AMD EPYC, Zen 5). A probe of fewer steps than a long
// run could not tell long runs at all: none then.
std::ptrdiff_t pas_de_sonde(std::ptrdiff_t reste)
{
    const std::ptrdiff_t n = std::min(reste / 64, kSonde);
    return n < kSerieLongue ? 0 : n;
}

// Whether the probe found runs of one length: at most one in eight of them
// of a new length, the rest as long as the one before them on their side,
// and runs compared on both sides. A side of single elements between long
// runs of the other (unequal sizes) looks regular on its own, and the other
// side then showed too few whole runs to be judged: such inputs went to the
// run copy for a quarter of 1024 + 16384, where the windows were twice as
// fast. The probe is 64 steps long so that runs of 8 show a run compared on
// each side; over 32 they often did not, and went to the vector blocks
// (runs of 8 with SSE4.1: 0.55 ns per element instead of 0.33).
bool series_regulieres(Series s, std::ptrdiff_t n)
{
    return en_moyenne(s.nombre, n, kSerieReguliere) && s.irregulieres * 8 <= s.nombre &&
           s.comparees_t1 > 0 && s.comparees_t2 > 0;
}

// Out of line, or its set-up would be paid by the small inputs too.
#ifdef _MSC_VER
__declspec(noinline)
#else
__attribute__((noinline))
#endif
    void par_tranches(Jeu jeu, const int* t1, int taille1, const int* t2, int taille2, int* tab);

// Inputs of more than kBoucleSeule elements in all. Those that fit in the
// registers of one network go to it at once, by a jump: no stretch, no
// frame, nothing to do on return. The stretches' set-up alone (a large
// frame, the state) cost 3.6 ns of the 12.4 that 5 + 7 took on an AMD EPYC
// (Zen 5) before they were kept apart, and the plain loop's registers, saved
// here while it was inlined beside, about 1 ns of the 6.9 left.
inline void apres_la_boucle(Jeu jeu, const int* t1, int taille1, const int* t2, int taille2,
                            int* tab)
{
    if (taille1 > 0 && taille2 > 0 && std::max(taille1, taille2) <= petits_max(jeu)) {
        petits_vectoriels(jeu, t1, taille1, t2, taille2, tab);
    } else {
        par_tranches(jeu, t1, taille1, t2, taille2, tab);
    }
}

} // namespace

void fusion_avec(Jeu jeu, const int* t1, int taille1, const int* t2, int taille2, int* tab)
{
    if (pour_la_boucle(taille1, taille2)) {
        fusion_boucle(t1, taille1, t2, taille2, tab);
    } else {
        apres_la_boucle(jeu, t1, taille1, t2, taille2, tab);
    }
}

void fusion_vectorielle(const int* t1, int taille1, const int* t2, int taille2, int* tab)
{
    apres_la_boucle(jeu_disponible(), t1, taille1, t2, taille2, tab);
}

namespace
{

// tab is written through the state's output cursor.
void par_tranches(Jeu jeu, const int* t1, int taille1, const int* t2, int taille2,
                  int* tab) // NOLINT(readability-non-const-parameter)
{
    Etat e{t1, t2, tab, t1 + std::max(taille1, 0), t2 + std::max(taille2, 0)};
    const bool vecteurs = jeu != Jeu::scalaire;
    bool sans_branche = false;
    bool series_longues = false;
    std::ptrdiff_t sans_vecteur = 0; // scalar steps to go before vectors again
    std::ptrdiff_t penalite = kTranche;
    while (e.a != e.fin_a && e.b != e.fin_b) {
        if (vecteurs && sans_vecteur <= 0 && !series_longues) {
            // A few steps by runs first, if enough is left to pay for them:
            // they tell whether the runs have grown long enough for the run
            // copy, or keep one length.
            const std::ptrdiff_t sonde = pas_de_sonde((e.fin_a - e.a) + (e.fin_b - e.b));
            if (sonde > 0) {
                const Series vu = series_vectorielles(jeu, e, sonde, true);
                series_longues = en_moyenne(vu.nombre, sonde, kSerieLongue);
                if (series_longues || e.a == e.fin_a || e.b == e.fin_b) {
                    continue;
                }
                if (series_regulieres(vu, sonde)) {
                    series_vectorielles(jeu, e, kTrancheReguliere);
                    continue;
                }
            }
            const std::ptrdiff_t reste = (e.fin_a - e.a) + (e.fin_b - e.b);
            if (!tranche_vectorielle(jeu, e, std::min(kTranche, reste))) {
                sans_vecteur = penalite;
                penalite = std::min<std::ptrdiff_t>(2 * penalite, std::ptrdiff_t{1} << 24);
            }
            continue;
        }
        int* const avant = e.s;
        const std::ptrdiff_t n = std::min({e.fin_a - e.a - 3, e.fin_b - e.b - 3, kBloc});
        if (sans_branche && n > 0) {
            sans_branche = !en_moyenne(pas_sans_branche(e, n), n, kSerieMin);
        } else {
            const int series = series_vectorielles(jeu, e, kBloc).nombre;
            sans_branche = !en_moyenne(series, kBloc, kSerieMin);
            series_longues = en_moyenne(series, kBloc, kSerieLongue);
        }
        sans_vecteur -= e.s - avant;
    }

    // The tail, chosen as the plain loop chooses it: by whether t1 is used up.
    const auto i = static_cast<int>(e.a - t1);
    const auto j = static_cast<int>(e.b - t2);
    if (i == taille1) {
        if (j < taille2) {
            std::copy(t2 + j, t2 + taille2, e.s);
        }
    } else if (i < taille1) {
        std::copy(t1 + i, t1 + taille1, e.s);
    }
}

} // namespace
