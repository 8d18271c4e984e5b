#include "fusion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

namespace
{

const int kTemoin = 0x5A5A5A5A; // fills the output so stray writes show

// Merges a and b into a buffer larger than needed and checks that the slots
// past the merged count kept their filler.
std::vector<int> fusionner(const std::vector<int>& a, const std::vector<int>& b)
{
    const std::size_t n = a.size() + b.size();
    std::vector<int> tab(n + 8, kTemoin);
    fusion(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), tab.data());
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
                         [](const testing::TestParamInfo<Cas>& info) { return info.param.nom; });

// With both inputs empty, not even slot 0 may be touched.
TEST(Fusion, DeuxVidesNEcritRien)
{
    int tab[1] = {kTemoin};
    fusion(nullptr, 0, nullptr, 0, tab);
    EXPECT_EQ(tab[0], kTemoin);
}

// Builds an ascending array of n values. Small value ranges give many equal
// values; runs make long stretches taken from one side.
std::vector<int> trie_aleatoire(std::mt19937& gen, int n, int plage)
{
    std::uniform_int_distribution<int> valeur(-plage, plage);
    std::vector<int> v(static_cast<std::size_t>(n));
    for (int& x : v) {
        x = valeur(gen);
    }
    std::sort(v.begin(), v.end());
    return v;
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
    std::uniform_int_distribution<int> taille(0, 300);
    for (int plage : {3, 1000, INT_MAX}) {
        for (int essai = 0; essai < 300; essai++) {
            const auto t1 = trie_aleatoire(gen, taille(gen), plage);
            const auto t2 = trie_aleatoire(gen, taille(gen), plage);
            ASSERT_EQ(fusionner(t1, t2), reference(t1, t2))
                << "sizes " << t1.size() << " and " << t2.size() << ", range " << plage;
        }
    }
}

} // namespace
