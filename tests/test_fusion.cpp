#include "fusion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <random>
#include <vector>

namespace
{

const int kTemoin = 0x5A5A5A5A; // fills the output so stray writes show

// Merges a and b into a buffer larger than needed and checks that the slots
// past the merged count kept their filler. The inputs are copied to blocks of
// exactly their size, so that a sanitizer sees any read past their end.
std::vector<int> fusionner(const std::vector<int>& a, const std::vector<int>& b)
{
    const std::unique_ptr<int[]> t1(new int[a.size()]);
    const std::unique_ptr<int[]> t2(new int[b.size()]);
    std::copy(a.begin(), a.end(), t1.get());
    std::copy(b.begin(), b.end(), t2.get());
    const std::size_t n = a.size() + b.size();
    std::vector<int> tab(n + 8, kTemoin);
    fusion(t1.get(), static_cast<int>(a.size()), t2.get(), static_cast<int>(b.size()), tab.data());
    for (std::size_t k = n; k < tab.size(); k++) {
        EXPECT_EQ(tab[k], kTemoin) << "slot " << k << " past the merged count was written";
    }
    tab.resize(n);
    return tab;
}

struct Cas {
    const char* nom;
    std::vector<int> t1;
    std::vector<int> t2;
    std::vector<int> attendu;
};

// The documented behaviour, including what happens with inputs that break the
// ascending-order promise: the same comparisons decide, nothing is sorted.
const Cas kCas[] = {
    {"donnees_du_programme",
     {1, 5, 11, 20, 100},
     {2, 7, 8, 20, 70, 150, 200},
     {1, 2, 5, 7, 8, 11, 20, 20, 70, 100, 150, 200}},
    {"egalite_prend_t2_dabord", {5, 1}, {5, 0}, {5, 0, 5, 1}},
    {"egalite_en_cours_de_route", {2, 9}, {1, 2, 0}, {1, 2, 0, 2, 9}},
    {"t1_vide", {}, {3, 4, 9}, {3, 4, 9}},
    {"t2_vide", {-1, 6}, {}, {-1, 6}},
    {"deux_vides", {}, {}, {}},
    {"negatifs", {-3, 7}, {-5, 7}, {-5, -3, 7, 7}},
    {"desordre_non_trie", {3, 1}, {2}, {2, 3, 1}},
    {"t1_tout_en_dessous", {1, 2, 3}, {4, 5}, {1, 2, 3, 4, 5}},
    {"t2_tout_en_dessous", {4, 5}, {1, 2, 3}, {1, 2, 3, 4, 5}},
    {"extremes_de_int",
     {INT_MIN, 0, INT_MAX},
     {INT_MIN, -1, INT_MAX},
     {INT_MIN, INT_MIN, -1, 0, INT_MAX, INT_MAX}},
    {"ecart_qui_deborderait", {INT_MIN + 1}, {INT_MAX}, {INT_MIN + 1, INT_MAX}},
};

// Names the case instead of dumping its bytes in test listings.
void PrintTo(const Cas& c, std::ostream* os)
{
    *os << c.nom;
}

class FusionCas : public testing::TestWithParam<Cas>
{
};

TEST_P(FusionCas, DonneLeResultatAttendu)
{
    const Cas& c = GetParam();
    EXPECT_EQ(fusionner(c.t1, c.t2), c.attendu);
}

INSTANTIATE_TEST_SUITE_P(Fusion, FusionCas, testing::ValuesIn(kCas),
                         [](const testing::TestParamInfo<Cas>& cas) { return cas.param.nom; });

// With both inputs empty, not even slot 0 may be touched.
TEST(Fusion, DeuxVidesNEcritRien)
{
    int tab[1] = {kTemoin};
    fusion(nullptr, 0, nullptr, 0, tab);
    EXPECT_EQ(tab[0], kTemoin);
}

// Counts below zero break the caller's promise; they must still read and
// write nothing outside the arrays (here, what the plain loop did with them).
TEST(Fusion, TaillesNegativesSansDebordement)
{
    const int t[3] = {1, 2, 3};
    int tab[4] = {kTemoin, kTemoin, kTemoin, kTemoin};
    fusion(t, -1, t, 3, tab);
    EXPECT_EQ(tab[0], kTemoin);
    fusion(t, 3, t, -2, tab);
    EXPECT_EQ(tab[0], 1);
    EXPECT_EQ(tab[2], 3);
    EXPECT_EQ(tab[3], kTemoin);
}

// The merge as first written, one plain step at a time: the reference for
// inputs that are not in order, where std::merge promises nothing.
std::vector<int> fusion_pas_a_pas(const std::vector<int>& t1, const std::vector<int>& t2)
{
    std::vector<int> r;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < t1.size() && j < t2.size()) {
        r.push_back(t1[i] < t2[j] ? t1[i++] : t2[j++]);
    }
    r.insert(r.end(), t1.begin() + static_cast<std::ptrdiff_t>(i), t1.end());
    r.insert(r.end(), t2.begin() + static_cast<std::ptrdiff_t>(j), t2.end());
    return r;
}

