#include "fusion_noyaux.h"

#include <algorithm>

// Vector kernels merge by value: a network that sorts blocks cannot tell
// which input an element came from, nor keep to the plain loop's order of
// steps. For two stretches in ascending order that makes no difference,
// since the merged sequence of integers is then the same whichever way it is
// made. So the kernels run stretch by stretch: each stretch is cut where the
// plain loop would be after its n steps, and its result is kept only if both
// pieces it consumed turn out to be in order, and the cut to be right.

namespace
{

bool fusionner(Jeu jeu, const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb, int* s)
{
#if FUSION_X86
    switch (jeu) {
    case Jeu::avx512:
        return fusionner_avx512(a, na, b, nb, s);
    case Jeu::avx2:
        return fusionner_avx2(a, na, b, nb, s);
    case Jeu::sse41:
        return fusionner_sse41(a, na, b, nb, s);
    case Jeu::scalaire:
        break;
    }
#endif
    (void)jeu, (void)a, (void)na, (void)b, (void)nb, (void)s;
    return false;
}

bool copier(Jeu jeu, const int* p, std::ptrdiff_t n, int* s)
{
#if FUSION_X86
    switch (jeu) {
    case Jeu::avx512:
        return copier_avx512(p, n, s);
    case Jeu::avx2:
        return copier_avx2(p, n, s);
    case Jeu::sse41:
        return copier_sse41(p, n, s);
    case Jeu::scalaire:
        break;
    }
#endif
    (void)jeu, (void)p, (void)n, (void)s;
    return false;
}

} // namespace

bool tranche_vectorielle(Jeu jeu, Etat& e, std::ptrdiff_t n)
{
    const std::ptrdiff_t ra = e.fin_a - e.a;
    const std::ptrdiff_t rb = e.fin_b - e.b;

    const std::ptrdiff_t na = coupe(e.a, ra, e.b, rb, n);
    const std::ptrdiff_t nb = n - na;
    if (!coupe_exacte(e.a, ra, na, e.b, rb, nb)) {
        return false;
    }
    bool en_ordre = false;
    if (nb == 0) {
        en_ordre = copier(jeu, e.a, na, e.s);
    } else if (na == 0) {
        en_ordre = copier(jeu, e.b, nb, e.s);
    } else {
        en_ordre = fusionner(jeu, e.a, na, e.b, nb, e.s);
    }
    if (!en_ordre) {
        return false;
    }
    e.a += na;
    e.b += nb;
    e.s += n;
    return true;
}

Series series_vectorielles(Jeu jeu, Etat& e, std::ptrdiff_t n, bool mesurer)
{
#if FUSION_X86
    switch (jeu) {
    case Jeu::avx512:
    case Jeu::avx2:
        return series_avx2(e, n, mesurer);
    case Jeu::sse41:
        return series_sse41(e, n, mesurer);
    case Jeu::scalaire:
        break;
    }
#endif
    (void)jeu, (void)mesurer;
    return Series{pas_par_series(e, n), 0, 0, 0};
}
