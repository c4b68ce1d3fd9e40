// Printing the on-line guide: one guide, the licence, and the whole guide
// saved beside the program.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "reports/ambiente_stampe.h"
#include "reports/lettore_docx.h"
#include "reports/stampaguida.h"
#include "support/figlio_limitato.h"
#include "support/sistema.h"

namespace varimo {
namespace {

using test::CorpoLetto;
using test::ParagrafoLetto;

std::array<GuidaDaStampare, 4> quattroGuide() {
    return {{
        {QStringLiteral("MANUALE D'USO RAPIDO"),
         QStringLiteral("Il presente software VARIMO è un'utilissimo strumento.\rSeconda riga.")},
        {QStringLiteral("FUNZIONAMENTO DEL PROGRAMMA"),
         QStringLiteral("Il funzionamento di VARIMO è semplice <ma> & elaborato.")},
        {QStringLiteral("Finestra CALCOLO"),
         QStringLiteral("Il software VARIMO è formato da due finestre solamente.")},
        {QStringLiteral("Finestra QUADRO ECONOMICO"),
         QStringLiteral("La seconda finestra riguarda il \"quadro economico\".")},
    }};
}

class StampaGuida : public test::AmbienteStampe {
  protected:
    void SetUp() override {
        AmbienteStampe::SetUp();
        programma = cartella.filePath(QStringLiteral("programma"));
        ASSERT_TRUE(QDir().mkpath(programma));
    }

    static QStringList testi(const QList<ParagrafoLetto>& p) {
        QStringList t;
        for (const auto& x : p) t.append(x.testo);
        return t;
    }

    QString programma;
};

TEST_F(StampaGuida, UnaGuidaHaIntestazioneTitoloETestoGiustificato) {
    ASSERT_TRUE(stampaguida(QStringLiteral("Finestra CALCOLO"),
                            QStringLiteral("Il software VARIMO è formato da due finestre.")));
    ASSERT_EQ(aperti.size(), 1);
    EXPECT_EQ(QFileInfo(aperti[0]).fileName(), "Varimo - Guida - Finestra CALCOLO.docx");
    const CorpoLetto c = test::leggiDocx(aperti[0]);
    ASSERT_TRUE(c.errore.isEmpty());
    const QList<ParagrafoLetto> p = c.paragrafi();
    EXPECT_EQ(testi(p), (QStringList{"Varimo", "elaborazione di un quadro economico", "", "",
                                     "Guida: Finestra CALCOLO", "",
                                     "Il software VARIMO è formato da due finestre.", ""}));
    const QList<double> dimensioni = {20, 16, 16, 16, 16, 16, 12, 12};
    for (int i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].dimensioneMarcatore, dimensioni[i]) << i;
        EXPECT_EQ(p[i].allineamento, "both") << i;
        for (const QString& f : p[i].caratteri) EXPECT_EQ(f, "Century Gothic");
    }
    EXPECT_TRUE(c.tabelle().isEmpty());
}

TEST_F(StampaGuida, LaLicenzaSiStampaDopoLIntestazioneInDodiciPunti) {
    ASSERT_TRUE(stampalicenza(QStringLiteral("Licenza d'uso\r\nArticolo 1 & 2")));
    ASSERT_EQ(aperti.size(), 1);
    const QList<ParagrafoLetto> p = test::leggiDocx(aperti[0]).paragrafi();
    EXPECT_EQ(testi(p), (QStringList{"Varimo", "elaborazione di un quadro economico", "", "",
                                     "Licenza d'uso", "Articolo 1 & 2", ""}));
    ASSERT_EQ(p.size(), 7);
    EXPECT_EQ(p[4].dimensioni, QList<double>{12});
    EXPECT_EQ(p[5].allineamento, "both");
}

TEST_F(StampaGuida, LaGuidaCompletaHaQuattroTitoliOgnunoDaPaginaNuovaEVieneSalvata) {
    const EsitoGuidaCompleta e = stampaguidacompleta(quattroGuide(), programma);
    const QString salvata = QDir(programma).filePath(QStringLiteral("Varimo-guida.docx"));
    EXPECT_TRUE(e.mostrata);
    EXPECT_EQ(e.salvataIn, salvata);
    EXPECT_EQ(aperti, QStringList{salvata});
    EXPECT_TRUE(utente.messaggi.isEmpty());

    const CorpoLetto c = test::leggiDocx(salvata);
    ASSERT_TRUE(c.errore.isEmpty()) << c.errore.toStdString();
    const QList<ParagrafoLetto> p = c.paragrafi();
    QStringList titoli;
    int pagine = 0;
    for (const auto& x : p) {
        pagine += x.interruzioniPagina;
        EXPECT_EQ(x.allineamento, "both") << x.testo.toStdString();
        const QString senzaPagina = QString(x.testo).remove(QChar(12));
        if (senzaPagina.startsWith(QStringLiteral("Guida: "))) {
            titoli.append(senzaPagina);
            // Every guide but the first starts on a new page.
            EXPECT_EQ(x.interruzioniPagina, titoli.size() == 1 ? 0 : 1)
                << senzaPagina.toStdString();
            EXPECT_EQ(x.dimensioni.last(), titoli.size() == 1 ? 16 : 12);
        }
    }
    EXPECT_EQ(titoli,
              (QStringList{"Guida: MANUALE D'USO RAPIDO", "Guida: FUNZIONAMENTO DEL PROGRAMMA",
                           "Guida: Finestra CALCOLO", "Guida: Finestra QUADRO ECONOMICO"}));
    EXPECT_EQ(pagine, 3);
    EXPECT_TRUE(testi(p).contains("Il funzionamento di VARIMO è semplice <ma> & elaborato."));
    EXPECT_EQ(p.last().testo, "La seconda finestra riguarda il \"quadro economico\".")
        << "nothing follows the last guide";
}

