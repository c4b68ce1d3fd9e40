#include "calculation/comandifile.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QStringList>

#include "calculation/progetto.h"
#include "common/testiprogramma.h"
#include "datafile/preparazione.h"
#include "support/figlio_limitato.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

using test::contenutoDi;
using test::InterazioneFinta;

class ProvaComandiFile : public ::testing::Test {
  protected:
    ProvaComandiFile() : comandi(progetto) {
        progetto.avvia();
        QObject::connect(&progetto, &Progetto::nomeValutaCambiati,
                         [this](const QString& n, const QString& v) {
                             nomeQuadro = n;
                             valutaQuadro = v;
                         });
        comandi.impostaMostraQuadro([this] { ++quadroMostrato; });
    }

    QString percorso(const char* nome) const { return dir.filePath(QString::fromUtf8(nome)); }

    // Saves the valid project to `p` through Save as.
    void salvaCome(const QString& p) {
        finta.scegliFile(p);
        comandi.salvaConNome();
        ASSERT_EQ(contenutoDi(p).count('\n'), 19);
    }

    QTemporaryDir dir;
    InterazioneFinta finta;
    Progetto progetto;
    StatoCalcolo& stato = progetto.calcolo();
    ComandiFile comandi;
    QString nomeQuadro, valutaQuadro;
    int quadroMostrato = 0;
};

TEST(FiltriFile, DescrizioniComeScritteModelliSenzaSpazi) {
    const QList<FiltroFile> f = filtriDa(testifile::filtroCompleto);
    ASSERT_EQ(f.size(), 2);
    EXPECT_EQ(f[0].descrizione, QStringLiteral("Tutti i file (*.*)"));
    EXPECT_EQ(f[0].modello, QStringLiteral("*.*"));
    EXPECT_EQ(f[1].descrizione, QStringLiteral("File Varimo-dati- "));
    EXPECT_EQ(f[1].modello, QStringLiteral("Varimo-dati-*"));
    const QList<FiltroFile> s = filtriDa(testifile::filtroSalva);
    ASSERT_EQ(s.size(), 1);
    EXPECT_EQ(s[0].descrizione, QStringLiteral("File Varimo-dati- "));
}

TEST_F(ProvaComandiFile, DialogoDiOgniComando) {
    test::progettoValido(progetto);
    const QString p = percorso("Varimo-dati-uno");

    comandi.salva();  // no current file: the save dialog, cancelled
    finta.scegliFile(p);
    comandi.salvaConNome();
    comandi.eliminaFileScelto();  // cancelled
    comandi.apri();               // cancelled
    comandi.salva();              // current file: no dialog

    struct Atteso {
        QString titolo;
        int filtri, scelto;
        QString nome;
        bool salvataggio;
    };
    const Atteso attesi[] = {
        {testifile::titoloSalva, 1, 0, QStringLiteral("Varimo-dati-"), true},
        {testifile::titoloSalvaNome, 1, 0, QStringLiteral("Varimo-dati-"), true},
        {QStringLiteral("Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo"),
         2, 1, p, false},
        {QStringLiteral("Apri file (sezioni)"), 2, 1, QString(), false},
    };
    ASSERT_EQ(finta.richiesteFile.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const RichiestaFile& r = finta.richiesteFile[i];
        EXPECT_EQ(r.titolo, attesi[i].titolo) << i;
        EXPECT_EQ(r.filtri.size(), attesi[i].filtri) << i;
        EXPECT_EQ(r.filtroScelto, attesi[i].scelto) << i;
        EXPECT_EQ(r.nomeFile, attesi[i].nome) << i;
        EXPECT_EQ(r.salvataggio, attesi[i].salvataggio) << i;
    }
    EXPECT_EQ(finta.richiesteFile[0].filtri[0].modello, QStringLiteral("Varimo-dati-*"));
    EXPECT_TRUE(finta.messaggi.isEmpty()) << finta.testi().join(u'\n').toStdString();
    EXPECT_EQ(progetto.percorso(), p);  // cancelled Open and Delete leave it
}

