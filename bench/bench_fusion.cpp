// fusion against std::merge and against a plain copy of as many bytes (the
// floor that no merge can beat), in nanoseconds per element written, on input
// shapes that favour different ways of stepping.

#include "formes.h"
#include "fusion.h"
#include "noyaux/fusion_noyaux.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace
{

// The branch predictor learns a few tens of thousands of outcomes by heart:
// merging the same small inputs again and again would measure that, not the
// merge. Small sizes therefore cycle through enough distinct inputs (drawn
// alike) to hold about 2^18 elements in all, but no more than 4096 of them,
// so that tiny ones stay in the caches as a caller's would.
const std::size_t kElementsParCycle = std::size_t{1} << 18;
const std::size_t kJeuxMax = 4096;

template <typename Fusionner> void mesurer(benchmark::State& state, Fusionner fusionner)
{
    const auto forme = static_cast<Forme>(state.range(0));
    const auto n = static_cast<int>(state.range(1));
    std::vector<Entrees> jeux{construire(forme, n, 1)};
    const std::size_t taille = jeux[0].t1.size() + jeux[0].t2.size();
    for (unsigned graine = 2; jeux.size() * taille < kElementsParCycle && jeux.size() < kJeuxMax;
         graine++) {
        jeux.push_back(construire(forme, n, graine));
    }

    std::vector<int> tab(taille);
    std::size_t suivant = 0;
    for (auto _ : state) {
        const Entrees& e = jeux[suivant];
        suivant = suivant + 1 == jeux.size() ? 0 : suivant + 1;
        fusionner(e.t1, e.t2, tab.data());
        benchmark::DoNotOptimize(tab.data());
        benchmark::ClobberMemory();
    }
    // Seconds per element written: shown as ns.
    state.counters["par_element"] = benchmark::Counter(
        static_cast<double>(taille),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_fusion(benchmark::State& state)
{
    mesurer(state, [](const std::vector<int>& t1, const std::vector<int>& t2, int* tab) {
        fusion(t1.data(), static_cast<int>(t1.size()), t2.data(), static_cast<int>(t2.size()), tab);
    });
}

// Each way fusion can run, forced: the scalar steps alone, and each vector
// set where the processor has it.
void avec(benchmark::State& state, Jeu jeu)
{
    if (jeu > jeu_disponible()) {
        state.SkipWithError("not supported by this processor");
        return;
    }
    mesurer(state, [jeu](const std::vector<int>& t1, const std::vector<int>& t2, int* tab) {
        fusion_avec(jeu, t1.data(), static_cast<int>(t1.size()), t2.data(),
                    static_cast<int>(t2.size()), tab);
    });
}

void BM_scalaire(benchmark::State& state)
{
    avec(state, Jeu::scalaire);
}

void BM_sse41(benchmark::State& state)
{
    avec(state, Jeu::sse41);
}

void BM_avx2(benchmark::State& state)
{
    avec(state, Jeu::avx2);
}

void BM_avx512(benchmark::State& state)
{
    avec(state, Jeu::avx512);
}

void BM_std_merge(benchmark::State& state)
{
    // t2 first, so that ties go the same way as in fusion.
    mesurer(state, [](const std::vector<int>& t1, const std::vector<int>& t2, int* tab) {
        std::merge(t2.begin(), t2.end(), t1.begin(), t1.end(), tab);
    });
}

void BM_memcpy(benchmark::State& state)
{
    mesurer(state, [](const std::vector<int>& t1, const std::vector<int>& t2, int* tab) {
        std::memcpy(tab, t1.data(), t1.size() * sizeof(int));
        std::memcpy(tab + t1.size(), t2.data(), t2.size() * sizeof(int));
    });
}

void formes_et_tailles(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"forme", "n"});
    for (std::int64_t n : {1, 2, 8, 16, 32, 64, 128, 256}) {
        b->Args({kPetites, n});
    }
    b->Args({kProgramme, 5});
    for (std::int64_t forme : {kAleatoire, kSeries8, kSeries64, kEnDessous, kInegales}) {
        for (std::int64_t n = 1 << 10; n <= 1 << 22; n *= 4) {
            b->Args({forme, n});
        }
    }
}

} // namespace

BENCHMARK(BM_fusion)->Apply(formes_et_tailles);
BENCHMARK(BM_scalaire)->Apply(formes_et_tailles);
BENCHMARK(BM_sse41)->Apply(formes_et_tailles);
BENCHMARK(BM_avx2)->Apply(formes_et_tailles);
BENCHMARK(BM_avx512)->Apply(formes_et_tailles);
BENCHMARK(BM_std_merge)->Apply(formes_et_tailles);
BENCHMARK(BM_memcpy)->Apply(formes_et_tailles);

int main(int argc, char** argv)
{
    const Jeu jeu = jeu_disponible();
    benchmark::AddCustomContext("processeur", processeur());
    benchmark::AddCustomContext("jeu_choisi", nom_du_jeu(jeu));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
