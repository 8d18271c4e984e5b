// For targets without Google Benchmark, chiefly the 32-bit Windows build run
// under wine: fusion, each kernel this processor has, and std::merge on
// random interleaving, 2^20 + 2^20 elements and 2^10 + 2^10 (cycled through
// distinct inputs), in nanoseconds per element written. Each figure is the
// median of 7 timings of one process, in the order the methods alternate.

#include "formes.h"
#include "fusion.h"
#include "noyaux/fusion_noyaux.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{

enum Methode { kFusion, kScalaire, kSse41, kAvx2, kStdMerge, kNombre };
const char* const kNoms[kNombre] = {"fusion", "scalar", "SSE4.1", "AVX2", "std::merge"};

void fusionner(Methode m, const Entrees& e, int* tab)
{
    const auto n1 = static_cast<int>(e.t1.size());
    const auto n2 = static_cast<int>(e.t2.size());
    switch (m) {
    case kFusion:
        fusion(e.t1.data(), n1, e.t2.data(), n2, tab);
        break;
    case kScalaire:
    case kSse41:
    case kAvx2:
        fusion_avec(m == kScalaire ? Jeu::scalaire
                    : m == kSse41  ? Jeu::sse41
                                   : Jeu::avx2,
                    e.t1.data(), n1, e.t2.data(), n2, tab);
        break;
    default:
        std::merge(e.t2.begin(), e.t2.end(), e.t1.begin(), e.t1.end(), tab);
        break;
    }
}

} // namespace

int main()
{
    const Jeu jeu = jeu_disponible();
    std::printf("%s, fusion chooses %s\n", processeur().c_str(), nom_du_jeu(jeu));
    for (int n : {1 << 20, 1 << 10}) {
        std::vector<Entrees> jeux;
        for (unsigned graine = 1; jeux.size() * 2 * static_cast<std::size_t>(n) < (1U << 21);
             graine++) {
            jeux.push_back(construire(kAleatoire, n, graine));
        }
        std::vector<int> tab(2 * static_cast<std::size_t>(n));
        const std::size_t fusions = std::max<std::size_t>(jeux.size(), 8);
        std::vector<double> temps[kNombre];
        for (int essai = 0; essai < 7; essai++) {
            for (int m = 0; m < kNombre; m++) {
                if ((m == kSse41 && jeu < Jeu::sse41) || (m == kAvx2 && jeu < Jeu::avx2)) {
                    continue;
                }
                const auto debut = std::chrono::steady_clock::now();
                for (std::size_t k = 0; k < fusions; k++) {
                    fusionner(static_cast<Methode>(m), jeux[k % jeux.size()], tab.data());
                }
                const std::chrono::duration<double, std::nano> duree =
                    std::chrono::steady_clock::now() - debut;
                temps[m].push_back(duree.count() / static_cast<double>(fusions * tab.size()));
            }
        }
        std::printf("\nrandom interleaving, 2^%d + 2^%d\n", n == 1 << 20 ? 20 : 10,
                    n == 1 << 20 ? 20 : 10);
        double reference = 0;
        for (int m = kNombre - 1; m >= 0; m--) {
            std::vector<double>& t = temps[m];
            if (t.empty()) {
                continue;
            }
            std::sort(t.begin(), t.end());
            const double mediane = t[t.size() / 2];
            if (m == kStdMerge) {
                reference = mediane;
            }
            std::printf("  %-10s %7.3f ns/elt  %5.2f of std::merge\n", kNoms[m], mediane,
                        mediane / reference);
        }
    }
    return 0;
}
