// Each way fusion has of running its steps, called directly on the shapes
// that reach its edges, against the plain loop.

#include "fusion_boucle.h"
#include "noyaux/fusion_noyaux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace
{

const int kTemoin = 0x5A5A5A5A; // fills the output so stray writes show

// Exact-size copies on the heap, so that a sanitizer sees any read past the
// end of an input.
std::unique_ptr<int[]> copie(const std::vector<int>& v)
{
    std::unique_ptr<int[]> p(new int[v.size() + 1]);
    std::copy(v.begin(), v.end(), p.get());
    return p;
}

std::vector<int> boucle(const std::vector<int>& t1, const std::vector<int>& t2)
{
    std::vector<int> r(t1.size() + t2.size());
    fusion_boucle(t1.data(), static_cast<int>(t1.size()), t2.data(), static_cast<int>(t2.size()),
                  r.data());
    return r;
}

// Inputs that reach the edges of every kernel: lengths around the vector
// widths (4 and 8), the scalar stretches (256), the probe (32), the stretches
// of runs of one length (2048) and the vector stretches (65536); ties, runs,
// one input wholly below the other, inputs out of order and inputs with a
// single element out of place.
struct Forme {
    const char* nom;
    int serie; // 0: each element's side at random; else runs of this length
    int pas;   // values grow by up to this much (0: all equal)
    bool desordre;
    bool un_deplace;
};

const Forme kFormes[] = {
    {"aleatoire", 0, 3, false, false},         {"egalites", 0, 1, false, false},
    {"tous_egaux", 0, 0, false, false},        {"series_8", 8, 2, false, false},
    {"series_64", 64, 2, false, false},        {"series_longues", 5000, 1, false, false},
    {"desordre", 0, 3, true, false},           {"un_deplace", 0, 3, false, true},
    {"un_deplace_series", 40, 2, false, true},
};

const std::ptrdiff_t kTailles[] = {0,  1,  3,   4,   5,    8,    9,    17,
                                   31, 33, 255, 257, 2047, 2049, 9000, 65537};

struct Paire {
    std::vector<int> t1;
    std::vector<int> t2;
};

Paire construire(const Forme& f, std::size_t n1, std::size_t n2, std::mt19937& gen)
{
    std::uniform_int_distribution<int> pile(0, 1);
    std::uniform_int_distribution<int> saut(0, std::max(f.pas, 0));
    Paire p;
    int valeur = -100000;
    bool vers_t1 = pile(gen) == 1;
    int dans_serie = 0;
    while (p.t1.size() < n1 || p.t2.size() < n2) {
        if (f.serie == 0) {
            vers_t1 = pile(gen) == 1;
        } else if (++dans_serie > f.serie) {
            vers_t1 = !vers_t1;
            dans_serie = 1;
        }
        if (p.t1.size() == n1) {
            vers_t1 = false;
        } else if (p.t2.size() == n2) {
            vers_t1 = true;
        }
        valeur += saut(gen);
        (vers_t1 ? p.t1 : p.t2).push_back(valeur);
    }
    if (f.desordre) {
        std::shuffle(p.t1.begin(), p.t1.end(), gen);
        std::shuffle(p.t2.begin(), p.t2.end(), gen);
    }
    if (f.un_deplace) {
        for (std::vector<int>* t : {&p.t1, &p.t2}) {
            if (!t->empty()) {
                std::uniform_int_distribution<std::size_t> ou(0, t->size() - 1);
                (*t)[ou(gen)] = valeur / 2;
            }
        }
    }
    return p;
}

const Jeu kJeux[] = {Jeu::scalaire, Jeu::sse41, Jeu::avx2, Jeu::avx512};

std::string nom(Jeu jeu)
{
    return nom_du_jeu(jeu);
}

} // namespace

// Names the set in test listings instead of dumping its bytes. GoogleTest
// finds it by argument-dependent lookup: it must sit in Jeu's namespace.
void PrintTo(Jeu jeu, std::ostream* os)
{
    *os << nom(jeu);
}

