// Phases of a framework: the award worked by hand, random files with
// phases (round trip, exact sums, the funded total kept at any discount, the
// comparison's differences), locking, the school renovation carried from its
// executive project through the award and a variant, and the command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "quadro/comandifasi.h"
#include "quadro/esempi_fasi.h"
#include "quadro/fasi.h"
#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"
#include "quadro/rigacomando.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace varimo::quadro;
using namespace varimo::quadro::esempi;

namespace {

template <class T>
T valore(std::variant<T, Problema> v) {
    if (auto* p = std::get_if<Problema>(&v)) ADD_FAILURE() << p->messaggio.toStdString();
    return std::get<T>(std::move(v));
}

template <class T>
T valore(std::variant<T, QString> v) {
    if (auto* p = std::get_if<QString>(&v)) ADD_FAILURE() << p->toStdString();
    return std::get<T>(std::move(v));
}

__extension__ typedef __int128 Grande;

// Half up, independently of the program: floor(n / d + 1/2) for d > 0.
Centesimi mezzoSu(Grande n, Grande d) {
    Grande a = 2 * n + d, b = 2 * d;
    Grande q = a / b;
    if (a % b != 0 && a < 0) --q;
    return Centesimi(q);
}

// Every section equals the sum of its children and every percentage its rule
// rounded half up, in cents; the total is the sum of the top level.
void controllaSomme(const Quadro& q, const Valutazione& v, const std::string& dove) {
    Centesimi totale = 0;
    for (const Voce& c : q.voci) totale += v.importo(c.codice);
    EXPECT_EQ(v.totale, totale) << dove;
    for (const VoceInOrdine& x : vociInOrdine(q)) {
        const Voce& voce = *x.voce;
        if (voce.tipo == Tipo::Sezione) {
            Centesimi s = 0;
            for (const Voce& c : voce.voci) s += v.importo(c.codice);
            EXPECT_EQ(v.importo(voce.codice), s) << dove << " " << voce.codice.toStdString();
        } else if (voce.tipo == Tipo::Percentuale) {
            Grande s = 0;
            for (const QString& d : voce.di) s += v.importo(d);
            EXPECT_EQ(v.importo(voce.codice), mezzoSu(s * voce.percentuale, 100000))
                << dove << " " << voce.codice.toStdString();
        } else {
            EXPECT_EQ(v.importo(voce.codice), voce.importo) << dove;
        }
    }
}

// The worked example of the framework after the tender: works 335.498,23,
// safety costs 19.535,61, VAT 10 % of the works section.
Quadro esempioGara() {
    Quadro q;
    Voce sicurezza = importo("A.2", "Oneri della sicurezza", 1953561);
    sicurezza.ribassabile = false;
    q.voci = {
        sezione("A", "Lavori", {importo("A.1", "Lavori", 33549823), sicurezza}),
        sezione("B", "Somme a disposizione", {percentuale("B.1", "IVA sui lavori", 10000, {"A"})})};
    return q;
}

// ---- Random files with phases -------------------------------------------------

struct Generatore {
    std::mt19937_64 rng;
    explicit Generatore(quint64 seme) : rng(seme) {}
    qint64 tra(qint64 a, qint64 b) { return std::uniform_int_distribution<qint64>(a, b)(rng); }
    bool moneta(int percento = 50) { return tra(0, 99) < percento; }

