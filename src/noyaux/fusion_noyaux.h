#ifndef FUSION_FUSION_NOYAUX_H
#define FUSION_FUSION_NOYAUX_H

// The ways fusion has of running its steps, for fusion.cpp, the tests and
// the benchmark. Each takes the merge where another one left it.

#include <cstddef>

// The vector kernels need GCC's or Clang's target attributes and x86.
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define FUSION_X86 1
#else
#define FUSION_X86 0
#endif

// 32-bit Windows only promises a 4-byte-aligned stack, and spilled vector
// registers need more: the kernels realign it on entry.
#if defined(__i386__)
#define FUSION_PILE_ALIGNEE __attribute__((force_align_arg_pointer))
#else
#define FUSION_PILE_ALIGNEE
#endif

// Where a merge stands: the same i, j and k as the plain loop, as pointers.
struct Etat {
    const int* a;     // next unread element of t1
    const int* b;     // next unread element of t2
    int* s;           // next free slot of tab
    const int* fin_a; // end of t1
    const int* fin_b; // end of t2
};

// Scalar, exact on any input (fusion_scalaire.cpp). Each runs at most n steps
// and stops early if an input runs out.
//
// Without branches on the data; returns how many times the side taken
// changed. It reads two elements ahead of the fronts, so n must be at most
// the smaller remaining count less 3.
int pas_sans_branche(Etat& e, std::ptrdiff_t n);
// By runs, a tight copy while one side keeps winning; returns how many runs
// there were.
int pas_par_series(Etat& e, std::ptrdiff_t n);

// Where the plain loop stands after n steps over a[0, ra) and b[0, rb), if
// both are in ascending order: how many of those steps take a's element.
// The fewest x for which b's last element taken does not come after a's
// first one left (a merge path search). n must be at most ra + rb.
inline std::ptrdiff_t coupe(const int* a, std::ptrdiff_t ra, const int* b, std::ptrdiff_t rb,
                            std::ptrdiff_t n)
{
    std::ptrdiff_t bas = n - rb > 0 ? n - rb : 0;
    std::ptrdiff_t haut = n < ra ? n : ra;
    // Each probe goes either way at random: selects, not branches.
    while (bas < haut) {
        const std::ptrdiff_t x = bas + (haut - bas) / 2;
        const bool a_reste = b[n - x - 1] <= a[x];
        haut = a_reste ? x : haut;
        bas = a_reste ? bas : x + 1;
    }
    return bas;
}

// Whether the plain loop, in its first na + nb steps over a[0, ra) and
// b[0, rb), takes exactly a[0, na) and b[0, nb), given that these two pieces
// are in ascending order: a's last one taken is below b's first one left,
// and b's last one taken is not above a's first one left. Holds or not
// whatever found na and nb.
inline bool coupe_exacte(const int* a, std::ptrdiff_t ra, std::ptrdiff_t na, const int* b,
                         std::ptrdiff_t rb, std::ptrdiff_t nb)
{
    return !(na > 0 && nb < rb && !(a[na - 1] < b[nb])) &&
           !(nb > 0 && na < ra && a[na] < b[nb - 1]);
}

// Vector instruction sets that fusion can use, best last.
enum class Jeu { scalaire, sse41, avx2, avx512 };

// Its name, for tests and measurements: "scalaire", "sse41", "avx2", "avx512".
inline const char* nom_du_jeu(Jeu jeu)
{
    return jeu == Jeu::avx512  ? "avx512"
           : jeu == Jeu::avx2  ? "avx2"
           : jeu == Jeu::sse41 ? "sse41"
                               : "scalaire";
}

// The best set that this processor and its system support. Inline: asked at
// every call of fusion, where a call of its own costs as much as the
// answer.
inline Jeu jeu_disponible()
{
#if FUSION_X86
    // libgcc fills in what these read before any constructor of ours runs.
    // These also check that the system saves the wider registers.
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl")) {
        return Jeu::avx512;
    }
    if (__builtin_cpu_supports("avx2")) {
        return Jeu::avx2;
    }
    if (__builtin_cpu_supports("sse4.1")) {
        return Jeu::sse41;
    }
