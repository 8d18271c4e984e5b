#include "aff_tab.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const std::string kEntete = "|   Tableau 1   ||   Tableau 2   ||   Tableau F   |\n"
                            "|---------------||---------------||---------------|\n"
                            "|indice| valeur ||indice| valeur ||indice| valeur |\n"
                            "|------|--------||------|--------||------|--------|\n";

std::string imprimer(const std::vector<int>& t01, const std::vector<int>& t02,
                     const std::vector<int>& tf00, int nb01, int nb02, int nbff)
{
    testing::internal::CaptureStdout();
    aff_tab(t01.data(), t02.data(), tf00.data(), nb01, nb02, nbff);
    return testing::internal::GetCapturedStdout();
}

// Row counts decide how many rows there are; the input counts only decide
// where a column turns to asterisks.
TEST(AffTab, AucuneLignePourUnNombreNulOuNegatif)
{
    const std::vector<int> t{1, 2};
    EXPECT_EQ(imprimer(t, t, t, 2, 2, 0), kEntete);
    EXPECT_EQ(imprimer(t, t, t, 2, 2, -3), kEntete);
}

TEST(AffTab, MoinsDeLignesQueLesEntrees)
{
    const std::vector<int> t1{1, 5, 11, 20, 100};
    const std::vector<int> t2{2, 7, 8, 20, 70, 150, 200};
    const std::vector<int> tf{1, 2};
    EXPECT_EQ(imprimer(t1, t2, tf, 5, 7, 2),
              kEntete + "|   0  |     1  ||   0  |     2  ||   0  |     1  |\n"
                        "|   1  |     5  ||   1  |     7  ||   1  |     2  |\n");
}

TEST(AffTab, ColonneVideEnAsterisques)
{
    const std::vector<int> t2{4, 9};
    const std::vector<int> tf{4, 9};
    EXPECT_EQ(imprimer({}, t2, tf, 0, 2, 2),
              kEntete + "|******|********||   0  |     4  ||   0  |     4  |\n"
                        "|******|********||   1  |     9  ||   1  |     9  |\n");
    EXPECT_EQ(imprimer(t2, {}, tf, 2, 0, 2),
              kEntete + "|   0  |     4  ||******|********||   0  |     4  |\n"
                        "|   1  |     9  ||******|********||   1  |     9  |\n");
}

// Nothing is ever cut: a value too wide for its field widens the row.
TEST(AffTab, ValeursLargesEtNegatives)
{
    const std::vector<int> t1{-5, 12345, -2147483647 - 1};
    const std::vector<int> t2{-1000, 9999, 2147483647};
    const std::vector<int> tf{-999, 0, -1};
    EXPECT_EQ(imprimer(t1, t2, tf, 3, 3, 3),
              kEntete + "|   0  |    -5  ||   0  |  -1000  ||   0  |  -999  |\n"
                        "|   1  |  12345  ||   1  |  9999  ||   1  |     0  |\n"
                        "|   2  |  -2147483648  ||   2  |  2147483647  ||   2  |    -1  |\n");
}

TEST(AffTab, IndiceATroisChiffres)
{
    const std::vector<int> t(101, 7);
    const std::string sortie = imprimer(t, t, t, 100, 101, 101);
    const std::string derniere = sortie.substr(sortie.rfind('\n', sortie.size() - 2) + 1);
    EXPECT_EQ(derniere, "|******|********||  100  |     7  ||  100  |     7  |\n");
    EXPECT_NE(sortie.find("|  99  |     7  ||  99  |     7  ||  99  |     7  |\n"),
              std::string::npos);
}

} // namespace