    // Works under A (some not subject to the discount, some with labour
    // costs), contingencies and percentages of A-side items or B amounts
    // under B; sometimes a fixed total the contingencies absorb.
    Quadro quadro() {
        Quadro q;
        QList<Voce> a;
        QStringList riferibili{"A"};
        const int n = int(tra(1, 6));
        for (int i = 1; i <= n; ++i) {
            Voce v = importo(QStringLiteral("A.%1").arg(i), QStringLiteral("Lavori %1").arg(i),
                             tra(0, 500000000));
            if (moneta(25)) v.ribassabile = false;
            if (moneta(30)) impostaManodopera(v, tra(0, v.importo + 1000));
            riferibili.append(v.codice);
            a.append(v);
        }
        QList<Voce> b{importo("B.1", "Imprevisti", tra(0, 5000000))};
        const int m = int(tra(0, 6));
        for (int i = 2; i <= m + 1; ++i) {
            const QString codice = QStringLiteral("B.%1").arg(i);
            if (moneta()) {
                b.append(importo(codice, QStringLiteral("Spesa %1").arg(i), tra(0, 30000000)));
                riferibili.append(codice);
            } else {
                QStringList di;
                for (const QString& r : riferibili)
                    if (moneta(40)) di.append(r);
                b.append(percentuale(codice, QStringLiteral("Percentuale %1").arg(i),
                                     Millesimi(tra(0, 100000)), di));
            }
        }
        q.voci = {sezione("A", "Lavori", a), sezione("B", "Somme a disposizione", b)};
        if (moneta(60)) {
            Quadro prova = q;
            const auto v = valore(ricalcola(prova));
            q.vincolo.totale = v.totale + tra(0, 100000000);
            if (moneta()) q.vincolo.compensa = "B.1";
        }
        return q;
    }

    FileFasi file() {
        FileFasi f;
        f.intestazione.titolo = QStringLiteral("Prova «%1»; \"virgolette\"").arg(tra(0, 999));
        Fase e;
        e.nome = "Progetto esecutivo";
        e.data = "2026-01-15";
        e.quadro = quadro();
        f.fasi = {e};
        auto fase =
            valore(nuovaFase(f, 0, TipoFase::Aggiudicazione, "Aggiudicazione", "2026-06-01"));
        EXPECT_FALSE(modificaFase(f, fase, [&](Fase& x) {
            x.ribasso = Millesimi(tra(0, 100000));
            x.ribassaManodopera = moneta(20);
            return EsitoFase{};
        }));
        const int varianti = int(tra(0, 3));
        for (int k = 0; k < varianti; ++k) {
            const int da = int(f.fasi.size()) - 1;
            auto i = valore(nuovaFase(f, da, TipoFase::Variante,
                                      nomeNuovaFase(f, TipoFase::Variante), "2027-01-01"));
            EXPECT_FALSE(modificaFase(f, i, [&](Fase& x) {
                x.atto = Atto{QString::number(tra(1, 300)), "2027-02-02", {}};
                if (moneta()) x.limite = LimiteVariante{Millesimi(tra(0, 50000)), "art. 120", {}};
                Voce* v = trovaVoce(x.quadro, "A.1");
                if (v) v->importo += tra(-100000, 3000000);
                if (moneta(30))
                    x.quadro.voci[1].voci.append(
                        importo(QStringLiteral("B.N%1").arg(k), "Nuova spesa", tra(0, 100000)));
                return EsitoFase{};
            }));
        }
        for (int i = 0; i + 1 < f.fasi.size(); ++i) bloccaFase(f, i, moneta());
        return f;
    }
};

}  // namespace

// The framework after the tender worked by hand: contract amount 276.339,38,
// VAT 27.633,94, economies 86.563,90, the total 390.537,22 kept; the same from
// the command line.
TEST(Fasi, AggiudicazioneDellEsempio) {
    const Aggiudicazione a = valore(aggiudica(esempioGara(), 23456));
    EXPECT_EQ(a.totaleFinanziato, 39053722);
    EXPECT_EQ(a.contratto, 27633938);
    EXPECT_EQ(a.valutazione.importo("B.1"), 2763394);
    EXPECT_EQ(a.economie, 8656390);
    EXPECT_EQ(a.valutazione.totale, 39053722);
    EXPECT_EQ(a.ribassoLavori, 33549823 + 1953561 - 27633938);
    EXPECT_EQ(a.codiceEconomie, "B.2");
    EXPECT_EQ(trovaVoce(a.quadro, "B.2")->etichetta, kEtichettaEconomie);

    QTemporaryDir dir;
    FileFasi f;
    Fase p;
    p.nome = "Progetto";
    p.quadro = esempioGara();
    f.fasi = {p};
    const QString in = dir.filePath("gara.varimo"), out = dir.filePath("gara.csv");
    ASSERT_FALSE(salvaFileFasi(in, f));
    QFile salvato(in);
    ASSERT_TRUE(salvato.open(QIODevice::ReadOnly));
    const QByteArray prima = salvato.readAll();
    QString errori;
    ASSERT_EQ(eseguiComando({"--esporta", in, out, "--ribasso", "23,456"}, &errori), 0)
        << errori.toStdString();
    QFile csv(out);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList righe = QString::fromUtf8(csv.readAll().mid(3)).split("\r\n");
    EXPECT_EQ(righe.value(1), "A;Lavori;;276339,38");
    EXPECT_TRUE(righe.contains("B.1;IVA sui lavori;10 % di A;27633,94"));
    EXPECT_EQ(righe.value(righe.size() - 4), "CONTRATTO;Importo contrattuale;;276339,38");
    EXPECT_EQ(righe.value(righe.size() - 3), "ECONOMIE;Economie da ribasso d'asta;;86563,90");
    EXPECT_TRUE(righe.value(righe.size() - 2).startsWith("TOTALE;"));
    EXPECT_TRUE(righe.value(righe.size() - 2).endsWith(";390537,22"));
    QFile ancora(in);
    ASSERT_TRUE(ancora.open(QIODevice::ReadOnly));
    EXPECT_EQ(ancora.readAll(), prima);  // IN unchanged
}