TEST_F(ProvaComandiFile, IlNomeRicordatoSegueLUltimoPercorsoRestituito) {
    test::progettoValido(progetto);
    const QString p = percorso("Varimo-dati-due");
    salvaCome(p);
    finta.scegliFile(p);
    comandi.apri();
    EXPECT_EQ(comandi.nomeDialogo(), p);
    comandi.salvaConNome();  // cancelled: shows the opened path
    EXPECT_EQ(finta.richiesteFile.last().nomeFile, p);
    comandi.apri();  // cancelled: the name was emptied before the dialog
    comandi.salvaConNome();
    EXPECT_EQ(finta.richiesteFile.last().nomeFile, QString());
}

TEST_F(ProvaComandiFile, SalvaConUnFileCorrenteScriveDirettamenteENonPerdeMaiIlVecchioFile) {
    test::progettoValido(progetto);
    const QString p = percorso("Varimo-dati-tre");
    salvaCome(p);
    const QByteArray primo = contenutoDi(p);
    EXPECT_TRUE(primo.contains("\"IVA sui lavori\",\"100\",\"10\",\"1000\",1\r\n"));

    stato.scriviCosto(1, QStringLiteral("2000"));
    const qsizetype richieste = finta.richiesteFile.size();
    comandi.salva();
    EXPECT_EQ(finta.richiesteFile.size(), richieste);
    EXPECT_TRUE(finta.messaggi.isEmpty());
    EXPECT_TRUE(contenutoDi(p).contains("\"IVA sui lavori\",\"200\",\"10\",\"2000\",1\r\n"));
    // Nothing left beside it: the temporary file replaced the old one.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Varimo-dati-tre")});
}

TEST_F(ProvaComandiFile, SalvaConNomeAnnullatoNonScriveNullaEIlSalvaSeguenteChiedeDiNuovo) {
    test::progettoValido(progetto);
    const QString p = percorso("Varimo-dati-quattro");
    salvaCome(p);
    comandi.salvaConNome();  // cancelled
    EXPECT_TRUE(progetto.percorso().isEmpty());
    comandi.salva();  // asks again
    EXPECT_EQ(finta.richiesteFile.size(), 3);
    EXPECT_EQ(finta.richiesteFile.last().titolo, testifile::titoloSalva);
}

TEST_F(ProvaComandiFile, RifiutiDelSalva) {
    struct Caso {
        const char* nome;
        std::function<void(Progetto&)> prepara;
        QString messaggio;
        Icona icona;
        bool quadro;
    };
    const Caso casi[] = {
        {"data check", [](Progetto& p) { p.impostaNome(QStringLiteral("x")); },
         QStringLiteral("Non è stato digitato alcun valore significativo"), Icona::Esclamazione,
         false},
        {"no name",
         [](Progetto& p) {
             test::progettoValido(p);
             p.impostaNome({});
         },
         testifile::digitareNome, Icona::Informazione, true},
        {"no currency",
         [](Progetto& p) {
             test::progettoValido(p);
             p.impostaValuta({});
         },
         testifile::immettereValuta, Icona::Informazione, true},
        {"Cyrillic label",
         [](Progetto& p) {
             test::progettoValido(p);
             p.calcolo().scriviTipo(5, QStringLiteral("Rilievi Ж"));
         },
         QStringLiteral("Il progetto non è stato salvato.\rIl carattere «Ж» (U+0416) contenuto "
                        "nell'etichetta della voce E"),
         Icona::Esclamazione, false},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Progetto pr;
        pr.avvia();
        ComandiFile cf(pr);
        int mostrato = 0;
        cf.impostaMostraQuadro([&] { ++mostrato; });
        InterazioneFinta f;
        c.prepara(pr);
        pr.impostaPercorso(percorso("Varimo-dati-vecchio"));
        ASSERT_TRUE(test::scriviContenuto(pr.percorso(), "vecchio"));
        f.scegliFile(percorso("Varimo-dati-nuovo"));
        cf.salva();
        ASSERT_EQ(f.messaggi.size(), 1);
        EXPECT_TRUE(f.messaggi[0].testo.startsWith(c.messaggio))
            << f.messaggi[0].testo.toStdString();
        EXPECT_EQ(f.messaggi[0].icona, c.icona);
        EXPECT_EQ(mostrato, c.quadro ? 1 : 0);
        EXPECT_TRUE(f.richiesteFile.isEmpty());
        EXPECT_EQ(contenutoDi(pr.percorso()), QByteArray("vecchio"));
        EXPECT_FALSE(QFileInfo::exists(percorso("Varimo-dati-nuovo")));
    }
}

