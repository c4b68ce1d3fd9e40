#include "common/cifrepercentuale.h"

#include <gtest/gtest.h>

#include <vector>

namespace varimo {
namespace {

// Digits typed at the given times, and the percentage after each.
std::vector<int> digita(CifrePercentuale& c, std::initializer_list<std::pair<int, qint64>> tasti) {
    std::vector<int> v;
    for (auto [cifra, istante] : tasti) v.push_back(c.cifra(cifra, istante));
    return v;
}

TEST(CifrePercentuale, CifreRavvicinateFannoUnSoloNumeroFinoA100) {
    CifrePercentuale c;
    EXPECT_EQ(digita(c, {{2, 1000}, {2, 1200}}), (std::vector<int>{2, 22}));
    c.azzera();
    EXPECT_EQ(digita(c, {{1, 0}, {0, 10}, {0, 20}}), (std::vector<int>{1, 10, 100}));
    // Past 100 a digit starts again; so does 0 after 100.
    EXPECT_EQ(digita(c, {{5, 30}}), (std::vector<int>{5}));
    c.azzera();
    EXPECT_EQ(digita(c, {{1, 0}, {0, 10}, {0, 20}, {0, 30}}), (std::vector<int>{1, 10, 100, 0}));
    // A leading zero does not stop the number.
    c.azzera();
    EXPECT_EQ(digita(c, {{0, 0}, {7, 10}}), (std::vector<int>{0, 7}));
    // 10 then 7 would be 107: a new number.
    c.azzera();
    EXPECT_EQ(digita(c, {{1, 0}, {0, 10}, {7, 20}}), (std::vector<int>{1, 10, 7}));
}

TEST(CifrePercentuale, UnaPausaOUnAzzeramentoIniziaUnNuovoNumero) {
    CifrePercentuale c;
    const qint64 p = CifrePercentuale::kPausaMs;
    EXPECT_EQ(digita(c, {{2, 0}, {2, p}}), (std::vector<int>{2, 22}));
    EXPECT_EQ(digita(c, {{3, 2 * p + 1}}), (std::vector<int>{3}));
    c.azzera();
    EXPECT_EQ(digita(c, {{4, 2 * p + 2}}), (std::vector<int>{4}));
    // A clock that goes back (a new source of times) does not join numbers.
    EXPECT_EQ(digita(c, {{5, 0}}), (std::vector<int>{5}));
}

}  // namespace
}  // namespace varimo
