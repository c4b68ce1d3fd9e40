#pragma once

#include <QString>
#include <random>

#include "calculation/statocalcolo.h"

namespace varimo::test {

// Seeded choices for random edit sequences on the calculation window: rows,
// amounts as a user might type them, numbers in a range.
class Generatore {
  public:
    explicit Generatore(unsigned seme) : rng_(seme) {}
    int tra(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
    int rigaLibera() {
        int i = tra(1, 16);
        return i >= 4 ? i + 1 : i;  // 1..17 without 4
    }
    int rigaPercentuale() {  // rows that show a reference list and a scroll bar
        int i;
        do {
            i = tra(2, 17);
        } while (!StatoCalcolo::percentualeVisibile(i));
        return i;
    }
    QString importo() {
        switch (tra(0, 4)) {
            case 0:
                return QStringLiteral("0");
            case 1:
                if (tra(0, 2) == 0) return QString();
                return QString::number(tra(1, 999)) + QLatin1Char(',') +
                       QString::number(tra(10, 99));
            case 2:
                return QString::number(tra(1, 999)) + QLatin1Char('.') +
                       QString::number(tra(100, 999));
            default:
                return QString::number(tra(1, 2000000));
        }
    }

  private:
    std::mt19937 rng_;
};

}  // namespace varimo::test
