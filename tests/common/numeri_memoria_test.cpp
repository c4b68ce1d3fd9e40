// The conversions remember recent results; a text changed in place, or a new
// text at the same address, must always be read anew.
#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include "common/numeri.h"

using namespace varimo;

namespace {
// The reading of a fresh copy, which the memory cannot know.
std::optional<double> fresca(const QString& t) {
    return letturaRigorosa(QString(t.constData(), t.size()));
}
}  // namespace

TEST(MemoriaConversioni, TestoCambiatoSulPostoSiRilegge) {
    QString t = QStringLiteral("1234,5");
    t.detach();
    ASSERT_EQ(letturaRigorosa(t), 1234.5);
    t[0] = QLatin1Char('9');  // same string object, new content
    EXPECT_EQ(letturaRigorosa(t), fresca(t));
    EXPECT_EQ(letturaRigorosa(t), 9234.5);
    t.chop(2);  // "9234"
    EXPECT_EQ(letturaRigorosa(t), 9234.0);
    EXPECT_EQ(letturaCentesimi(t), 923400.0);
    t.append(QStringLiteral("x"));  // "9234x": unreadable now
    EXPECT_FALSE(letturaRigorosa(t).has_value());
    EXPECT_EQ(letturaTollerante(t), 9234.0);
    t = QStringLiteral("7,25");  // a literal, with no data of its own
    EXPECT_EQ(letturaRigorosa(t), 7.25);
    EXPECT_EQ(letturaCentesimi(t), 725.0);
}

TEST(MemoriaConversioni, MoltiTestiATurnoDannoGliStessiRisultatiDiCopieNuove) {
    // More texts than the memory holds, each read twice, in a rotating order,
    // with some changed in place between the readings.
    QList<QString> testi;
    for (int i = 0; i < 300; ++i)
        testi << QString::number(i * 37) + QStringLiteral(",") + QString::number(i % 100);
    for (int giro = 0; giro < 3; ++giro) {
        for (int i = 0; i < testi.size(); ++i) {
            QString& t = testi[(i * 7 + giro) % testi.size()];
            ASSERT_EQ(letturaRigorosa(t), fresca(t)) << t.toStdString();
            ASSERT_EQ(letturaCentesimi(t), letturaCentesimi(QString(t.constData(), t.size())));
            ASSERT_EQ(letturaTollerante(t), letturaTollerante(QString(t.constData(), t.size())));
            if (i % 5 == 0) t[0] = QLatin1Char('1' + (i % 9));
        }
    }
}

TEST(MemoriaConversioni, LoStessoNumeroScrittoConAltriSeparatori) {
    EXPECT_EQ(scritturaNumerica(1234.5), "1234,5");
    EXPECT_EQ(scritturaNumerica(1234.5, Separatori{QLatin1Char('.'), QLatin1Char(',')}), "1234.5");
    EXPECT_EQ(scritturaNumerica(1234.5), "1234,5");
}
