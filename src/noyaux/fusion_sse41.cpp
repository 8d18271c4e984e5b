#include "fusion_noyaux.h"

// Blocks of 4: SSE4.1 is the first x86 set with min and max of 32-bit
// integers and blends, and the widest that every 32-bit Windows machine of
// the last fifteen years has; the baseline of i686 has no vectors at all.

#if FUSION_X86

#include <algorithm>
#include <climits>
#include <cstdint>
#include <smmintrin.h>

#define FUSION_CIBLE __attribute__((target("sse4.1")))

namespace
{

struct V {
    using Reg = __m128i;
    static constexpr int L = 4;

    FUSION_CIBLE static Reg charger(const int* p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    FUSION_CIBLE static void ranger(int* p, Reg v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }
    FUSION_CIBLE static Reg plus_grand(Reg x, Reg y)
    {
        return _mm_cmpgt_epi32(x, y);
    }
    FUSION_CIBLE static unsigned bits_plus_grand(Reg x, Reg y)
    {
        return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(x, y))));
    }
    FUSION_CIBLE static Reg ou(Reg x, Reg y)
    {
        return _mm_or_si128(x, y);
    }
    FUSION_CIBLE static Reg nul()
    {
        return _mm_setzero_si128();
    }
    FUSION_CIBLE static bool tout_nul(Reg x)
    {
        return _mm_testz_si128(x, x) != 0;
    }

    FUSION_CIBLE static Reg diffuser(int v)
    {
        return _mm_set1_epi32(v);
    }

    // SSE4.1 has no masked loads and stores of 32-bit lanes: through a buffer.
    FUSION_CIBLE static Reg charger_partiel(const int* p, std::ptrdiff_t n)
    {
        int tampon[L];
        for (std::ptrdiff_t q = 0; q < L; q++) {
            tampon[q] = q < n ? p[q] : INT_MAX;
        }
        return charger(tampon);
    }
    FUSION_CIBLE static void ranger_partiel(int* p, std::ptrdiff_t n, Reg v)
    {
        int tampon[L];
        ranger(tampon, v);
        for (std::ptrdiff_t q = 0; q < L && q < n; q++) {
            p[q] = tampon[q];
        }
    }

    // Compares each lane with its partner and keeps the smaller where
    // `garde_haut` (a mask of 16-bit halves) is clear, the larger where set.
    template <int garde_haut> FUSION_CIBLE static Reg echanger(Reg x, Reg partenaire)
    {
        return _mm_blend_epi16(_mm_min_epi32(x, partenaire), _mm_max_epi32(x, partenaire),
                               garde_haut);
    }

    // Sorts 4 lanes that rise then fall: exchanges at distances 2 and 1.
    FUSION_CIBLE static Reg trier_bitonique(Reg x)
    {
        x = echanger<0xF0>(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
        return echanger<0xCC>(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(2, 3, 0, 1)));
    }

    FUSION_CIBLE static Reg inverser(Reg x)
    {
        return _mm_shuffle_epi32(x, _MM_SHUFFLE(0, 1, 2, 3));
    }
    FUSION_CIBLE static Reg mini(Reg x, Reg y)
    {
        return _mm_min_epi32(x, y);
    }
    FUSION_CIBLE static Reg maxi(Reg x, Reg y)
    {
        return _mm_max_epi32(x, y);
    }
};

} // namespace

#include "fusion_blocs.inc"

FUSION_NOYAUX(sse41)
FUSION_PETITS(sse41)
FUSION_SERIES(sse41)

#endif
