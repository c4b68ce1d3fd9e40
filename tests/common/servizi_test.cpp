#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/interazione.h"
#include "common/percorsi.h"
#include "common/testiprogramma.h"
#include "support/interazione_finta.h"

using namespace varimo;

TEST(Interazione, LaFintaRegistraERisponde) {
    {
        test::InterazioneFinta finta;
        finta.rispondi(Risposta::Si);
        EXPECT_EQ(messaggio("a?", "t", Icona::Domanda, Pulsanti::SiNo), Risposta::Si);
        // Queue empty: a question is answered No, a notice Ok.
        EXPECT_EQ(messaggio("b?", "t", Icona::Domanda, Pulsanti::SiNo), Risposta::No);
        EXPECT_EQ(messaggio("c", "t"), Risposta::Ok);
        EXPECT_EQ(finta.testi(), QStringList({"a?", "b?", "c"}));
        EXPECT_FALSE(chiediFile({}).has_value());
    }
    // Once the stand-in is gone the silent default answers without blocking.
    EXPECT_EQ(messaggio("d?", "t", Icona::Domanda, Pulsanti::SiNo), Risposta::No);
}

TEST(Percorsi, DatoAccantoAlProgrammaPoiNellaCartellaShareInstallata) {
    QTemporaryDir radice;
    ASSERT_TRUE(radice.isValid());
    QDir d(radice.path());
    ASSERT_TRUE(d.mkpath("bin"));
    ASSERT_TRUE(d.mkpath("share/varimo"));
    impostaCartellaProgramma(d.filePath("bin"));

    EXPECT_TRUE(trovaDato("nessuno-cosi.xyz").isEmpty());

    QFile installato(d.filePath("share/varimo/prova.txt"));
    ASSERT_TRUE(installato.open(QIODevice::WriteOnly));
    installato.close();
    EXPECT_EQ(trovaDato("prova.txt"), QDir::cleanPath(d.filePath("share/varimo/prova.txt")));

    QFile accanto(d.filePath("bin/prova.txt"));
    ASSERT_TRUE(accanto.open(QIODevice::WriteOnly));
    accanto.close();
    EXPECT_EQ(trovaDato("prova.txt"), QDir::cleanPath(d.filePath("bin/prova.txt")));
    impostaCartellaProgramma({});
}