// Two inputs whose merged order alternates between stretches of random
// interleaving and runs of random length, so that a merge that adapts its
// stepping to the data switches back and forth, at every kind of boundary.
struct Paire {
    std::vector<int> t1;
    std::vector<int> t2;
};

Paire paire_melangee(std::mt19937& gen, int taille1, int taille2, int etendue_max, int plage)
{
    std::uniform_int_distribution<int> pile(0, 1);
    std::uniform_int_distribution<int> longueur(1, etendue_max);
    std::uniform_int_distribution<int> saut(0, plage);
    Paire p;
    int valeur = -1000000;
    bool vers_t1 = false;
    bool au_hasard = true;
    int reste = 0;
    while (static_cast<int>(p.t1.size()) < taille1 || static_cast<int>(p.t2.size()) < taille2) {
        if (reste == 0) {
            reste = longueur(gen);
            au_hasard = etendue_max == 1 || pile(gen) == 1;
            vers_t1 = !vers_t1;
        }
        reste--;
        if (au_hasard) {
            vers_t1 = pile(gen) == 1;
        }
        if (static_cast<int>(p.t1.size()) == taille1) {
            vers_t1 = false;
        } else if (static_cast<int>(p.t2.size()) == taille2) {
            vers_t1 = true;
        }
        valeur += saut(gen);
        (vers_t1 ? p.t1 : p.t2).push_back(valeur);
    }
    return p;
}

// std::merge keeps the first range's element first on ties, so t2 goes first.
std::vector<int> reference(const std::vector<int>& t1, const std::vector<int>& t2)
{
    std::vector<int> r(t1.size() + t2.size());
    std::merge(t2.begin(), t2.end(), t1.begin(), t1.end(), r.begin());
    return r;
}

TEST(Fusion, CommeStdMergeSurDesEntreesTriees)
{
    std::mt19937 gen(20261208);
    std::uniform_int_distribution<int> taille(0, 1500);
    std::uniform_int_distribution<int> petite(0, 8);
    for (int etendue_max : {1, 3, 12, 100, 2000}) {
        for (int plage : {0, 1, 1000}) {
            for (int essai = 0; essai < 40; essai++) {
                // Tiny inputs on one side now and then: the other side's long
                // tail and the last few steps before an input runs out.
                const int taille1 = essai % 5 == 0 ? petite(gen) : taille(gen);
                const int taille2 = essai % 7 == 0 ? petite(gen) : taille(gen);
                const Paire p = paire_melangee(gen, taille1, taille2, etendue_max, plage);
                ASSERT_EQ(fusionner(p.t1, p.t2), reference(p.t1, p.t2))
                    << "sizes " << taille1 << " and " << taille2 << ", stretches up to "
                    << etendue_max << ", steps up to " << plage;
            }
        }
    }
}

// Out of order, each step is still decided by its own comparison alone.
TEST(Fusion, CommeLaBouclePasAPasSurDesEntreesEnDesordre)
{
    std::mt19937 gen(8122026);
    std::uniform_int_distribution<int> taille(0, 1200);
    for (int plage : {2, 50, INT_MAX}) {
        std::uniform_int_distribution<int> valeur(-plage, plage);
        for (int essai = 0; essai < 60; essai++) {
            std::vector<int> t1(static_cast<std::size_t>(taille(gen)));
            std::vector<int> t2(static_cast<std::size_t>(taille(gen)));
            std::generate(t1.begin(), t1.end(), [&] { return valeur(gen); });
            std::generate(t2.begin(), t2.end(), [&] { return valeur(gen); });
            // Partly sorted, so that long runs occur too.
            std::sort(t1.begin(), t1.begin() + static_cast<std::ptrdiff_t>(t1.size() / 2));
            std::sort(t2.begin() + static_cast<std::ptrdiff_t>(t2.size() / 3), t2.end());
            ASSERT_EQ(fusionner(t1, t2), fusion_pas_a_pas(t1, t2))
                << "sizes " << t1.size() << " and " << t2.size() << ", values up to " << plage;
        }
    }
}

} // namespace
