// Coverage-guided differential fuzzing of fusion against the plain loop,
// with every set of instructions this processor has. Inputs are sorted or
// not as the fuzzer chooses, so that it reaches the vector kernels and their
// order checks as well as the scalar steps.

#include "fusion.h"
#include "fusion_boucle.h"
#include "noyaux/fusion_noyaux.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace
{

const int kTemoin = 0x5A5A5A5A;

// Reads the fuzzer's bytes one after the other, then zeros.
struct Lecteur {
    const std::uint8_t* p;
    std::size_t reste;

    std::uint32_t octets(int n)
    {
        std::uint32_t v = 0;
        for (int k = 0; k < n; k++) {
            v = v << 8U;
            if (reste > 0) {
                v |= *p++;
                reste--;
            }
        }
        return v;
    }
};

void verifier(const int* attendu, const std::vector<int>& obtenu, std::size_t n)
{
    if (std::memcmp(attendu, obtenu.data(), n * sizeof(int)) != 0 ||
        std::any_of(obtenu.begin() + static_cast<std::ptrdiff_t>(n), obtenu.end(),
                    [](int x) { return x != kTemoin; })) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    Lecteur l{donnees, taille};
    const std::uint32_t reglages = l.octets(1);
    // Half the inputs small enough for the one-network path and the loop.
    const std::uint32_t tailles = (reglages & 32U) != 0 ? 40 : 6000;
    const auto n1 = static_cast<std::size_t>(l.octets(2) % tailles);
    const auto n2 = static_cast<std::size_t>(l.octets(2) % tailles);
    // Narrow ranges make ties; full ones reach the ends of int.
    const int largeurs[] = {1, 4, 1000, 0};
    const int largeur = largeurs[(reglages >> 2U) & 3U];

    const std::unique_ptr<int[]> t1(new int[n1 + 1]);
    const std::unique_ptr<int[]> t2(new int[n2 + 1]);
    std::uint32_t graine = 0x9E3779B9U;
    for (std::size_t k = 0; k < n1 + n2; k++) {
        // The bytes first, then a generator seeded from them.
        graine = graine * 1664525U + 1013904223U + l.octets(1);
        const int v =
            largeur == 0 ? static_cast<int>(graine) : static_cast<int>(graine >> 8U) % largeur;
        (k < n1 ? t1[k] : t2[k - n1]) = v;
    }
    if ((reglages & 1U) != 0) {
        std::sort(t1.get(), t1.get() + n1);
    }
    if ((reglages & 2U) != 0) {
        std::sort(t2.get(), t2.get() + n2);
    }
    if ((reglages & 16U) != 0 && n1 > 0) {
        t1[l.octets(2) % n1] = static_cast<int>(graine); // one element out of place
    }

    const std::size_t n = n1 + n2;
    const std::unique_ptr<int[]> attendu(new int[n + 1]);
    fusion_boucle(t1.get(), static_cast<int>(n1), t2.get(), static_cast<int>(n2), attendu.get());

    std::vector<int> tab(n + 8, kTemoin);
    fusion(t1.get(), static_cast<int>(n1), t2.get(), static_cast<int>(n2), tab.data());
    verifier(attendu.get(), tab, n);
    for (Jeu jeu : {Jeu::scalaire, Jeu::sse41, Jeu::avx2, Jeu::avx512}) {
        if (jeu <= jeu_disponible()) {
            std::fill(tab.begin(), tab.end(), kTemoin);
            fusion_avec(jeu, t1.get(), static_cast<int>(n1), t2.get(), static_cast<int>(n2),
                        tab.data());
            verifier(attendu.get(), tab, n);
        }
    }
    return 0;
}