#endif
    return Jeu::scalaire;
}

// fusion with the given set, which the processor must support (fusion.cpp).
void fusion_avec(Jeu jeu, const int* t1, int taille1, const int* t2, int taille2, int* tab);

// Vector steps, for inputs in ascending order (fusion_tranche.cpp). Takes the
// next n steps (n at most the sum of the remaining counts) if the stretch of
// each input that they consume is in order, and returns true. Otherwise
// returns false with e unchanged: what it may have written past e.s is left
// for the scalar steps to write again.
bool tranche_vectorielle(Jeu jeu, Etat& e, std::ptrdiff_t n);

// What a run copy saw: how many runs, how many of the runs whose whole
// length it saw differ in length from the run before them on their side (the
// runs whose end a branch predictor cannot foresee), and how many were so
// compared on each side (a side none of whose runs was compared has shown
// nothing of its lengths).
struct Series {
    int nombre;
    int irregulieres;
    int comparees_t1;
    int comparees_t2;
};

// pas_par_series with the given vector set (fusion_tranche.cpp); AVX-512's
// is AVX2's. Irregular runs are counted only if `mesurer` is set, and only
// with vectors.
Series series_vectorielles(Jeu jeu, Etat& e, std::ptrdiff_t n, bool mesurer = false);

// The kernels behind tranche_vectorielle, one per instruction set
// (fusion_sse41.cpp, fusion_avx2.cpp, fusion_avx512.cpp). fusionner_*
// merges a[0, na) and b[0, nb), both non-empty, into s; copier_* copies
// p[0, n) to s. Both return whether what they read was in ascending order;
// if not, what they wrote is meaningless.
bool fusionner_sse41(const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb, int* s);
bool copier_sse41(const int* p, std::ptrdiff_t n, int* s);
bool fusionner_avx2(const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb, int* s);
bool copier_avx2(const int* p, std::ptrdiff_t n, int* s);
bool fusionner_avx512(const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb, int* s);
bool copier_avx512(const int* p, std::ptrdiff_t n, int* s);

// Inputs of at most petits_max(jeu) elements each, both non-empty, merged
// whole by one network if both are in order, by the plain loop if not
// (fusion_sse41.cpp and the others): exactly the plain loop's result either
// way, so that fusion can hand them over with nothing left to do on return
// (a jump, not a call). The choice is inline, since these inputs take a few
// nanoseconds in all.
void petits_sse41(const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb, int* s);
void petits_avx2(const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb, int* s);
void petits_avx512(const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb, int* s);

// Four registers a side; none without vectors.
inline std::ptrdiff_t petits_max(Jeu jeu)
{
    return FUSION_X86 == 0      ? 0
           : jeu == Jeu::avx512 ? 64
           : jeu == Jeu::avx2   ? 32
           : jeu == Jeu::sse41  ? 16
                                : 0;
}

// jeu must have vectors (petits_max above 0).
inline void petits_vectoriels(Jeu jeu, const int* a, std::ptrdiff_t na, const int* b,
                              std::ptrdiff_t nb, int* s)
{
#if FUSION_X86
    if (jeu == Jeu::avx512) {
        petits_avx512(a, na, b, nb, s);
    } else if (jeu == Jeu::avx2) {
        petits_avx2(a, na, b, nb, s);
    } else {
        petits_sse41(a, na, b, nb, s);
    }
#else
    (void)jeu, (void)a, (void)na, (void)b, (void)nb, (void)s;
#endif
}

// pas_par_series with vectors, exact on any input (fusion_sse41.cpp,
// fusion_avx2.cpp). Of the n slots from e.s on, those it does not fill may
// hold anything when it returns; the steps that follow write them. Counts
// irregular runs if `mesurer` is set.
Series series_sse41(Etat& e, std::ptrdiff_t n, bool mesurer);
Series series_avx2(Etat& e, std::ptrdiff_t n, bool mesurer);

#endif