TEST_F(ProvaComandiFile, TitoloDelMessaggioSulNomeDelProgetto) {
    test::progettoValido(progetto);
    progetto.impostaNome({});
    comandi.salva();
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].titolo, QStringLiteral("Varimo: aiuto in linea"));
    EXPECT_EQ(stato.salvataggio, Salvataggio::Nessuno);  // the data passed
}

TEST_F(ProvaComandiFile, DestinazioniNonScrivibiliHannoUnMessaggioETengonoIlVecchioFile) {
    test::progettoValido(progetto);
    const QString solaLettura = percorso("Varimo-dati-protetto");
    ASSERT_TRUE(test::scriviContenuto(solaLettura, "vecchio"));
    QFile::setPermissions(solaLettura, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    struct Caso {
        QString percorso;
        QString motivo;
    };
    const Caso casi[] = {
        {solaLettura, QStringLiteral("sola lettura")},
        {percorso("manca/Varimo-dati-x"), QStringLiteral("la cartella non esiste")},
        {dir.path(), QStringLiteral("cartella")},
    };
    for (const Caso& c : casi) {
        finta.messaggi.clear();
        finta.scegliFile(c.percorso);
        // An existing file is replaced only after a question.
        const bool esiste = QFileInfo(c.percorso).isFile();
        if (esiste) finta.rispondi(Risposta::Si);
        comandi.salvaConNome();
        ASSERT_EQ(finta.messaggi.size(), esiste ? 2 : 1);
        const QString t = finta.messaggi.back().testo;
        EXPECT_TRUE(t.startsWith(QStringLiteral("Impossibile salvare il file di dati:\r") +
                                 QDir::toNativeSeparators(c.percorso) + u'\r'))
            << t.toStdString();
        EXPECT_TRUE(t.contains(c.motivo)) << t.toStdString();
        EXPECT_EQ(finta.messaggi.back().titolo, TestiProgramma::titoloaiuto);
    }
    EXPECT_EQ(contenutoDi(solaLettura), QByteArray("vecchio"));
}

TEST_F(ProvaComandiFile, ApriAnnullatoONonRiuscitoNonCambiaNulla) {
    test::progettoValido(progetto);
    progetto.impostaPercorso(QStringLiteral("/prima"));
    const QString guasto = percorso("Varimo-dati-guasto");
    ASSERT_TRUE(QFile::copy(test::fileDiProva("Varimo-dati-guasto"), guasto));
    struct Caso {
        std::optional<QString> scelta;
        QStringList nelMessaggio;  // empty: no message
    };
    const Caso casi[] = {
        {std::nullopt, {}},
        {percorso("Varimo-dati-inesistente"), {QStringLiteral("il file non esiste")}},
        {guasto,
         {QDir::toNativeSeparators(guasto),
          QStringLiteral("riga 7: la percentuale «150» non è un numero intero da 0 a 100")}},
        {dir.path(), {QStringLiteral("cartella")}},
    };
    for (const Caso& c : casi) {
        finta.messaggi.clear();
        finta.scegliFile(c.scelta);
        comandi.apri();
        if (c.nelMessaggio.isEmpty()) {
            EXPECT_TRUE(finta.messaggi.isEmpty());
        } else {
            ASSERT_EQ(finta.messaggi.size(), 1);
            EXPECT_EQ(finta.messaggi[0].icona, Icona::Esclamazione);
            EXPECT_TRUE(
                finta.messaggi[0].testo.startsWith("Impossibile aprire il file di dati:\r"));
            for (const QString& s : c.nelMessaggio)
                EXPECT_TRUE(finta.messaggi[0].testo.contains(s))
                    << finta.messaggi[0].testo.toStdString();
        }
        EXPECT_EQ(progetto.percorso(), QStringLiteral("/prima"));
        EXPECT_EQ(stato.costo(1), QStringLiteral("1000"));
        EXPECT_EQ(stato.costo(17), QStringLiteral("100"));
        EXPECT_EQ(stato.riferimento(17).posizione, 0);
        EXPECT_EQ(progetto.nome(), QStringLiteral("Scuola"));
        EXPECT_FALSE(stato.caricamento);
    }
}

TEST_F(ProvaComandiFile, ApriSvuotaPoiCaricaEImpostaNomeEValuta) {
    stato.scriviCosto(2, QStringLiteral("777"));
    stato.scriviCostoprogetto(QStringLiteral("5000"));
    finta.scegliFile(test::fileDiProva("Varimo-dati-scuola"));
    comandi.apri();
    EXPECT_TRUE(finta.messaggi.isEmpty());
    EXPECT_EQ(progetto.percorso(), test::fileDiProva("Varimo-dati-scuola"));
    EXPECT_EQ(nomeQuadro, QStringLiteral("Scuola media Città"));
    EXPECT_EQ(valutaQuadro, QStringLiteral("euro"));
    EXPECT_EQ(progetto.nome(), QStringLiteral("Scuola media Città"));
    EXPECT_EQ(stato.costoprogetto(), QString());  // cleared before loading
    EXPECT_EQ(stato.costo(2), QStringLiteral("500"));
    EXPECT_EQ(stato.progetto(), QStringLiteral("1800"));
}

TEST_F(ProvaComandiFile, EliminaTogliIlFileEIlSalvaSeguenteLoRicrea) {
    test::progettoValido(progetto);
    const QString p = percorso("Varimo-dati-cinque");
    salvaCome(p);
    const QByteArray salvato = contenutoDi(p);
    finta.scegliFile(p);
    comandi.eliminaFileScelto();
    EXPECT_FALSE(QFileInfo::exists(p));
    EXPECT_EQ(progetto.percorso(), p);
    const qsizetype richieste = finta.richiesteFile.size();
    comandi.salva();
    EXPECT_EQ(finta.richiesteFile.size(), richieste);
    EXPECT_EQ(contenutoDi(p), salvato);
    EXPECT_TRUE(finta.messaggi.isEmpty());

    comandi.eliminaFileScelto();  // cancelled: nothing deleted, file name kept
    EXPECT_TRUE(QFileInfo::exists(p));
    EXPECT_EQ(progetto.percorso(), p);
}

TEST_F(ProvaComandiFile, SalvaSuUnDiscoPienoTieneIlVecchioFileEDiceIlPerche) {
    if (!test::limiteFileDisponibile()) GTEST_SKIP() << "no limit on the size of files here";
    test::progettoValido(progetto);
    const QString p = percorso("Varimo-dati-pieno");
    salvaCome(p);
    const QByteArray vecchio = contenutoDi(p);
    stato.scriviCosto(1, QStringLiteral("2000"));

    // The save runs where files cannot grow past 64 bytes: a write fails
    // part-way, as on a full disk.
    const std::optional<QString> messaggi = test::nelFiglioConLimite(64, [this] {
        comandi.salva();
        return finta.testi().join(u'\n');
    });
    ASSERT_TRUE(messaggi.has_value());
    EXPECT_TRUE(messaggi->startsWith(QStringLiteral("Impossibile salvare il file di dati:\r") +
                                     QDir::toNativeSeparators(p) + u'\r'))
        << messaggi->toStdString();
    EXPECT_TRUE(messaggi->contains(QStringLiteral("il disco potrebbe essere pieno")))
        << messaggi->toStdString();
    EXPECT_EQ(contenutoDi(p), vecchio);
    // The project and its lock file, no temporary file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral(".~lock.Varimo-dati-pieno#"),
                           QStringLiteral("Varimo-dati-pieno")}));

    // With room again the same save goes through.
    comandi.salva();
    EXPECT_TRUE(finta.messaggi.isEmpty());
    EXPECT_TRUE(contenutoDi(p).contains("\"Lavori a misura\",\"2000\""));
}

