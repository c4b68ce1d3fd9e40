// The framework in the shape of ANAC's data: the school renovation's phases
// add up to their totals key by key, the award's works and safety make its
// contract, the JSON carries exactly the figures in cents, items without a
// key are named, and the keys live through the file and the window's edits.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "quadro/anac.h"
#include "quadro/esempi_fasi.h"
#include "quadro/formatofasi.h"
#include "quadro/modifiche.h"

using namespace varimo::quadro;
using namespace varimo::quadro::esempi;

namespace {

QStringList codici(const QList<VoceAnac>& voci) {
    QStringList c;
    for (const VoceAnac& v : voci) c.append(v.codice);
    return c;
}

Centesimi chiave(const DatiAnac& d, const char* k) {
    for (const RigaAnac& r : d.righe)
        if (r.categoria.chiave == QLatin1String(k)) return r.importo;
    ADD_FAILURE() << k;
    return 0;
}

TEST(DatiAnac, LaScuolaInOgniFaseTornaConIlSuoTotaleEIlJsonPortaGliStessiCentesimi) {
    const FileFasi f = scuolaPerAnac();
    ASSERT_EQ(f.fasi.size(), 3);
    for (int i = 0; i < f.fasi.size(); ++i) {
        SCOPED_TRACE(f.fasi[i].nome.toStdString());
        const auto dati = datiAnacFase(f, i);
        ASSERT_TRUE(std::holds_alternative<DatiAnac>(dati));
        const DatiAnac& d = std::get<DatiAnac>(dati);
        const FaseCalcolata c = std::get<FaseCalcolata>(calcolaFase(f, i));
        EXPECT_EQ(d.totale, c.valutazione.totale);
        EXPECT_TRUE(d.tornano()) << d.problemi().join(' ').toStdString();
        EXPECT_EQ(d.somma(), c.valutazione.totale);
        // Works and safety are the contract amount, in every phase.
        EXPECT_EQ(chiave(d, "impLavori") + chiave(d, "impTotaleSicurezza"), c.contratto);
        EXPECT_EQ(chiave(d, "impTotaleSicurezza"), 2437037);
        EXPECT_EQ(d.modifica, f.fasi[i].tipo == TipoFase::Variante);

        const QByteArray json = jsonAnac(d);
        // Every amount with two decimals, as written.
        const QRegularExpression numero(QStringLiteral("\"(\\w+)\": (-?\\d+(\\.\\d+)?)"));
        for (auto m = numero.globalMatch(QString::fromUtf8(json)); m.hasNext();) {
            const auto x = m.next();
            if (x.captured(1) == "numGiorniProroga")
                EXPECT_EQ(x.captured(2), "30");
            else
                EXPECT_EQ(x.captured(3).size(), 3) << x.captured(0).toStdString();
        }
        QJsonParseError errore;
        const QJsonObject o = QJsonDocument::fromJson(json, &errore).object();
        ASSERT_EQ(errore.error, QJsonParseError::NoError);
        const QJsonObject standard = o.value("quadroEconomicoStandard").toObject();
        Centesimi somma = 0;
        for (auto it = standard.constBegin(); it != standard.constEnd(); ++it) {
            const Centesimi cent = qRound64(it.value().toDouble() * 100);
            EXPECT_EQ(cent, chiave(d, it.key().toUtf8().constData())) << it.key().toStdString();
            somma += cent;
        }
        EXPECT_EQ(somma, c.valutazione.totale);
        EXPECT_EQ(o.contains("quadroEconomicoModificaContrattuale"), d.modifica);
        if (d.modifica) {
            const QJsonObject m = o.value("quadroEconomicoModificaContrattuale").toObject();
            EXPECT_EQ(m.value("numGiorniProroga").toInt(), 30);
            for (const char* k : {"impLavori", "impServizi", "impForniture"})
                EXPECT_TRUE(m.contains(k)) << k;
            EXPECT_EQ(qRound64(m.value("sommeADisposizione").toDouble() * 100),
                      chiave(d, "sommeADisposizione"));
        }
    }
    // The award's economies count at the administration's disposal.
    const DatiAnac gara = std::get<DatiAnac>(datiAnacFase(f, 1));
    EXPECT_TRUE(codici(gara.righe.last().voci).contains(
        std::get<FaseCalcolata>(calcolaFase(f, 1)).aggiudicazione->codiceEconomie));
}

TEST(DatiAnac, LeVociSenzaCategoriaSonoNominateEOgniDifferenzaRifiutata) {
    FileFasi f = scuola();
    DatiAnac d = std::get<DatiAnac>(datiAnacFase(f, 0));
    EXPECT_FALSE(d.tornano());
    EXPECT_EQ(codici(d.senzaCategoria),
              QStringList({"A.1", "A.2", "B.1", "B.2", "B.3", "B.4", "B.5", "B.6"}));
    const QString problemi = d.problemi().join(' ');
    EXPECT_TRUE(problemi.contains("«A.1»") && problemi.contains("«B.6»")) << problemi.toStdString();

    // A section's key is its items' unless they carry their own; a key the
    // model does not have is named with its item.
    Quadro& q = f.fasi[0].quadro;
    impostaCategoriaAnac(*trovaVoce(q, "A"), "impLavori");
    impostaCategoriaAnac(*trovaVoce(q, "A.2"), "impTotaleSicurezza");
    impostaCategoriaAnac(*trovaVoce(q, "B"), "sommeADisposizione");
    impostaCategoriaAnac(*trovaVoce(q, "B.3"), "impContributi");
    d = std::get<DatiAnac>(datiAnacFase(f, 0));
    EXPECT_TRUE(d.senzaCategoria.isEmpty());
    ASSERT_EQ(d.categorieIgnote.size(), 1);
    EXPECT_EQ(d.categorieIgnote[0].first.codice, "B.3");
    EXPECT_FALSE(d.tornano());
    EXPECT_EQ(d.totale - d.somma(), d.categorieIgnote[0].first.importo);
    EXPECT_TRUE(d.problemi().join(' ').contains("impContributi"));
    EXPECT_TRUE(impostaCategoriaAnacVoce(q, *percorsoDi(q, "B.3"), "impContributi"));
    EXPECT_FALSE(impostaCategoriaAnacVoce(q, *percorsoDi(q, "B.3"), QString()));
    d = std::get<DatiAnac>(datiAnacFase(f, 0));
    EXPECT_TRUE(d.tornano());

    // An item at zero without a key changes no figure: said, not refused.
    Voce vuota;
    vuota.codice = "C";
    vuota.etichetta = "Arrotondamenti";
    q.voci.append(vuota);
    d = std::get<DatiAnac>(datiAnacFase(f, 0));
    EXPECT_TRUE(d.tornano());
    EXPECT_TRUE(d.avvisi().join(' ').contains("«C»"));

    // A variant cannot carry options or repetitions: its modification's keys
    // would not add up, and the items are named.
    FileFasi v = scuolaPerAnac();
    impostaCategoriaAnac(*trovaVoce(v.fasi[2].quadro, "B.6"), "sommeOpzioniRinnovi");
    d = std::get<DatiAnac>(datiAnacFase(v, 2));
    EXPECT_EQ(d.somma(), d.totale);
    EXPECT_FALSE(d.tornano());
    EXPECT_TRUE(d.problemi().join(' ').contains("«B.6»"));
}

TEST(DatiAnac, IlModelloHaOgniChiaveEIlFileLeConserva) {
    Quadro q = modello2023();
    Valutazione v = std::get<Valutazione>(valuta(q));
    DatiAnac d = datiAnac(q, v);
    EXPECT_TRUE(d.senzaCategoria.isEmpty()) << codici(d.senzaCategoria).join(' ').toStdString();
    EXPECT_TRUE(d.categorieIgnote.isEmpty());
    // An item added after one of B counts where it does.
    Percorso nuovo;
    ASSERT_FALSE(aggiungiVoce(q, *percorsoDi(q, "B.19"), false, &nuovo));
    EXPECT_EQ(categoriaAnac(*voceA(q, nuovo)), "sommeADisposizione");

    // The keys and the days of extension through a save and a read.
    FileFasi f = scuolaPerAnac();
    const auto letto = leggiFasi(scriviFasi(f));
    ASSERT_TRUE(std::holds_alternative<FileFasi>(letto)) << std::get<QString>(letto).toStdString();
    const FileFasi& g = std::get<FileFasi>(letto);
    EXPECT_EQ(scriviFasi(g), scriviFasi(f));
    EXPECT_EQ(g.fasi[2].giorniProroga, 30);
    EXPECT_EQ(categoriaAnac(*trovaVoce(g.fasi[0].quadro, "A.2")), "impTotaleSicurezza");
    for (const char* errato : {"-1", "1.5", "\"30\"", "36501"}) {
        QByteArray b = scriviFasi(f);
        b.replace("\"giorni_proroga\": 30", QByteArray("\"giorni_proroga\": ") + errato);
        const auto e = leggiFasi(b);
        ASSERT_TRUE(std::holds_alternative<QString>(e)) << errato;
        EXPECT_TRUE(std::get<QString>(e).contains("giorni_proroga")) << errato;
    }
}

}  // namespace