TEST_F(StampaGuida, UnaSecondaGuidaCompletaSostituisceIlFileSalvatoAncheMentreEAperto) {
    ASSERT_TRUE(stampaguidacompleta(quattroGuide(), programma).mostrata);
    const QString salvata = QDir(programma).filePath(QStringLiteral("Varimo-guida.docx"));
    auto guide = quattroGuide();
    guide[3].testo = QStringLiteral("Testo cambiato.");
    EsitoGuidaCompleta e;
    {
        // Another program keeps the first copy open.
        const test::TenutoAperto tenuto(salvata);
        ASSERT_TRUE(tenuto.aperto());
        e = stampaguidacompleta(guide, programma);
    }
    EXPECT_TRUE(e.mostrata);
    EXPECT_EQ(e.salvataIn, salvata);
    EXPECT_EQ(test::leggiDocx(salvata).paragrafi().last().testo, "Testo cambiato.");
    EXPECT_TRUE(utente.messaggi.isEmpty());
    EXPECT_EQ(QDir(programma).entryList(QDir::Files), QStringList{"Varimo-guida.docx"});
}

TEST_F(StampaGuida, CartellaDelProgrammaNonScrivibileSalvaInDocumentiEDiceDove) {
    const QString casa = cartella.filePath(QStringLiteral("casa"));
    ASSERT_TRUE(QDir().mkpath(casa));
    QString documenti;
    const QString assente = cartella.filePath(QStringLiteral("non/esiste"));
    EsitoGuidaCompleta e;
    {
        const test::DocumentiIn altrove(casa);
        documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        e = stampaguidacompleta(quattroGuide(), assente);
    }

    ASSERT_TRUE(documenti.startsWith(casa)) << documenti.toStdString();
    const QString attesa = QDir(documenti).filePath(QStringLiteral("Varimo-guida.docx"));
    EXPECT_EQ(e.salvataIn, attesa);
    EXPECT_TRUE(e.mostrata);
    EXPECT_EQ(aperti, QStringList{attesa});
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(utente.messaggi[0].testo.contains(QDir::toNativeSeparators(attesa)));
    EXPECT_TRUE(utente.messaggi[0].testo.contains(QDir::toNativeSeparators(assente)));
    EXPECT_EQ(utente.messaggi[0].titolo, "Varimo: aiuto in linea");
    EXPECT_FALSE(QFileInfo::exists(assente));
}

TEST_F(StampaGuida, LaGuidaSiMostraAncheQuandoNessunaCopiaSiPuoSalvare) {
    // A plain file where the documents folder should be: nothing can go there.
    const QString casa = cartella.filePath(QStringLiteral("casa2"));
    ASSERT_TRUE(QDir().mkpath(casa));
    QFile bloccante(casa + QStringLiteral("/Documents"));
    ASSERT_TRUE(bloccante.open(QIODevice::WriteOnly));
    bloccante.close();
    EsitoGuidaCompleta e;
    {
        const test::DocumentiIn altrove(casa);
        e = stampaguidacompleta(quattroGuide(), cartella.filePath(QStringLiteral("non/esiste")));
    }

    EXPECT_TRUE(e.salvataIn.isEmpty());
    EXPECT_TRUE(e.mostrata);
    ASSERT_EQ(aperti.size(), 1);
    EXPECT_TRUE(aperti[0].startsWith(cartella.path())) << "a copy in the temporary folder";
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_TRUE(utente.messaggi[0].testo.startsWith(
        QStringLiteral("Non è stato possibile salvare la guida:")));
}

TEST_F(StampaGuida, IlDiscoPienoLasciaLaGuidaSalvataComEraEDiceIlPerche) {
    if (!test::limiteFileDisponibile()) GTEST_SKIP() << "no limit on the size of files here";
    ASSERT_TRUE(stampaguidacompleta(quattroGuide(), programma).mostrata);
    const QString salvata = QDir(programma).filePath(QStringLiteral("Varimo-guida.docx"));
    QFile f(salvata);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray vecchia = f.readAll();
    f.close();
    const QString casa = cartella.filePath(QStringLiteral("casa"));

    auto guide = quattroGuide();
    guide[3].testo = QStringLiteral("Testo cambiato.");
    // Files cannot grow past 256 bytes in the child; its documents folder is
    // a private one.
    const std::optional<QString> messaggi = test::nelFiglioConLimite(256, [&] {
        const test::DocumentiIn altrove(casa);
        const EsitoGuidaCompleta e = stampaguidacompleta(guide, programma);
        return QString::number(e.salvataIn.isEmpty()) + utente.testi().join(u'\n');
    });
    ASSERT_TRUE(messaggi.has_value());
    EXPECT_TRUE(messaggi->startsWith(QStringLiteral("1Non è stato possibile salvare la guida:\r") +
                                     QDir::toNativeSeparators(salvata) + u'\r'))
        << messaggi->toStdString();
    EXPECT_TRUE(messaggi->contains(QStringLiteral("il disco potrebbe essere pieno")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), vecchia);
    EXPECT_EQ(QDir(programma).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Varimo-guida.docx"});
}

}  // namespace
}  // namespace varimo