TEST_F(ProvaComandiFile, EliminareUnAltroFileNonFaMaiScrivereLiIlSalva) {
    test::progettoValido(progetto);
    const QString a = percorso("Varimo-dati-a");
    const QString b = percorso("Varimo-dati-b");
    salvaCome(b);
    salvaCome(a);
    finta.scegliFile(a);
    comandi.apri();
    ASSERT_EQ(progetto.percorso(), a);

    finta.scegliFile(b);
    comandi.eliminaFileScelto();
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_EQ(progetto.percorso(), a);

    stato.scriviCosto(1, QStringLiteral("3000"));
    comandi.salva();
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_TRUE(contenutoDi(a).contains("\"Lavori a misura\",\"3000\""));
    EXPECT_TRUE(finta.messaggi.isEmpty());

    // With no current file, a delete leaves none: the next Save asks.
    comandi.salvaConNome();  // cancelled: no current file
    ASSERT_TRUE(progetto.percorso().isEmpty());
    finta.scegliFile(a);
    comandi.eliminaFileScelto();
    EXPECT_TRUE(progetto.percorso().isEmpty());
    const qsizetype richieste = finta.richiesteFile.size();
    comandi.salva();
    EXPECT_EQ(finta.richiesteFile.size(), richieste + 1);
    EXPECT_FALSE(QFileInfo::exists(a));
}