// Random files: save -> open gives the same phases and the same bytes; every
// phase's sums are exact; at any discount the award keeps the funded total
// with economies >= 0 and discounts each item as it should; the comparison's
// differences are the phases' differences in cents.
TEST(Fasi, ProprietaSuFileCasuali) {
    for (quint64 seme = 1; seme <= 60; ++seme) {
        Generatore g(seme);
        const FileFasi f = g.file();
        const std::string dove = "seme " + std::to_string(seme);
        const QByteArray dati = scriviFasi(f);
        const FileFasi letto = valore(leggiFasi(dati));
        EXPECT_EQ(scriviFasi(letto), dati) << dove;
        ASSERT_EQ(letto.fasi.size(), f.fasi.size()) << dove;
        for (int i = 0; i < f.fasi.size(); ++i) {
            EXPECT_EQ(letto.fasi[i].nome, f.fasi[i].nome) << dove;
            EXPECT_EQ(letto.fasi[i].ribasso, f.fasi[i].ribasso) << dove;
            EXPECT_EQ(letto.fasi[i].bloccata, f.fasi[i].bloccata) << dove;
            EXPECT_EQ(letto.fasi[i].atto, f.fasi[i].atto) << dove;
            EXPECT_EQ(letto.fasi[i].limite, f.fasi[i].limite) << dove;
        }

        for (const Fase& fase : f.fasi) {
            const FaseCalcolata c = valore(calcolaFase(fase));
            controllaSomme(c.quadro, c.valutazione, dove + " " + fase.nome.toStdString());
        }

        const Quadro progetto = f.fasi[0].quadro;
        for (Millesimi r : {Millesimi(0), Millesimi(g.tra(1, 99999)), Millesimi(100000)}) {
            const bool conManodopera = g.moneta();
            const Aggiudicazione a = valore(aggiudica(progetto, r, conManodopera));
            const std::string qui = dove + " ribasso " + std::to_string(r);
            EXPECT_EQ(a.valutazione.totale, a.totaleFinanziato) << qui;
            EXPECT_GE(a.economie, 0) << qui;
            EXPECT_EQ(a.contratto, a.valutazione.importo("A")) << qui;
            Centesimi altre = 0;
            for (const Voce& v : a.quadro.voci[1].voci)
                if (v.codice != a.codiceEconomie) altre += a.valutazione.importo(v.codice);
            EXPECT_EQ(a.economie + a.contratto + altre, a.totaleFinanziato) << qui;
            controllaSomme(a.quadro, a.valutazione, qui);
            Quadro assorbito = progetto;
            (void)ricalcola(assorbito);
            for (const Voce& v : assorbito.voci[0].voci) {
                Centesimi atteso = v.importo;
                if (v.ribassabile.value_or(true)) {
                    const Centesimi mo =
                        conManodopera ? 0 : std::min(manodopera(v).value_or(0), v.importo);
                    atteso = mo + mezzoSu(Grande(v.importo - mo) * (100000 - r), 100000);
                }
                EXPECT_EQ(a.valutazione.importo(v.codice), atteso) << qui;
            }
            if (r == 0) {
                EXPECT_EQ(a.economie, 0) << qui;
                EXPECT_EQ(a.ribassoLavori, 0) << qui;
            }
        }

        const int n = int(f.fasi.size());
        const int da = int(g.tra(0, n - 1)), aa = int(g.tra(0, n - 1));
        const Confronto c = valore(confronta(f, {}, da, aa));
        ASSERT_EQ(c.totali.size(), n);
        QSet<QString> codici;
        for (int k = 0; k < n; ++k) {
            const FaseCalcolata fc = valore(calcolaFase(f.fasi[k]));
            EXPECT_EQ(c.totali[k], fc.valutazione.totale) << dove;
            for (const VoceInOrdine& v : vociInOrdine(fc.quadro)) codici.insert(v.voce->codice);
        }
        EXPECT_EQ(c.righe.size(), codici.size()) << dove;
        if (n >= 2) {
            EXPECT_EQ(c.differenzaTotale(), c.totali[aa] - c.totali[da]) << dove;
            for (const RigaConfronto& r : c.righe) {
                EXPECT_EQ(c.differenza(r), r.importi[aa].value_or(0) - r.importi[da].value_or(0))
                    << dove;
            }
        }
    }
}

