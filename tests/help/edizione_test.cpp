#include "help/edizione.h"

#include <gtest/gtest.h>

#include "common/testiprogramma.h"

namespace varimo {
namespace {

TEST(Edizione, ConIValoriDelProgramma) {
    EXPECT_EQ(rigaEdizione(TestiProgramma::versioneprogramma, TestiProgramma::dataversione,
                           TestiProgramma::codicecompilazione),
              "edizione professionale - versione 2.04.05   2005- 2011");
}

TEST(Edizione, AnnoDellaData) {
    struct Caso {
        const char* data;
        int anno;
    } casi[] = {
        {"26/01/05", 2005},   {"1/1/29", 2029}, {"1/1/30", 1930}, {"31/12/99", 1999},
        {"26/01/2005", 2005}, {"26-01-05", 0},  {"", 0},          {"26/01/xx", 0},
    };
    for (const auto& c : casi) EXPECT_EQ(annoVersione(c.data), c.anno) << c.data;
}

TEST(Edizione, ParteFinaleDalCodice) {
    EXPECT_EQ(rigaEdizione("1.0", "01/02/1998", "010207"),
              "edizione professionale - versione 1.0   1998- 2007");
    // An unreadable date leaves out the year but keeps the rest.
    EXPECT_EQ(rigaEdizione("1.0", "?", "7"), "edizione professionale - versione 1.0  - 207");
}

}  // namespace
}  // namespace varimo
