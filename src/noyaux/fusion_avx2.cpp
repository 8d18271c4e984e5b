#include "fusion_noyaux.h"

// Blocks of 8: AVX2 has min and max of 32-bit integers on 8 lanes and a
// permute across the two halves of a register, which is all a merge network
// of 8 + 8 needs.

#if FUSION_X86

#include <algorithm>
#include <climits>
#include <cstdint>
#include <immintrin.h>

#define FUSION_CIBLE __attribute__((target("avx2")))

namespace
{

struct V {
    using Reg = __m256i;
    static constexpr int L = 8;

    FUSION_CIBLE static Reg charger(const int* p)
    {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    FUSION_CIBLE static void ranger(int* p, Reg v)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    FUSION_CIBLE static Reg plus_grand(Reg x, Reg y)
    {
        return _mm256_cmpgt_epi32(x, y);
    }
    FUSION_CIBLE static unsigned bits_plus_grand(Reg x, Reg y)
    {
        return static_cast<unsigned>(
            _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(x, y))));
    }
    FUSION_CIBLE static Reg ou(Reg x, Reg y)
    {
        return _mm256_or_si256(x, y);
    }
    FUSION_CIBLE static Reg nul()
    {
        return _mm256_setzero_si256();
    }
    FUSION_CIBLE static bool tout_nul(Reg x)
    {
        return _mm256_testz_si256(x, x) != 0;
    }

    FUSION_CIBLE static Reg diffuser(int v)
    {
        return _mm256_set1_epi32(v);
    }

    // Lanes below n (any n) as all ones.
    FUSION_CIBLE static Reg premiers(std::ptrdiff_t n)
    {
        const int borne =
            static_cast<int>(std::min<std::ptrdiff_t>(std::max<std::ptrdiff_t>(n, 0), L));
        return _mm256_cmpgt_epi32(_mm256_set1_epi32(borne),
                                  _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    }
    // Masked loads and stores touch no memory in the lanes they leave out.
    FUSION_CIBLE static Reg charger_partiel(const int* p, std::ptrdiff_t n)
    {
        const Reg m = premiers(n);
        return _mm256_blendv_epi8(_mm256_set1_epi32(INT_MAX), _mm256_maskload_epi32(p, m), m);
    }
    FUSION_CIBLE static void ranger_partiel(int* p, std::ptrdiff_t n, Reg v)
    {
        _mm256_maskstore_epi32(p, premiers(n), v);
    }

    // Compares each lane with its partner (given by `partenaire`) and keeps
    // the smaller where `garde_haut` is clear, the larger where it is set.
    template <int garde_haut> FUSION_CIBLE static Reg echanger(Reg x, Reg partenaire)
    {
        return _mm256_blend_epi32(_mm256_min_epi32(x, partenaire), _mm256_max_epi32(x, partenaire),
                                  garde_haut);
    }

    // Sorts 8 lanes that rise then fall (a bitonic sequence): exchanges at
    // distances 4, 2 and 1.
    FUSION_CIBLE static Reg trier_bitonique(Reg x)
    {
        x = echanger<0xF0>(x, _mm256_permute2x128_si256(x, x, 1));
        x = echanger<0xCC>(x, _mm256_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
        return echanger<0xAA>(x, _mm256_shuffle_epi32(x, _MM_SHUFFLE(2, 3, 0, 1)));
    }

    FUSION_CIBLE static Reg inverser(Reg x)
    {
        return _mm256_permutevar8x32_epi32(x, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    }
    FUSION_CIBLE static Reg mini(Reg x, Reg y)
    {
        return _mm256_min_epi32(x, y);
    }
    FUSION_CIBLE static Reg maxi(Reg x, Reg y)
    {
        return _mm256_max_epi32(x, y);
    }
};

} // namespace

#include "fusion_blocs.inc"

FUSION_NOYAUX(avx2)
FUSION_PETITS(avx2)
FUSION_SERIES(avx2)

#endif