// A locked phase refuses every edit and its removal, and takes them again once
// unlocked; a refused edit changes nothing; names stay unique.
TEST(Fasi, FasiBloccate) {
    FileFasi f = scuola();
    const int i = valore(nuovaFase(f, 0, TipoFase::Aggiudicazione, "Gara", ""));
    bloccaFase(f, 0, true);
    const FileFasi prima = f;
    auto cambia = [](Quadro& q) {
        trovaVoce(q, "A.1")->importo = 1;
        return EsitoFase{};
    };
    EXPECT_TRUE(modificaQuadroFase(f, 0, cambia));
    EXPECT_TRUE(modificaFase(f, 0, [](Fase& x) {
        x.nome = "Altro";
        return EsitoFase{};
    }));
    EXPECT_TRUE(rimuoviFase(f, 0));
    EXPECT_EQ(scriviFasi(f), scriviFasi(prima));
    EXPECT_TRUE(modificaFase(f, i, [](Fase& x) {
        x.nome = "Progetto esecutivo";
        return EsitoFase{};
    }));
    EXPECT_TRUE(std::holds_alternative<QString>(nuovaFase(f, i, TipoFase::Variante, "Gara", "")));
    EXPECT_EQ(scriviFasi(f), scriviFasi(prima));
    EXPECT_FALSE(modificaQuadroFase(f, i, cambia));
    bloccaFase(f, 0, false);
    EXPECT_FALSE(modificaQuadroFase(f, 0, cambia));
    EXPECT_EQ(trovaVoce(f.fasi[0].quadro, "A.1")->importo, 1);
    EXPECT_EQ(trovaVoce(prima.fasi[0].quadro, "A.1")->importo, 81234567);  // copies untouched
}