namespace
{

class ParJeu : public testing::TestWithParam<Jeu>
{
  protected:
    void SetUp() override
    {
        if (GetParam() > jeu_disponible()) {
            GTEST_SKIP() << nom(GetParam()) << " is not supported by this processor";
        }
    }
};

// The whole merge with one set forced: exactly the plain loop's result, and
// not a slot written past the merged count.
TEST_P(ParJeu, FusionCommeLaBoucle)
{
    std::mt19937 gen(9122026);
    for (const Forme& f : kFormes) {
        for (std::ptrdiff_t n1 : kTailles) {
            for (std::ptrdiff_t n2 : {n1, n1 + 1, n1 / 16, std::ptrdiff_t{4100}}) {
                const Paire p =
                    construire(f, static_cast<std::size_t>(n1), static_cast<std::size_t>(n2), gen);
                const auto t1 = copie(p.t1);
                const auto t2 = copie(p.t2);
                std::vector<int> tab(p.t1.size() + p.t2.size() + 8, kTemoin);
                fusion_avec(GetParam(), t1.get(), static_cast<int>(p.t1.size()), t2.get(),
                            static_cast<int>(p.t2.size()), tab.data());
                std::vector<int> attendu = boucle(p.t1, p.t2);
                attendu.resize(tab.size(), kTemoin);
                ASSERT_EQ(tab, attendu) << f.nom << ", sizes " << n1 << " and " << n2;
            }
        }
    }
}

// The vector run copy takes the very decisions of the scalar one, on any
// input: same runs, same place reached, same slots filled.
TEST_P(ParJeu, SeriesCommeLaCopieScalaire)
{
    std::mt19937 gen(912);
    for (const Forme& f : kFormes) {
        for (std::ptrdiff_t n : {1, 7, 8, 9, 64, 256, 1000}) {
            const Paire p = construire(f, 300, 300, gen);
            const auto t1 = copie(p.t1);
            const auto t2 = copie(p.t2);
            std::vector<int> tab_s(600, kTemoin);
            std::vector<int> tab_v(600, kTemoin);
            Etat s{t1.get(), t2.get(), tab_s.data(), t1.get() + 300, t2.get() + 300};
            Etat v{t1.get(), t2.get(), tab_v.data(), t1.get() + 300, t2.get() + 300};
            const int series_s = pas_par_series(s, n);
            const int series_v = series_vectorielles(GetParam(), v, n).nombre;
            ASSERT_EQ(series_v, series_s) << f.nom << ", " << n << " steps";
            ASSERT_EQ(v.a - t1.get(), s.a - t1.get()) << f.nom << ", " << n << " steps";
            ASSERT_EQ(v.b - t2.get(), s.b - t2.get()) << f.nom << ", " << n << " steps";
            const std::ptrdiff_t faits = s.s - tab_s.data();
            ASSERT_TRUE(std::equal(tab_s.begin(), tab_s.begin() + faits, tab_v.begin()));
            // Slots past the n steps are never touched.
            ASSERT_TRUE(std::all_of(tab_v.begin() + std::min<std::ptrdiff_t>(n, 600), tab_v.end(),
                                    [](int x) { return x == kTemoin; }));
        }
    }
}

// Vector stretches and the count of irregular runs exist only with vectors.
class ParJeuVectoriel : public ParJeu
{
};

// Inputs of runs of given lengths, taken in turn: t1's k-th run has
// longueurs_1[k % size] elements, t2's longueurs_2[k % size]; values rise by
// one, so the runs are exactly these.
Paire par_series(const std::vector<int>& longueurs_1, const std::vector<int>& longueurs_2,
                 int series_par_cote)
{
    Paire p;
    int valeur = 0;
    for (int k = 0; k < series_par_cote; k++) {
        for (int q = 0; q < longueurs_1[k % longueurs_1.size()]; q++) {
            p.t1.push_back(valeur++);
        }
        for (int q = 0; q < longueurs_2[k % longueurs_2.size()]; q++) {
            p.t2.push_back(valeur++);
        }
    }
    return p;
}

// The probe's count of irregular runs: among the runs seen whole (neither the
// first, which may have begun earlier, nor the one that ends an input), those
// of another length than the last such run of their side.
struct CasSeries {
    const char* nom;
    std::vector<int> longueurs_1;
    std::vector<int> longueurs_2;
    // Over 12 runs of each side: t1's last one uses it up, so the copy sees
    // 23 runs, and whole only those between its first and its last.
    int irregulieres;
};

const CasSeries kCasSeries[] = {
    {"huit_partout", {8}, {8}, 0},
    {"une_longueur_par_cote", {5}, {11}, 0},
    {"blocs_entiers", {16}, {24}, 0},
    // t1: 8 9 8 9 ...; its second run sets the length, and each of the 9
    // seen whole after it differs from the one before.
    {"t1_alterne", {8, 9}, {8}, 9},
    // t1's lengths repeat every three runs, so each differs from the last.
    {"t1_en_trois", {3, 9, 6}, {8}, 9},
    // Both sides alternate: t1's 9 as above, and t2's 10 after its first.
    {"les_deux_alternent", {7, 8}, {9, 10}, 19},
};

TEST_P(ParJeuVectoriel, SeriesIrregulieresComptees)
{
    for (const CasSeries& c : kCasSeries) {
        const Paire p = par_series(c.longueurs_1, c.longueurs_2, 12);
        const auto t1 = copie(p.t1);
        const auto t2 = copie(p.t2);
        const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(p.t1.size() + p.t2.size());
        std::vector<int> tab(static_cast<std::size_t>(n), kTemoin);
        Etat e{t1.get(), t2.get(), tab.data(), t1.get() + p.t1.size(), t2.get() + p.t2.size()};
        const Series r = series_vectorielles(GetParam(), e, n, true);
        EXPECT_EQ(r.nombre, 23) << c.nom;
        EXPECT_EQ(r.irregulieres, c.irregulieres) << c.nom;
        // t1's runs 3 to 11 each follow a whole one; t2's 2 to 11 do.
        EXPECT_EQ(r.comparees_t1, 9) << c.nom;
        EXPECT_EQ(r.comparees_t2, 10) << c.nom;
        EXPECT_EQ(e.a, t1.get() + p.t1.size()) << c.nom;
        const std::vector<int> attendu = boucle(p.t1, p.t2);
        EXPECT_TRUE(std::equal(tab.data(), e.s, attendu.begin())) << c.nom;
    }
}

// Runs that keep their lengths are regular wherever a probe starts and stops,
// though the runs it cuts at both ends are shorter.
TEST_P(ParJeuVectoriel, SeriesRegulieresOuQueTombeLaSonde)
{
    const Paire p = par_series({8}, {5}, 20);
    const auto t1 = copie(p.t1);
    const auto t2 = copie(p.t2);
    std::vector<int> tab(p.t1.size() + p.t2.size(), kTemoin);
    for (std::ptrdiff_t debut = 0; debut < 13; debut++) {
        for (std::ptrdiff_t n = 1; n <= 60; n++) {
            Etat e{t1.get(), t2.get(), tab.data(), t1.get() + p.t1.size(), t2.get() + p.t2.size()};
            if (debut > 0) {
                pas_par_series(e, debut);
            }
            EXPECT_EQ(series_vectorielles(GetParam(), e, n, true).irregulieres, 0)
                << "from " << debut << ", " << n << " steps";
        }
    }
}

// Runs of one length go to the run copy in stretches of their own; a change
// of length, or runs that stop being regular, must leave the result exact.
TEST_P(ParJeu, FusionDeSeriesRegulieres)
{
    const std::vector<std::vector<int>> longueurs{{6}, {7}, {8}, {9}, {16}, {5, 5, 5, 40}};
    for (const auto& l1 : longueurs) {
        for (const auto& l2 : longueurs) {
            for (int series : {1, 3, 250, 600}) {
                const Paire p = par_series(l1, l2, series);
                std::vector<int> tab(p.t1.size() + p.t2.size() + 8, kTemoin);
                fusion_avec(GetParam(), p.t1.data(), static_cast<int>(p.t1.size()), p.t2.data(),
                            static_cast<int>(p.t2.size()), tab.data());
                std::vector<int> attendu = boucle(p.t1, p.t2);
                attendu.resize(tab.size(), kTemoin);
                ASSERT_EQ(tab, attendu) << l1[0] << " and " << l2[0] << ", " << series;
            }
        }
    }
}

// A vector stretch is kept only where the plain loop gives the same: any pair
// of neighbours out of order, wherever it falls among the blocks, sends the
// stretch back untouched.
TEST_P(ParJeuVectoriel, TrancheRefuseToutDesordre)
{
    for (std::ptrdiff_t n : {2, 8, 9, 16, 17, 40, 80, 150}) {
        for (std::ptrdiff_t ou = 0; ou + 1 < n; ou++) {
            for (bool dans_t1 : {true, false}) {
                std::vector<int> a(static_cast<std::size_t>(n));
                std::vector<int> b(static_cast<std::size_t>(n));
                for (std::size_t k = 0; k < a.size(); k++) {
                    a[k] = 2 * static_cast<int>(k);
                    b[k] = 2 * static_cast<int>(k) + 1;
                }
                std::vector<int>& t = dans_t1 ? a : b;
                std::swap(t[static_cast<std::size_t>(ou)], t[static_cast<std::size_t>(ou) + 1]);
                const auto t1 = copie(a);
                const auto t2 = copie(b);
                std::vector<int> tab(2 * a.size(), kTemoin);
                Etat e{t1.get(), t2.get(), tab.data(), t1.get() + n, t2.get() + n};
                const Etat avant = e;
                EXPECT_FALSE(tranche_vectorielle(GetParam(), e, 2 * n))
                    << "pair " << ou << " of " << n << (dans_t1 ? " in t1" : " in t2");
                EXPECT_EQ(e.a, avant.a);
                EXPECT_EQ(e.b, avant.b);
                EXPECT_EQ(e.s, avant.s);
            }
        }
    }
}

// In order, the stretch is taken and cut where the plain loop is.
TEST_P(ParJeuVectoriel, TrancheEnOrdrePriseEtCoupeeJuste)
{
    std::mt19937 gen(20261209);
    for (const Forme& f : kFormes) {
        if (f.desordre || f.un_deplace) {
            continue;
        }
        for (std::ptrdiff_t n : {1, 2, 7, 8, 9, 15, 16, 17, 100, 1024}) {
            const Paire p = construire(f, 600, 600, gen);
            const auto t1 = copie(p.t1);
            const auto t2 = copie(p.t2);
            std::vector<int> tab(1200, kTemoin);
            Etat e{t1.get(), t2.get(), tab.data(), t1.get() + 600, t2.get() + 600};
            ASSERT_TRUE(tranche_vectorielle(GetParam(), e, n)) << f.nom << ", " << n;
            const std::vector<int> attendu = boucle(p.t1, p.t2);
            ASSERT_EQ(e.s - tab.data(), n);
            ASSERT_TRUE(std::equal(tab.begin(), tab.begin() + n, attendu.begin()))
                << f.nom << ", " << n;
            ASSERT_EQ(tab[static_cast<std::size_t>(n)], kTemoin) << f.nom << ", " << n;
            // Where the plain loop stands after n steps.
            std::ptrdiff_t i = 0;
            std::ptrdiff_t j = 0;
            while (i + j < n) {
                const bool de_t1 = j == 600 || (i < 600 && p.t1[static_cast<std::size_t>(i)] <
                                                               p.t2[static_cast<std::size_t>(j)]);
                (de_t1 ? i : j)++;
            }
            ASSERT_EQ(e.a - t1.get(), i) << f.nom << ", " << n;
            ASSERT_EQ(e.b - t2.get(), j) << f.nom << ", " << n;
        }
    }
}

// Ascending inputs of n elements: values that tie often, or that crowd the
// ends of int, where the INT_MAX padding meets real INT_MAX values.
std::vector<int> petite_entree(std::size_t n, bool extremes, std::mt19937& gen)
{
    std::uniform_int_distribution<int> tirage(-3, 3);
    std::vector<int> v(n);
    for (int& x : v) {
        const int t = tirage(gen);
        x = !extremes ? t : t < -1 ? INT_MIN : t > 1 ? INT_MAX : t;
    }
    std::sort(v.begin(), v.end());
    return v;
}

// A kernel that takes sorted inputs of na and nb elements whole, once with
// values that tie often and once crowding the ends of int: it must accept
// them and give exactly the plain loop's result, not a slot past it.
template <typename Noyau>
void comme_la_boucle(Noyau noyau, std::ptrdiff_t na, std::ptrdiff_t nb, std::mt19937& gen)
{
    for (bool extremes : {false, true}) {
        const auto a = petite_entree(static_cast<std::size_t>(na), extremes, gen);
        const auto b = petite_entree(static_cast<std::size_t>(nb), extremes, gen);
        const auto t1 = copie(a);
        const auto t2 = copie(b);
        std::vector<int> tab(a.size() + b.size() + 8, kTemoin);
        ASSERT_TRUE(noyau(t1.get(), na, t2.get(), nb, tab.data())) << na << " + " << nb;
        std::vector<int> attendu = boucle(a, b);
        attendu.resize(tab.size(), kTemoin);
        ASSERT_EQ(tab, attendu) << na << " + " << nb << (extremes ? ", extremes" : "");
    }
}

// The one-network path at every pair of sizes it takes, on sorted inputs:
// exactly the plain loop's result and not a slot past it.
TEST_P(ParJeuVectoriel, PetitsCommeLaBoucle)
{
    std::mt19937 gen(5);
    const std::ptrdiff_t max = petits_max(GetParam());
    ASSERT_GT(max, 0);
    const auto petits = [jeu = GetParam()](const int* a, std::ptrdiff_t na, const int* b,
                                           std::ptrdiff_t nb, int* s) {
        petits_vectoriels(jeu, a, na, b, nb, s);
        return true;
    };
    for (std::ptrdiff_t na = 1; na <= max; na++) {
        for (std::ptrdiff_t nb = 1; nb <= max; nb++) {
            ASSERT_NO_FATAL_FAILURE(comme_la_boucle(petits, na, nb, gen));
        }
    }
}

// One pair out of order, at every place in either input and at the sizes
// where registers and half registers (AVX-512 holds two halves in one)
// begin and end, is merged as the plain loop merges it: a network would
// give the same values sorted.
TEST_P(ParJeuVectoriel, PetitsDesordonnesCommeLaBoucle)
{
    const std::ptrdiff_t max = petits_max(GetParam());
    std::vector<std::ptrdiff_t> tailles;
    for (std::ptrdiff_t n = 2; n <= max; n++) {
        const std::ptrdiff_t l = max / 4; // lanes of a register
        if (n % l <= 1 || n % l == l - 1 || n == l / 2 || n == l / 2 + 1) {
            tailles.push_back(n);
        }
    }
    for (std::ptrdiff_t na : tailles) {
        for (std::ptrdiff_t nb : {std::ptrdiff_t{1}, na, max}) {
            for (bool dans_a : {true, false}) {
                // A single element is always in order.
                const std::ptrdiff_t n = dans_a ? na : nb;
                for (std::ptrdiff_t ou = 0; n > 1 && ou < n; ou++) {
                    std::vector<int> a(static_cast<std::size_t>(na));
                    std::vector<int> b(static_cast<std::size_t>(nb));
                    for (std::size_t k = 0; k < a.size(); k++) {
                        a[k] = 2 * static_cast<int>(k);
                    }
                    for (std::size_t k = 0; k < b.size(); k++) {
                        b[k] = 2 * static_cast<int>(k) + 1;
                    }
                    // Above its successor, or, for the last one, below its
                    // predecessor.
                    std::vector<int>& t = dans_a ? a : b;
                    const auto p = static_cast<std::size_t>(ou);
                    t[p] = p + 1 < t.size() ? t[p + 1] + 1 : t[p - 1] - 1;
                    const auto t1 = copie(a);
                    const auto t2 = copie(b);
                    std::vector<int> tab(a.size() + b.size(), kTemoin);
                    petits_vectoriels(GetParam(), t1.get(), na, t2.get(), nb, tab.data());
                    EXPECT_EQ(tab, boucle(a, b))
                        << na << " + " << nb << ", element " << ou << (dans_a ? " of a" : " of b");
                }
            }
        }
    }
}

// The vector merge itself (windows, then the carried register for the last
// elements of a side), called directly.
bool fusionner_direct(Jeu jeu, const int* a, std::ptrdiff_t na, const int* b, std::ptrdiff_t nb,
                      int* s)
{
#if FUSION_X86
    return jeu == Jeu::avx512 ? fusionner_avx512(a, na, b, nb, s)
           : jeu == Jeu::avx2 ? fusionner_avx2(a, na, b, nb, s)
                              : fusionner_sse41(a, na, b, nb, s);
#else
    (void)jeu, (void)a, (void)na, (void)b, (void)nb, (void)s;
    return false;
#endif
}

// Every pair of sizes around the window (L - 1, L, L + 1, and around the four
// streams' cuts), with ties and the ends of int: exactly the plain loop's
// result, not a slot past it.
TEST_P(ParJeuVectoriel, FenetresCommeLaBoucle)
{
    std::mt19937 gen(15);
    const std::ptrdiff_t l = petits_max(GetParam()) / 4; // lanes of a register
    std::vector<std::ptrdiff_t> tailles;
    for (std::ptrdiff_t m : {std::ptrdiff_t{1}, l, 4 * l, 8 * l, 40 * l}) {
        for (std::ptrdiff_t d : {-1, 0, 1}) {
            tailles.push_back(m + d);
        }
    }
    tailles.push_back(1000);
    const auto fenetres = [jeu = GetParam()](const int* a, std::ptrdiff_t na, const int* b,
                                             std::ptrdiff_t nb, int* s) {
        return fusionner_direct(jeu, a, na, b, nb, s);
    };
    for (std::ptrdiff_t na : tailles) {
        for (std::ptrdiff_t nb : tailles) {
            if (na > 0 && nb > 0) {
                ASSERT_NO_FATAL_FAILURE(comme_la_boucle(fenetres, na, nb, gen));
            }
        }
    }
}

std::string nom_du_cas(const testing::TestParamInfo<Jeu>& cas)
{
    return nom(cas.param);
}

INSTANTIATE_TEST_SUITE_P(Noyaux, ParJeu, testing::ValuesIn(kJeux), nom_du_cas);
INSTANTIATE_TEST_SUITE_P(Noyaux, ParJeuVectoriel,
                         testing::Values(Jeu::sse41, Jeu::avx2, Jeu::avx512), nom_du_cas);

// The extremes of int, where padding with INT_MAX meets real INT_MAX values.
TEST(Noyaux, ExtremesDeInt)
{
    const std::vector<int> a{INT_MIN, INT_MIN, 0,       INT_MAX, INT_MAX, INT_MAX,
                             INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    const std::vector<int> b{INT_MIN, -1, INT_MAX, INT_MAX, INT_MAX};
    for (Jeu jeu : kJeux) {
        if (jeu > jeu_disponible()) {
            continue;
        }
        std::vector<int> tab(a.size() + b.size());
        fusion_avec(jeu, a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                    tab.data());
        EXPECT_EQ(tab, boucle(a, b)) << nom(jeu);
    }
}

} // namespace
