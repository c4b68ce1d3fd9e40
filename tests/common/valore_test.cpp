#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include "common/valore.h"

using varimo::Valore;

TEST(Valore, UnaScritturaSenzaCambiamentoNonEsegueNulla) {
    Valore<QString> v;
    int gestiti = 0, viste = 0;
    v.suCambio([&] { ++gestiti; });
    v.allaVista([&] { ++viste; });
    EXPECT_FALSE(v.imposta(QString()));
    EXPECT_TRUE(v.imposta("1"));
    EXPECT_FALSE(v.imposta("1"));
    EXPECT_EQ(gestiti, 1);
    EXPECT_EQ(viste, 1);
}

TEST(Valore, IGestoriSiAnnidanoInProfonditaPrimaCheChiScriveProsegua) {
    // a's handler writes b; b's handler records. The record of b must come
    // before a's handler finishes.
    Valore<int> a, b;
    QStringList traccia;
    a.suCambio([&] {
        traccia << "a:inizio";
        b.imposta(a() * 10);
        traccia << QString("a:fine b=%1").arg(b());
    });
    b.suCambio([&] { traccia << QString("b=%1").arg(b()); });
    a.imposta(2);
    EXPECT_EQ(traccia, QStringList({"a:inizio", "b=20", "a:fine b=20"}));
}

TEST(Valore, LaVistaVedeIlValorePrimaCheIlGestoreParta) {
    Valore<int> v;
    QStringList traccia;
    v.allaVista([&] { traccia << QString("vista %1").arg(v()); });
    v.suCambio([&] {
        traccia << QString("gestore %1").arg(v());
        if (v() < 3) v.imposta(v() + 1);  // re-entrant write of the same value
    });
    v.imposta(1);
    EXPECT_EQ(traccia, QStringList({"vista 1", "gestore 1", "vista 2", "gestore 2", "vista 3",
                                    "gestore 3"}));
}