TEST_F(ProvaComandiFile, EliminaNonRiuscitoNominaIlFileELaCausa) {
    test::progettoValido(progetto);
    const QString a = percorso("Varimo-dati-a");
    salvaCome(a);
    const QString cartella = percorso("Varimo-dati-cartella");
    ASSERT_TRUE(QDir().mkpath(cartella));
    struct Caso {
        QString scelta;
        QString motivo;
    };
    const Caso casi[] = {
        {percorso("Varimo-dati-sparito"), QStringLiteral("il file non esiste.")},
        {cartella, QStringLiteral("è una cartella, non un file.")},
    };
    for (const Caso& c : casi) {
        finta.messaggi.clear();
        finta.scegliFile(c.scelta);
        comandi.eliminaFileScelto();
        ASSERT_EQ(finta.messaggi.size(), 1);
        EXPECT_EQ(finta.messaggi[0].testo, QStringLiteral("Impossibile eliminare il file:\r") +
                                               QDir::toNativeSeparators(c.scelta) + u'\r' +
                                               c.motivo);
        EXPECT_EQ(finta.messaggi[0].icona, Icona::Esclamazione);
        EXPECT_EQ(progetto.percorso(), a);
    }
    EXPECT_TRUE(QFileInfo(cartella).isDir());
}

