#include "fusion_noyaux.h"

#include <algorithm>

// The two scalar ways of stepping, because neither is fast on every input:
//
// - by runs: a tight loop copies from one input for as long as the comparison
//   keeps choosing it. While the side taken changes seldom the branch
//   predictor gets it right; each change of side costs a misprediction, and
//   with randomly interleaved inputs one step in two mispredicts.
// - without branches: each step picks its result with arithmetic, at a cost
//   that does not depend on the data, far below a misprediction but well
//   above a predicted branch.
//
// Both take exactly the decisions of the plain loop, whatever the inputs.

namespace
{

// Copies a run from one input: v = *p is already chosen, and each following
// element is taken while `encore` says so and p stays before `arret`.
// Returns where the run stopped: at arret, with nothing compared past the
// run, or on the element that `encore` refused, which is then in v.
// While four elements remain it reads them together and tests the limit once,
// so that a long run costs little more than a copy.
template <typename Encore>
const int* copier_serie(const int* p, const int* arret, int*& s, int& v, Encore encore)
{
    *s = v; // each element taken is stored as soon as it is chosen
    while (arret - p > 4) {
        const int suivants[4] = {p[1], p[2], p[3], p[4]};
        for (const int w : suivants) {
            ++s;
            ++p;
            v = w;
            if (!encore(v)) {
                return p;
            }
            *s = v;
        }
    }
    for (;;) {
        ++s;
        if (++p == arret) {
            return p;
        }
        v = *p;
        if (!encore(v)) {
            return p;
        }
        *s = v;
    }
}

} // namespace

// The next two elements of each input wait in registers, so that a step
// waits on a comparison and a select rather than on a load.
int pas_sans_branche(Etat& e, std::ptrdiff_t n)
{
    const int* a = e.a;
    const int* b = e.b;
    int* s = e.s;
    int* const fin = s + n;
    int x = a[0];
    int x1 = a[1];
    int x2 = a[2];
    int y = b[0];
    int y1 = b[1];
    int y2 = b[2];
    int changements = 0;
    int avant = 0;
    for (; s != fin; s++) {
        const int prend1 = static_cast<int>(x < y);
        *s = prend1 != 0 ? x : y;
        a += prend1;
        b += 1 - prend1;
        // Masks rather than ?: here, which compilers turn back into a branch.
        const int m = -prend1;
        x ^= (x ^ x1) & m;
        x1 ^= (x1 ^ x2) & m;
        y ^= (y ^ y1) & ~m;
        y1 ^= (y1 ^ y2) & ~m;
        x2 = a[2];
        y2 = b[2];
        changements += prend1 ^ avant;
        avant = prend1;
    }
    e.a = a;
    e.b = b;
    e.s = s;
    return changements;
}

// A run stops either on the comparison that chooses the
// other side, whose step then follows at once, or on its limit before any
// comparison is made, so each step is compared exactly once.
int pas_par_series(Etat& e, std::ptrdiff_t n)
{
    int* const fin_bloc = e.s + n;
    int series = 0;
    int x = *e.a;
    int y = *e.b;
    bool prend1 = x < y;
    for (;;) {
        series++;
        if (prend1) {
            const int* const arret = e.a + std::min(e.fin_a - e.a, fin_bloc - e.s);
            e.a = copier_serie(e.a, arret, e.s, x, [y](int v) { return v < y; });
            if (e.a == arret) {
                return series;
            }
        } else {
            const int* const arret = e.b + std::min(e.fin_b - e.b, fin_bloc - e.s);
            e.b = copier_serie(e.b, arret, e.s, y, [x](int v) { return !(x < v); });
            if (e.b == arret) {
                return series;
            }
        }
        prend1 = !prend1;
    }
}
