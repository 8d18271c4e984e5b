#ifndef FUSION_BENCH_FORMES_H
#define FUSION_BENCH_FORMES_H

// The input shapes that the benchmarks merge, and the processor they run on.

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

enum Forme : std::int64_t {
    kAleatoire, // each element's side drawn at random: worst for a branch
    kSeries8,   // 8 from one side, then 8 from the other
    kSeries64,  // the same with runs of 64
    kEnDessous, // every element of t1 below every element of t2
    kInegales,  // t1 a sixteenth of t2's size, sides drawn at random
    kPetites,   // n + n, sides drawn at random, for tiny n
    kProgramme, // n + (n + 2), sides drawn at random: 5 + 7 is the program's own
};

struct Entrees {
    std::vector<int> t1;
    std::vector<int> t2;
};

// The merged order is 0, 2, 4, ...: each value goes to the side that `cote`
// names, so the interleaving is exactly what the shape asks for.
inline Entrees repartir(const std::vector<bool>& cote)
{
    Entrees e;
    int valeur = 0;
    for (bool vers_t1 : cote) {
        (vers_t1 ? e.t1 : e.t2).push_back(valeur);
        valeur += 2;
    }
    return e;
}

inline Entrees construire(Forme forme, int n, unsigned graine)
{
    std::mt19937 gen(graine);
    std::vector<bool> cote;
    switch (forme) {
    case kAleatoire:
    case kInegales:
    case kPetites:
    case kProgramme: {
        const int n1 = forme == kInegales ? n / 16 : n;
        const int n2 = forme == kProgramme ? n + 2 : n;
        cote.assign(static_cast<std::size_t>(n1) + static_cast<std::size_t>(n2), false);
        std::fill_n(cote.begin(), n1, true);
        std::shuffle(cote.begin(), cote.end(), gen);
        break;
    }
    case kSeries8:
    case kSeries64: {
        const int serie = forme == kSeries8 ? 8 : 64;
        for (int k = 0; k < 2 * n; k++) {
            cote.push_back((k / serie) % 2 == 0);
        }
        break;
    }
    case kEnDessous:
        cote.assign(2 * static_cast<std::size_t>(n), false);
        std::fill_n(cote.begin(), n, true);
        break;
    }
    return repartir(cote);
}

// The processor's own name, which every figure depends on.
inline std::string processeur()
{
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    unsigned mots[12] = {};
    for (unsigned k = 0; k < 3; k++) {
        if (__get_cpuid(0x80000002U + k, &mots[4 * k], &mots[4 * k + 1], &mots[4 * k + 2],
                        &mots[4 * k + 3]) == 0) {
            return "unknown";
        }
    }
    char nom[sizeof mots + 1] = {};
    std::memcpy(nom, mots, sizeof mots);
    std::string s(nom);
    s.erase(s.find_last_not_of(' ') + 1);
    s.erase(0, s.find_first_not_of(' '));
    return s;
#else
    return "unknown";
#endif
}

#endif