// The school renovation from its executive project through an award at
// 18,735 % and a variant that uses part of the contingencies: the figures
// check to the cent, the comparison of the three phases exports to .csv from
// the command line, and a variant past its limit is warned about.
TEST(Fasi, ScuolaDalProgettoAllaVariante) {
    FileFasi f = scuola();
    const FaseCalcolata esecutivo = valore(calcolaFase(f.fasi[0]));
    EXPECT_EQ(esecutivo.valutazione.totale, 125000000);
    const Centesimi imprevisti = esecutivo.valutazione.importo("B.1");

    const int g = valore(nuovaFase(f, 0, TipoFase::Aggiudicazione, "Aggiudicazione", "2026-07-01"));
    EXPECT_FALSE(modificaFase(f, g, [](Fase& x) {
        x.ribasso = 18735;
        return EsitoFase{};
    }));
    bloccaFase(f, 0, true);
    const FaseCalcolata gara = valore(calcolaFase(f.fasi[g]));
    // 812.345,67 less 18,735 % is 660.152,71; with the safety costs 684.523,08.
    EXPECT_EQ(gara.contratto, 68452308);
    EXPECT_EQ(gara.valutazione.totale, 125000000);
    EXPECT_EQ(gara.valutazione.importo("B.1"), imprevisti);
    const Centesimi economie = gara.aggiudicazione->economie;
    EXPECT_GT(economie, 0);

    const int v = valore(nuovaFase(f, g, TipoFase::Variante, "Variante n. 1", "2027-03-15"));
    bloccaFase(f, g, true);
    EXPECT_FALSE(modificaFase(f, v, [](Fase& x) {
        x.atto = Atto{"45", "2027-03-10", {}};
        x.limite = LimiteVariante{20000, "art. 120, comma 9, del D.Lgs. 36/2023", {}};
        trovaVoce(x.quadro, "A.1")->importo += 1500000;  // 15.000,00 more works
        return EsitoFase{};
    }));
    const FaseCalcolata variante = valore(calcolaFase(f.fasi[v]));
    EXPECT_EQ(variante.valutazione.totale, 125000000);
    EXPECT_EQ(variante.contratto, 68452308 + 1500000);
    const auto andamenti = valore(andamento(f));
    ASSERT_EQ(andamenti.size(), 3);
    const Andamento& av = andamenti[2];
    EXPECT_EQ(av.imprevisti.disponibile, imprevisti);
    EXPECT_EQ(av.imprevisti.residuo, variante.valutazione.importo("B.1"));
    EXPECT_GT(av.imprevisti.usato, 1500000);  // the works, their VAT, fees, incentive
    EXPECT_EQ(av.imprevisti.usato + av.imprevisti.residuo, imprevisti);
    EXPECT_EQ(av.economie.disponibile, economie);
    EXPECT_EQ(av.economie.usato, 0);
    EXPECT_TRUE(av.avviso.isEmpty());
    EXPECT_EQ(andamenti[1].economie.residuo, economie);

    // Past a limit of 1 % the same variant is warned about, citing the article.
    FileFasi oltre = f;
    bloccaFase(oltre, v, false);
    EXPECT_FALSE(modificaFase(oltre, v, [](Fase& x) {
        x.limite->percentuale = 1000;
        return EsitoFase{};
    }));
    const auto conAvviso = valore(andamento(oltre));
    EXPECT_TRUE(conAvviso[2].avviso.contains("art. 120, comma 9"))
        << conAvviso[2].avviso.toStdString();

    // The comparison from the command line, against the phases' own figures.
    QTemporaryDir dir;
    const QString in = dir.filePath("scuola.varimo"), out = dir.filePath("confronto.csv");
    ASSERT_FALSE(salvaFileFasi(in, f));
    EXPECT_EQ(scriviFasi(valore(apriFileFasi(in))), scriviFasi(f));
    QString errori;
    ASSERT_EQ(eseguiComando({"--esporta", in, out, "--confronto"}, &errori), 0)
        << errori.toStdString();
    QFile csv(out);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray byte = csv.readAll();
    ASSERT_TRUE(byte.startsWith("\xEF\xBB\xBF"));
    const QStringList righe = QString::fromUtf8(byte.mid(3)).split("\r\n", Qt::SkipEmptyParts);
    EXPECT_EQ(righe.first(),
              "codice;etichetta;Progetto esecutivo;Aggiudicazione;Variante n. 1;differenza");
    const QList<const FaseCalcolata*> fasi{&esecutivo, &gara, &variante};
    qsizetype totale = 0;
    while (totale < righe.size() && !righe[totale].startsWith("TOTALE;")) ++totale;
    ASSERT_LT(totale, righe.size());
    for (const QString& r : righe.mid(1, totale)) {
        const QStringList campi = r.split(';');
        ASSERT_EQ(campi.size(), 6) << r.toStdString();
        for (int k = 0; k < 3; ++k) {
            const Valutazione& val = fasi[k]->valutazione;
            const bool c = campi[0] == "TOTALE" || val.importi.contains(campi[0]);
            const QString atteso =
                !c ? QString()
                   : testoImporto(campi[0] == "TOTALE" ? val.totale : val.importo(campi[0]), false);
            EXPECT_EQ(campi[2 + k], atteso) << r.toStdString();
        }
        auto cent = [](const QString& s) { return s.isEmpty() ? 0 : *leggiImportoItaliano(s); };
        EXPECT_EQ(cent(campi[5]), cent(campi[4]) - cent(campi[3])) << r.toStdString();
    }
    // After the total, what each phase used of the contingencies and
    // economies, with the contract amount; the variant's 15.000,00 more works
    // come from the contingencies.
    EXPECT_EQ(righe.value(totale + 1),
              "CONTRATTO;Importo contrattuale;836716,04;684523,08;699523,08;15000,00");
    EXPECT_EQ(righe.value(totale + 2), "IMPREVISTI_USATI;Imprevisti usati;0,00;0,00;18512,88;18512,88");
    EXPECT_TRUE(righe.contains(QStringLiteral("B.7;") + kEtichettaEconomie + ";;" +
                               testoImporto(economie, false) + ";" + testoImporto(economie, false) +
                               ";0,00"));

    // One phase by name; an unknown name or a bad discount writes nothing.
    const QString una = dir.filePath("gara.csv");
    ASSERT_EQ(eseguiComando({"--esporta", in, una, "--fase", "Aggiudicazione"}, &errori), 0);
    QFile g1(una);
    ASSERT_TRUE(g1.open(QIODevice::ReadOnly));
    const QString garaCsv = QString::fromUtf8(g1.readAll());
    EXPECT_TRUE(garaCsv.contains("A;Lavori;;684523,08"));
    EXPECT_TRUE(garaCsv.contains("\r\nCONTRATTO;Importo contrattuale;;684523,08\r\n"));
    const QString niente = dir.filePath("niente.csv");
    errori.clear();
    EXPECT_NE(eseguiComando({"--esporta", in, niente, "--fase", "Collaudo"}, &errori), 0);
    EXPECT_NE(eseguiComando({"--esporta", in, niente, "--ribasso", "101"}, &errori), 0);
    EXPECT_NE(eseguiComando({"--esporta", in, niente, "--confronto", "--fase", "Gara"}, &errori),
              0);
    EXPECT_NE(eseguiComando({"--esporta", in, "x.ods", "--confronto"}, &errori), 0);
    EXPECT_FALSE(QFile::exists(niente));
    EXPECT_EQ(errori.count('\n'), 4) << errori.toStdString();

    // Without options the last phase is exported.
    const QString ultima = dir.filePath("ultima.csv");
    ASSERT_EQ(eseguiComando({"--esporta", in, ultima}, &errori), 0);
    QFile u(ultima);
    ASSERT_TRUE(u.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(u.readAll()).contains("A;Lavori;;699523,08"));
}

