#include "fusion_noyaux.h"

// Blocks of 16: AVX-512 (F, with BW and VL checked as a set) has min and max
// of 32-bit integers on 16 lanes, permutes across the whole register, and
// masked loads and stores, which read and write nothing in the lanes they
// leave out. Its compares give masks, not vectors: where the shared code
// wants a vector of all ones, the mask fills one.

#if FUSION_X86

#include <algorithm>
#include <climits>
#include <cstdint>
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics start some results from an undefined register
// on purpose, and GCC then warns that it is, or may be, used uninitialized
// (its bug 105593); the warnings say nothing about this file's code.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#define FUSION_CIBLE __attribute__((target("avx512f,avx512bw,avx512vl")))

namespace
{

struct V {
    using Reg = __m512i;
    static constexpr int L = 16;

    FUSION_CIBLE static Reg charger(const int* p)
    {
        return _mm512_loadu_si512(p);
    }
    FUSION_CIBLE static void ranger(int* p, Reg v)
    {
        _mm512_storeu_si512(p, v);
    }
    FUSION_CIBLE static unsigned bits_plus_grand(Reg x, Reg y)
    {
        return _mm512_cmpgt_epi32_mask(x, y);
    }
    FUSION_CIBLE static Reg nul()
    {
        return _mm512_setzero_si512();
    }

    // Order seen so far, as the lanes where every element was found no
    // greater than its next one: one masked compare a check, where a vector
    // would take a compare, a move from the mask and an or.
    using Ordre = __mmask16;
    FUSION_CIBLE static Ordre ordre_neuf()
    {
        return 0xFFFF;
    }
    FUSION_CIBLE static Ordre verifier(Ordre o, Reg x, Reg suivants)
    {
        return _mm512_mask_cmple_epi32_mask(o, x, suivants);
    }
    FUSION_CIBLE static bool en_ordre(Ordre o)
    {
        return o == 0xFFFF;
    }

    FUSION_CIBLE static Reg diffuser(int v)
    {
        return _mm512_set1_epi32(v);
    }

    // Lanes below n (any n).
    FUSION_CIBLE static __mmask16 premiers(std::ptrdiff_t n)
    {
        const auto borne =
            static_cast<unsigned>(std::min<std::ptrdiff_t>(std::max<std::ptrdiff_t>(n, 0), L));
        return static_cast<__mmask16>((1U << borne) - 1U);
    }
    FUSION_CIBLE static Reg charger_partiel(const int* p, std::ptrdiff_t n)
    {
        return _mm512_mask_loadu_epi32(_mm512_set1_epi32(INT_MAX), premiers(n), p);
    }
    FUSION_CIBLE static void ranger_partiel(int* p, std::ptrdiff_t n, Reg v)
    {
        _mm512_mask_storeu_epi32(p, premiers(n), v);
    }

    // Compares each lane with its partner and keeps the smaller where
    // `garde_haut` is clear, the larger where it is set.
    template <int garde_haut> FUSION_CIBLE static Reg echanger(Reg x, Reg partenaire)
    {
        return _mm512_mask_blend_epi32(static_cast<__mmask16>(garde_haut),
                                       _mm512_min_epi32(x, partenaire),
                                       _mm512_max_epi32(x, partenaire));
    }

    // Sorts 16 lanes that rise then fall: exchanges at distances 8, 4, 2
    // and 1.
    FUSION_CIBLE static Reg trier_bitonique(Reg x)
    {
        x = echanger<0xFF00>(x, _mm512_shuffle_i32x4(x, x, _MM_SHUFFLE(1, 0, 3, 2)));
        x = echanger<0xF0F0>(x, _mm512_shuffle_i32x4(x, x, _MM_SHUFFLE(2, 3, 0, 1)));
        x = echanger<0xCCCC>(x, _mm512_shuffle_epi32(x, _MM_PERM_BADC));
        return echanger<0xAAAA>(x, _mm512_shuffle_epi32(x, _MM_PERM_CDAB));
    }

    FUSION_CIBLE static Reg inverser(Reg x)
    {
        return _mm512_permutexvar_epi32(
            _mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0), x);
    }
    FUSION_CIBLE static Reg mini(Reg x, Reg y)
    {
        return _mm512_min_epi32(x, y);
    }
    FUSION_CIBLE static Reg maxi(Reg x, Reg y)
    {
        return _mm512_max_epi32(x, y);
    }
};

} // namespace

#include "fusion_blocs.inc"

// No run copy of 16 lanes: runs of 8, taken in turn, end inside every block,
// so that each run waits on the count of the one before; AVX2's run copy
// serves instead (on an AMD EPYC, Zen 5: 0.83 ns per element at 16 lanes
// against 0.28 at 8).
FUSION_NOYAUX(avx512)

namespace
{

// Inputs of half a register or less each: a in the low half and b reversed
// in the high half make one bitonic sequence of 16 (INT_MAX pads the middle),
// which one sort of one register finishes, stored by one masked store. A
// register a side takes twice the work: on an AMD EPYC (Zen 5), 4096
// distinct inputs of 5 + 7 cycled, the kernel called directly, 4.5 ns this
// way, against 6.6 with an AVX-512 register a side and 5.7 with AVX2's.
FUSION_CIBLE inline bool fusionner_en_un(const int* a, std::ptrdiff_t na, const int* b,
                                         std::ptrdiff_t nb, int* s)
{
    // The counts are 1 to 8 here: the masks need no bounds, and each lane's
    // next element comes from the register itself, not from a second load.
    const auto premiers = [](std::ptrdiff_t n) { return static_cast<__mmask16>((1U << n) - 1U); };
    const V::Reg max = _mm512_set1_epi32(INT_MAX);
    const V::Reg x = _mm512_mask_loadu_epi32(max, premiers(na), a);
    const V::Reg y = _mm512_mask_loadu_epi32(max, premiers(nb), b);
    const V::Ordre ordre =
        V::verifier(V::verifier(V::ordre_neuf(), x, _mm512_alignr_epi32(max, x, 1)), y,
                    _mm512_alignr_epi32(max, y, 1));
    if (!V::en_ordre(ordre)) {
        return false;
    }
    // Lanes 0 to 7 from x, 8 to 15 from y's lanes 7 to 0.
    const V::Reg voies = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 23, 22, 21, 20, 19, 18, 17, 16);
    _mm512_mask_storeu_epi32(s, premiers(na + nb),
                             V::trier_bitonique(_mm512_permutex2var_epi32(x, voies, y)));
    return true;
}

} // namespace

FUSION_CIBLE FUSION_PILE_ALIGNEE void petits_avx512(const int* a, std::ptrdiff_t na, const int* b,
                                                    std::ptrdiff_t nb, int* s)
{
    if (na > V::L / 2 || nb > V::L / 2) {
        petits_moyens(a, na, b, nb, s);
    } else if (!fusionner_en_un(a, na, b, nb, s)) {
        boucle_a_part(a, na, b, nb, s);
    }
}

#endif