TEST_F(ProvaComandiFile, FileUtf8SenzaMarcaDOrdineDeiByteSiApreBeneESiSalvaInWindows1252) {
    const QString p = percorso("Varimo-dati-utf8");
    QByteArray dati = test::contenutoDi(test::fileDiProva("Varimo-dati-scuola"));
    ASSERT_FALSE(dati.isEmpty());
    // The same project as a UTF-8 editor would save it, plus a euro sign.
    QString testo = QString::fromLatin1(dati);  // the fixture's accents are Latin-1 bytes
    testo.replace(QStringLiteral("\"euro\""), QStringLiteral("\"€ euro\""));
    ASSERT_TRUE(test::scriviContenuto(p, testo.toUtf8()));
    ASSERT_TRUE(comandi.apriPercorso(p)) << finta.testi().join(u'\n').toStdString();
    EXPECT_EQ(progetto.nome(), QStringLiteral("Scuola media Città"));
    EXPECT_EQ(progetto.valuta(), QStringLiteral("€ euro"));

    comandi.salva();
    EXPECT_TRUE(finta.messaggi.isEmpty()) << finta.testi().join(u'\n').toStdString();
    const QByteArray salvato = contenutoDi(p);
    EXPECT_TRUE(salvato.startsWith("\"Scuola media Citt\xE0\",\"\x80 euro\"\r\n"))
        << salvato.left(40).toStdString();
    ASSERT_TRUE(comandi.apriPercorso(p));
    EXPECT_EQ(progetto.nome(), QStringLiteral("Scuola media Città"));
}

TEST_F(ProvaComandiFile, CaratteriDiControlloECampiTroppoLunghiSonoRifiutatiConLaLoroRiga) {
    const QByteArray buono = test::contenutoDi(test::fileDiProva("Varimo-dati-scuola"));
    const QList<QByteArray> righe = buono.split('\n');
    ASSERT_GE(righe.size(), 19);
    auto conRiga3 = [&](const QByteArray& etichetta) {
        QList<QByteArray> r = righe;
        const qsizetype fine = r[2].indexOf("\",");
        r[2] = '"' + etichetta + r[2].mid(fine);
        return r.join('\n');
    };
    struct Caso {
        QByteArray etichetta;
        QString motivo;  // empty: the file opens
    };
    const Caso casi[] = {
        {QByteArray("Lavori\0a corpo", 14),
         QStringLiteral("riga 3: un valore contiene il carattere di controllo U+0000")},
        {"Lavori\x1B a corpo",
         QStringLiteral("riga 3: un valore contiene il carattere di controllo U+001B")},
        {"Lavori\ta corpo", {}},
        {QByteArray(1001, 'x'),
         QStringLiteral("riga 3: un valore è lungo 1001 caratteri, più dei 1000 ammessi")},
        {QByteArray(1000, 'x'), {}},
    };
    for (const Caso& c : casi) {
        const QString p = percorso("Varimo-dati-prova");
        ASSERT_TRUE(test::scriviContenuto(p, conRiga3(c.etichetta)));
        finta.messaggi.clear();
        const bool aperto = comandi.apriPercorso(p);
        if (c.motivo.isEmpty()) {
            EXPECT_TRUE(aperto) << finta.testi().join(u'\n').toStdString();
            EXPECT_EQ(stato.tipo(2), QString::fromLatin1(c.etichetta));
        } else {
            EXPECT_FALSE(aperto);
            ASSERT_EQ(finta.messaggi.size(), 1);
            EXPECT_TRUE(finta.messaggi[0].testo.contains(c.motivo))
                << finta.messaggi[0].testo.toStdString();
        }
    }

    // What the program cannot read back it does not write either.
    test::progettoValido(progetto);
    for (const QString& etichetta : {QStringLiteral("Lavori\u0007"), QString(1001, u'y')}) {
        stato.scriviTipo(2, etichetta);
        finta.messaggi.clear();  // the long-label warning
        finta.scegliFile(percorso("Varimo-dati-nuovo"));
        comandi.salvaConNome();
        ASSERT_EQ(finta.messaggi.size(), 1);
        EXPECT_TRUE(finta.messaggi[0].testo.startsWith(
            QStringLiteral("Il progetto non è stato salvato.\r")));
        EXPECT_TRUE(finta.messaggi[0].testo.contains(QStringLiteral("etichetta della voce B")))
            << finta.messaggi[0].testo.toStdString();
        EXPECT_FALSE(QFileInfo::exists(percorso("Varimo-dati-nuovo")));
    }
}

}  // namespace
}  // namespace varimo