// A file of version 1 opens as one phase; damaged files of version 2 are
// refused with a message naming the phase, and nothing is returned.
TEST(Fasi, VersioniEFileDanneggiati) {
    FileQuadro v1;
    v1.intestazione.fase = "Progetto esecutivo";
    v1.intestazione.data = "2026-02-01";
    v1.quadro = esempioGara();
    const FileFasi f = valore(leggiFasi(scriviQuadro(v1)));
    ASSERT_EQ(f.fasi.size(), 1);
    EXPECT_EQ(f.fasi[0].tipo, TipoFase::Esecutivo);
    EXPECT_EQ(f.fasi[0].nome, "Progetto esecutivo");
    FileQuadro indietro = v1;
    indietro.quadro = f.fasi[0].quadro;
    EXPECT_EQ(scriviQuadro(indietro), scriviQuadro(v1));
    EXPECT_EQ(f.intestazione, v1.intestazione);
    EXPECT_TRUE(scriviFasi(f).contains("\"versione\": 2"));

    const QByteArray buono = scriviFasi(f);
    const QList<std::pair<QByteArray, QByteArray>> guasti{
        {"\"tipo\": \"esecutivo\"", "\"tipo\": \"collaudo\""},
        {"\"bloccata\": false", "\"bloccata\": \"no\""},
        {"\"versione\": 2", "\"versione\": 3"},
        {"\"nome\": \"Progetto esecutivo\"", "\"nome\": \"\""},
        {"\"percentuale\": \"10\"", "\"percentuale\": \"110\""},
        {"\"bloccata\": false", "\"bloccata\": false, \"ribasso\": \"12,5\""},
    };
    for (const auto& [da, a] : guasti) {
        QByteArray d = buono;
        ASSERT_TRUE(d.contains(da)) << da.toStdString();
        d.replace(da, a);
        const auto r = leggiFasi(d);
        ASSERT_TRUE(std::holds_alternative<QString>(r)) << a.toStdString();
        if (!a.contains("versione")) {
            EXPECT_TRUE(std::get<QString>(r).contains("fase 1"))
                << std::get<QString>(r).toStdString();
        }
    }
    // A later version is named in plain digits, however large.
    QByteArray recente = buono;
    recente.replace("\"versione\": 2", "\"versione\": 4294967295");
    const auto r = leggiFasi(recente);
    ASSERT_TRUE(std::holds_alternative<QString>(r));
    EXPECT_TRUE(std::get<QString>(r).contains("formato versione 4294967295"))
        << std::get<QString>(r).toStdString();
    FileFasi doppia = f;
    doppia.fasi.append(f.fasi[0]);
    EXPECT_TRUE(std::holds_alternative<QString>(leggiFasi(scriviFasi(doppia))));
    EXPECT_TRUE(std::holds_alternative<QString>(
        leggiFasi(R"({"formato": "varimo-quadro", "versione": 2, "fasi": []})")));
}

