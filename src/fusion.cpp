#include "fusion.h"

#include <algorithm>
#include <cstddef>

// fusion takes exactly the decisions of the plain loop: one comparison per
// element written, t1's front element taken only when strictly less than
// t2's. What changes is how the steps are run, in one of two ways, because
// neither is fast on every input:
//
// - by runs: a tight loop copies from one input for as long as the comparison
//   keeps choosing it. While the side taken changes seldom the branch
//   predictor gets it right; each change of side costs a misprediction, and
//   with randomly interleaved inputs one step in two mispredicts.
// - without branches: each step picks its result with arithmetic, at a cost
//   that does not depend on the data, far below a misprediction but well
//   above a predicted branch.
//
// The merge goes in blocks of kBloc steps, and each block is run the way that
// suits how often the side changed in the block before. That costs no extra
// comparison of elements.

namespace
{

const std::ptrdiff_t kBloc = 256;

// Below this average run length, a block goes without branches.
const std::ptrdiff_t kSerieMin = 4;

struct Etat {
    const int* a;     // next unread element of t1
    const int* b;     // next unread element of t2
    int* s;           // next free slot of tab
    const int* fin_a; // end of t1
    const int* fin_b; // end of t2
};

// Runs n steps without branching on the data; returns how many times the side
// taken changed. The next two elements of each input wait in registers, so
// that a step waits on a comparison and a select rather than on a load. Those
// reads run two elements ahead of the fronts: n must be at most the smaller
// remaining count less 3.
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

// Runs up to n steps by runs, fewer if an input runs out; returns how many
// runs there were. A run stops either on the comparison that chooses the
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

} // namespace

// tab is written through the state's output cursor.
void fusion(const int* t1, int taille1, const int* t2, int taille2,
            int* tab) // NOLINT(readability-non-const-parameter)
{
    Etat e{t1, t2, tab, t1 + std::max(taille1, 0), t2 + std::max(taille2, 0)};
    bool sans_branche = false;
    while (e.a != e.fin_a && e.b != e.fin_b) {
        const std::ptrdiff_t n = std::min({e.fin_a - e.a - 3, e.fin_b - e.b - 3, kBloc});
        if (sans_branche && n > 0) {
            sans_branche = pas_sans_branche(e, n) * kSerieMin > n;
        } else {
            sans_branche = pas_par_series(e, kBloc) * kSerieMin > kBloc;
        }
    }

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