namespace {

// Read one phase at a time or parsed whole, a document gives the same phases
// or the same message: brackets and quotes inside texts, a key "fasi" inside
// a phase, blanks anywhere, two lists of phases, a list that is empty or holds
// no object, bytes after the document, broken JSON inside a phase.
TEST(LetturaInSequenza, DiceCioCheDiceLaLetturaIntera) {
    const QByteArray fase = R"({"nome": "P [1] {\"x\"}", "tipo": "esecutivo", "fasi": [1],
        "voci": [{"codice": "A", "etichetta": "Lavori ]}, \\", "importo": "10"}]})";
    const QByteArray testa = R"({"formato": "varimo-quadro", "versione": 2, )";
    const QList<QByteArray> documenti = {
        testa + "\"fasi\": [" + fase + "]}",
        testa + "\"fasi\"  :\n [ " + fase + " ,\n" + QByteArray(fase).replace("P [1]", "Q") +
            " ] , \"altro\": {\"fasi\": []}}",
        testa + "\"fasi\": [" + fase + "], \"fasi\": [" + fase + "]}",
        testa + "\"fasi\": []}",
        testa + "\"fasi\": [1, " + fase + "]}",
        testa + "\"fasi\": [" + fase + ", ]}",
        testa + "\"fasi\": [" + fase + "]} x",
        testa + "\"fasi\": [" + QByteArray(fase).replace("\"tipo\":", "\"tipo\"") + "]}",
        testa + "\"fasi\": [" + fase + ", " + fase + "]}",
        testa + "\"versione\": 1, \"fasi\": [" + fase + "]}",
        "\xEF\xBB\xBF" + testa + "\"fasi\": [" + fase + "]}",
        testa + "\"fa\\u0073i\": [" + fase + "]}",
    };
    for (const QByteArray& d : documenti) {
        SCOPED_TRACE(d.toStdString());
        const auto a = leggiFasi(d);
        const auto b = leggiFasiIntero(d);
        ASSERT_EQ(a.index(), b.index());
        if (const auto* e = std::get_if<QString>(&a))
            EXPECT_EQ(*e, std::get<QString>(b));
        else
            EXPECT_EQ(scriviFasi(std::get<FileFasi>(a)), scriviFasi(std::get<FileFasi>(b)));
    }
    EXPECT_TRUE(std::holds_alternative<FileFasi>(leggiFasi(documenti[1])));

    // Each phase is handed on as soon as it is read, before the next one is:
    // the phases before a wrong one have gone by when its message comes.
    FileFasi scuola = esempi::scuolaTreFasi();
    trovaVoce(scuola.fasi[2].quadro, "B.2")->percentuale = 120000;
    FileFasi letta;
    QStringList viste;
    const auto e = leggiFasiInSequenza(scriviFasi(scuola), letta, [&](Fase&& f) {
        viste.append(f.nome);
        EXPECT_EQ(letta.intestazione, scuola.intestazione);
    });
    ASSERT_TRUE(e);
    EXPECT_EQ(*e, std::get<QString>(leggiFasiIntero(scriviFasi(scuola))));
    EXPECT_EQ(viste, QStringList({"Progetto esecutivo", "Aggiudicazione"}));
}

}  // namespace
