// The framework of any shape without a window: evaluation over random trees,
// the fixed total, the .varimo file, the classic conversion, the edits and the
// commands without a window, with one worked example checked by hand.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <random>

#include "common/numeri.h"
#include "datafile/filedati.h"
#include "datafile/formato.h"
#include "quadro/conversione.h"
#include "quadro/formatoquadro.h"
#include "quadro/modifiche.h"
#include "quadro/quadro.h"
#include "quadro/rigacomando.h"

namespace varimo::quadro {
namespace {

class Caso {
  public:
    explicit Caso(unsigned seme) : rng_(seme) {}
    int tra(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
    qint64 tra64(qint64 a, qint64 b) { return std::uniform_int_distribution<qint64>(a, b)(rng_); }
    bool probabile(int percento) { return tra(1, 100) <= percento; }

    QString testo() {
        static const QString lettere =
            QStringLiteral("abcàèìòù ÀÉ€\"\\;,.%{}[]:/\t\nxyz0123456789'«»");
        QString s;
        const int n = tra(0, 20);
        for (int i = 0; i < n; ++i) s += lettere[tra(0, int(lettere.size()) - 1)];
        return s;
    }

    // A random tree of about `n` items; percentages refer only to items
    // already made that are not their ancestors, so no cycle arises.
    Quadro albero(int n) {
        Quadro q;
        QStringList fatti;
        int numero = 0;
        std::function<void(QList<Voce>&, const QString&, int, QStringList)> riempi =
            [&](QList<Voce>& lista, const QString& base, int profondita, QStringList antenati) {
                const int quanti = tra(1, 5);
                for (int i = 0; i < quanti && numero < n; ++i) {
                    Voce v;
                    v.codice = base + QString::number(++numero);
                    v.etichetta = testo();
                    const int tipo = profondita < 3 ? tra(0, 2) : tra(1, 2);
                    if (tipo == 0) {
                        v.tipo = Tipo::Sezione;
                        antenati.append(v.codice);
                        riempi(v.voci, v.codice + u'.', profondita + 1, antenati);
                        antenati.removeLast();
                    } else if (tipo == 2 && !fatti.isEmpty()) {
                        v.tipo = Tipo::Percentuale;
                        v.percentuale = probabile(20) ? tra(0, 100) * 1000 : tra(0, 100000);
                        const int k = tra(0, 3);
                        for (int j = 0; j < k; ++j) {
                            const QString c = fatti[tra(0, int(fatti.size()) - 1)];
                            if (!v.di.contains(c) && !antenati.contains(c)) v.di.append(c);
                        }
                    } else {
                        v.tipo = Tipo::Importo;
                        v.importo =
                            probabile(10)
                                ? -tra64(0, 100000000)
                                : tra64(0, probabile(50) ? 1000000 : kImportoMassimo / 1000);
                    }
                    fatti.append(v.codice);
                    lista.append(v);
                }
            };
        while (numero < n) riempi(q.voci, QStringLiteral("V"), 0, {});
        return q;
    }

  private:
    std::mt19937_64 rng_;
};

// Half up to the cent, computed apart from the evaluator: the exact quotient
// and remainder, one up when the remainder is at least one half.
qint64 mezzoSu(qint64 somma, int millesimi) {
    __extension__ typedef __int128 Grande;
    const Grande n = Grande(somma) * millesimi;
    Grande q = n / 100000, r = n % 100000;
    if (r < 0) {
        q -= 1;
        r += 100000;
    }
    return qint64(2 * r >= 100000 ? q + 1 : q);
}

void controllaRegole(const Quadro& q, const Valutazione& val) {
    Centesimi totale = 0;
    for (const Voce& v : q.voci) totale += val.importo(v.codice);
    EXPECT_EQ(val.totale, totale);
    for (const VoceInOrdine& o : vociInOrdine(q)) {
        const Voce& v = *o.voce;
        Centesimi atteso = v.importo;
        if (v.tipo == Tipo::Sezione) {
            atteso = 0;
            for (const Voce& f : v.voci) atteso += val.importo(f.codice);
        } else if (v.tipo == Tipo::Percentuale) {
            Centesimi somma = 0;
            for (const QString& d : v.di) somma += val.importo(d);
            atteso = mezzoSu(somma, v.percentuale);
        }
        ASSERT_EQ(val.importo(v.codice), atteso) << v.codice.toStdString();
    }
}

TEST(Quadro, OgniVoceSegueLaSuaRegolaEIlTotaleVincolatoNonESuperato) {
    Caso caso(24);
    int raggiunti = 0, scarti = 0, irraggiungibili = 0;
    for (int giro = 0; giro < 300; ++giro) {
        Quadro q = caso.albero(caso.tra(1, 60));
        // An absorbing amount item, sometimes with percentages that follow it.
        QStringList importi;
        for (const VoceInOrdine& o : vociInOrdine(q))
            if (o.voce->tipo == Tipo::Importo) importi.append(o.voce->codice);
        const bool conVincolo = !importi.isEmpty() && caso.probabile(80);
        const auto libero = valuta(q);
        ASSERT_TRUE(std::holds_alternative<Valutazione>(libero))
            << std::get<Problema>(libero).messaggio.toStdString();
        controllaRegole(q, std::get<Valutazione>(libero));
        if (!conVincolo) continue;

        q.vincolo.compensa = importi[caso.tra(0, int(importi.size()) - 1)];
        const Centesimi totaleLibero = std::get<Valutazione>(libero).totale;
        q.vincolo.totale = std::max<Centesimi>(0, totaleLibero + caso.tra64(-50000000, 50000000));
        const Quadro prima = q;
        const auto r = ricalcola(q);
        ASSERT_TRUE(std::holds_alternative<Valutazione>(r));
        const Valutazione& val = std::get<Valutazione>(r);
        controllaRegole(q, val);
        const Centesimi fisso = *q.vincolo.totale;
        if (val.vincolo == EsitoVincolo::Irraggiungibile) {
            ++irraggiungibili;
            EXPECT_EQ(q, prima);  // nothing changed
            Quadro zero = prima;
            trovaVoce(zero, zero.vincolo.compensa)->importo = 0;
            EXPECT_GT(std::get<Valutazione>(valuta(zero)).totale, fisso);
            continue;
        }
        const Centesimi x = trovaVoce(q, q.vincolo.compensa)->importo;
        EXPECT_GE(x, 0);
        EXPECT_LE(val.totale, fisso);
        EXPECT_EQ(val.scarto, fisso - val.totale);
        EXPECT_EQ(val.vincolo == EsitoVincolo::Raggiunto, val.totale == fisso);
        (val.totale == fisso ? raggiunti : scarti)++;
        // The largest reachable: one cent more on the absorbing item passes it.
        if (val.totale < fisso && x < kImportoMassimo) {
            Quadro piu = q;
            trovaVoce(piu, q.vincolo.compensa)->importo = x + 1;
            EXPECT_GT(std::get<Valutazione>(valuta(piu)).totale, fisso);
        }
    }
    EXPECT_GT(raggiunti, 20);
    EXPECT_GT(irraggiungibili, 5);
    std::cout << "raggiunti " << raggiunti << ", con scarto " << scarti << ", irraggiungibili "
              << irraggiungibili << '\n';
}

TEST(Quadro, CicliCodiciMancantiEPercentualiFuoriIntervalloSonoRifiutatiNominandoLeVoci) {
    Quadro q = modello2023();
    ASSERT_FALSE(verifica(q));
    struct Guasto {
        std::function<void(Quadro&)> rompi;
        QStringList nomi;
    };
    const QList<Guasto> guasti = {
        {[](Quadro& q) {
             trovaVoce(q, "B.7.1")->tipo = Tipo::Percentuale, trovaVoce(q, "B.7.1")->di = {"B.17"};
         },
         {"B.7.1", "B.17"}},
        {[](Quadro& q) {
             trovaVoce(q, "B.8")->di = {"A", "Z.9"};
         },
         {"B.8", "Z.9"}},
        {[](Quadro& q) { trovaVoce(q, "B.8")->percentuale = 100001; }, {"B.8"}},
        {[](Quadro& q) { trovaVoce(q, "B.8")->di = {"B"}; }, {"B.8", "B"}},
        {[](Quadro& q) { trovaVoce(q, "B.9")->codice = "B.8"; }, {"B.8"}},
        {[](Quadro& q) { q.vincolo.compensa = "B.8"; }, {"B.8"}},
    };
    for (const Guasto& g : guasti) {
        Quadro rotto = q;
        g.rompi(rotto);
        const Quadro prima = rotto;
        const auto p = verifica(rotto);
        ASSERT_TRUE(p);
        for (const QString& n : g.nomi)
            EXPECT_TRUE(p->messaggio.contains(QStringLiteral("«%1»").arg(n)))
                << p->messaggio.toStdString();
        EXPECT_TRUE(std::holds_alternative<Problema>(ricalcola(rotto)));
        EXPECT_EQ(rotto, prima);
    }
}

// The school renovation, worked out by hand.
TEST(Quadro, RistrutturazioneDellaScuolaCalcolataAMano) {
    Quadro q;
    auto importo = [](const char* c, Centesimi x) {
        Voce v;
        v.codice = c;
        v.importo = x;
        return v;
    };
    auto perc = [](const char* c, Millesimi m, QStringList di) {
        Voce v;
        v.codice = c;
        v.tipo = Tipo::Percentuale;
        v.percentuale = m;
        v.di = di;
        return v;
    };
    auto sezione = [](const char* c) {
        Voce v;
        v.codice = c;
        v.tipo = Tipo::Sezione;
        return v;
    };
    Voce a = sezione("A");
    a.voci = {importo("A.1", 81234567), importo("A.2", 2437037)};
    Voce b = sezione("B");
    Voce imprevisti = importo("B.1", 0);
    imprevisti.etichetta = "Imprevisti";
    b.voci = {imprevisti,
              perc("B.2", 9000, {"A.1"}),
              perc("B.3", 4000, {"B.2"}),
              perc("B.4", 22000, {"B.2", "B.3"}),
              perc("B.5", 10000, {"A"}),
              perc("B.6", 2000, {"A"})};
    q.voci = {a, b};
    q.vincolo.totale = 125000000;
    const auto r = ricalcola(q);
    const Valutazione& v = std::get<Valutazione>(r);
    EXPECT_EQ(v.importo("A"), 83671604);    // 836.716,04
    EXPECT_EQ(v.importo("B.2"), 7311111);   // 9 % of 812.345,67 = 73.111,1103
    EXPECT_EQ(v.importo("B.3"), 292444);    // 4 % of 73.111,11 = 2.924,4444
    EXPECT_EQ(v.importo("B.4"), 1672782);   // 22 % of 76.035,55 = 16.727,821
    EXPECT_EQ(v.importo("B.5"), 8367160);   // 10 % of 836.716,04 = 83.671,604
    EXPECT_EQ(v.importo("B.6"), 1673432);   // 2 % of 836.716,04 = 16.734,3208
    EXPECT_EQ(v.compensa, "B.1");           // the contingencies item by its label
    EXPECT_EQ(v.importo("B.1"), 22011467);  // 1.250.000,00 - 1.029.885,33
    EXPECT_EQ(v.totale, 125000000);
    EXPECT_EQ(v.vincolo, EsitoVincolo::Raggiunto);
    EXPECT_EQ(trovaVoce(q, "A.1")->importo, 81234567);  // the works stay as typed
    EXPECT_EQ(testoRegola(*trovaVoce(q, "B.4")), "22 % di B.2 + B.3");

    // VAT on the contingencies too: 1,10 per cent of the gap cannot always be
    // met to the cent; the total stays below it by the smallest gap.
    b.voci.append(perc("B.7", 22000, {"B.1"}));
    q.voci[1] = b;
    q.vincolo.totale = 125000001;
    const auto rw = ricalcola(q);
    const Valutazione& w = std::get<Valutazione>(rw);
    EXPECT_LE(w.totale, 125000001);
    EXPECT_GE(w.totale, 125000000);
    EXPECT_EQ(w.importo("B.7"), mezzoSu(w.importo("B.1"), 22000));
}

TEST(Quadro, NumeriItalianiSenzaPuntiFuoriPosto) {
    EXPECT_EQ(leggiImportoItaliano("1.234,56"), 123456);
    EXPECT_EQ(leggiImportoItaliano(" 1234,5 "), 123450);
    EXPECT_EQ(leggiImportoItaliano("-0,05"), -5);
    EXPECT_EQ(leggiImportoItaliano("999.999.999.999,99"), kImportoMassimo);
    for (const char* male : {"1.5", "12.34,5", "1,234", "1.2345", ".123", "", ",", "1e3",
                             "1.000.000.000.000,00", "12,3,4", "--1", "1 234"})
        EXPECT_FALSE(leggiImportoItaliano(male)) << male;
    EXPECT_EQ(leggiPercentualeItaliana("1,8"), 1800);
    EXPECT_EQ(leggiPercentualeItaliana("8,125 %"), 8125);
    for (const char* male : {"1.8", "100,001", "101", "-1", "1,2345", ""})
        EXPECT_FALSE(leggiPercentualeItaliana(male)) << male;
    Caso caso(7);
    for (int i = 0; i < 20000; ++i) {
        const Centesimi c = caso.tra64(-kImportoMassimo, kImportoMassimo) >> caso.tra(0, 46);
        ASSERT_EQ(leggiImportoItaliano(testoImporto(c)), c);
        ASSERT_EQ(leggiImportoItaliano(testoImporto(c, false)), c);
        ASSERT_EQ(leggiImportoFile(testoImportoFile(c)), c);
        // The classic reading of the same figures agrees to the cent.
        ASSERT_EQ(letturaCentesimi(testoImporto(c, false)), double(c));
        const Millesimi m = caso.tra(0, kPercentualeMassima);
        ASSERT_EQ(leggiPercentualeItaliana(testoPercentuale(m)), m);
        ASSERT_EQ(leggiPercentualeFile(testoPercentualeFile(m)), m);
    }
}

FileQuadro fileCasuale(Caso& caso) {
    FileQuadro f;
    f.quadro = caso.albero(caso.tra(1, 40));
    f.intestazione.ente = caso.testo();
    f.intestazione.titolo = caso.testo();
    f.intestazione.cup = caso.testo();
    f.intestazione.data = QStringLiteral("2026-12-08");
    if (caso.probabile(50)) f.intestazione.altri.insert("protocollo", caso.testo());
    if (caso.probabile(50)) f.altri.insert("x-firma", QJsonObject{{"a", 1}, {"b", "c"}});
    for (const VoceInOrdine& o : vociInOrdine(f.quadro)) {
        Voce* v = voceA(f.quadro, o.percorso);
        if (caso.probabile(20)) v->nota = caso.testo();
        if (caso.probabile(10)) v->ribassabile = caso.probabile(50);
        if (caso.probabile(10)) v->altri.insert("colore", caso.testo());
    }
    if (caso.probabile(50)) {
        f.quadro.vincolo.totale = caso.tra64(0, kImportoMassimo);
        if (caso.probabile(50)) f.quadro.vincolo.altri.insert("nota", "finanziamento regionale");
    }
    return f;
}

TEST(FileQuadro, SalvareAprireSalvareDaGliStessiByteEConservaLeChiaviSconosciute) {
    Caso caso(36);
    for (int giro = 0; giro < 200; ++giro) {
        const FileQuadro f = fileCasuale(caso);
        const QByteArray primo = scriviQuadro(f);
        const auto letto = leggiQuadro(primo);
        ASSERT_TRUE(std::holds_alternative<FileQuadro>(letto))
            << std::get<QString>(letto).toStdString();
        EXPECT_EQ(std::get<FileQuadro>(letto), f);
        EXPECT_EQ(scriviQuadro(std::get<FileQuadro>(letto)), primo);
    }
    // Through the disk, atomically, and the issue's own example.
    QTemporaryDir dir;
    const QString percorso = dir.filePath("quadro.varimo");
    const QByteArray esempio = R"({ "formato": "varimo-quadro", "versione": 1,
  "intestazione": { "ente": "Comune", "titolo": "Scuola", "cup": "", "cig": "", "rup": "",
                    "progettista": "", "fase": "esecutivo", "data": "2026-12-08", "valuta": "euro" },
  "voci": [ { "codice": "A", "etichetta": "Lavori", "voci": [
              { "codice": "A.1", "etichetta": "Lavori a misura", "importo": "812345.67" },
              { "codice": "A.2", "etichetta": "Costi della sicurezza", "importo": "24370.37", "ribassabile": false } ] },
            { "codice": "B", "etichetta": "Somme a disposizione", "voci": [
              { "codice": "B.1", "etichetta": "Imprevisti", "importo": "40617.28" },
              { "codice": "B.2", "etichetta": "IVA sui lavori", "percentuale": "10", "di": ["A"] } ] } ],
  "vincolo": { "totale": "1250000.00", "compensa": "B.1" } })";
    auto e = leggiQuadro(esempio);
    ASSERT_TRUE(std::holds_alternative<FileQuadro>(e)) << std::get<QString>(e).toStdString();
    FileQuadro f = std::get<FileQuadro>(e);
    EXPECT_TRUE(ribassabile(f.quadro, {0, 0}));
    EXPECT_FALSE(ribassabile(f.quadro, {0, 1}));
    EXPECT_FALSE(ribassabile(f.quadro, {1, 0}));
    ASSERT_FALSE(salvaFileQuadro(percorso, f));
    auto riaperto = apriFileQuadro(percorso);
    ASSERT_TRUE(std::holds_alternative<FileQuadro>(riaperto));
    EXPECT_EQ(std::get<FileQuadro>(riaperto), f);
    const Valutazione v = std::get<Valutazione>(ricalcola(f.quadro));
    EXPECT_EQ(v.totale, 125000000);
    EXPECT_EQ(v.importo("B.2"), 8367160);
}

TEST(FileQuadro, UnFileGuastoOOstileHaUnMessaggioCheNominaIlPosto) {
    const QList<std::pair<QByteArray, QString>> guasti = {
        {"", "riga 1"},
        {"{\"formato\": \"varimo-quadro\",\n \"versione\": 1,\n \"voci\": [ }", "riga 3"},
        {"[1, 2]", "oggetto"},
        {R"({"formato": "altro", "versione": 1, "voci": []})", "varimo-quadro"},
        {R"({"formato": "varimo-quadro", "versione": 9, "voci": []})", "più recente"},
        {R"({"formato": "varimo-quadro", "versione": 1.5, "voci": []})", "versione"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": {}})", "voci"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [{"etichetta": "x"}]})", "voce 1"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [{"codice": "A", "voci": [
            {"codice": "A.1", "importo": "1,5"}]}]})",
         "«A.1» (voce 1 › voce 1)"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [{"codice": "A", "importo": 12}]})",
         "«A»"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [
            {"codice": "B", "percentuale": "120", "di": []}]})",
         "«120»"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [
            {"codice": "B", "percentuale": "12", "di": ["B"]}]})",
         "«B»"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [
            {"codice": "B", "importo": "1", "voci": []}]})",
         "una sola"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [],
            "vincolo": {"totale": "-5.00"}})",
         "vincolo"},
        {R"({"formato": "varimo-quadro", "versione": 1, "voci": [],
            "intestazione": {"ente": 5}})",
         "intestazione"},
    };
    for (const auto& [dati, luogo] : guasti) {
        const auto r = leggiQuadro(dati);
        ASSERT_TRUE(std::holds_alternative<QString>(r)) << dati.toStdString();
        EXPECT_TRUE(std::get<QString>(r).contains(luogo)) << std::get<QString>(r).toStdString();
    }
    // Deep nesting and huge counts end with a message, not a crash.
    QByteArray profondo = R"({"formato": "varimo-quadro", "versione": 1, "voci": [)";
    for (int i = 0; i < 200; ++i)
        profondo += "{\"codice\": \"C" + QByteArray::number(i) + "\", \"voci\": [";
    for (int i = 0; i < 200; ++i) profondo += "]}";
    profondo += "]}";
    EXPECT_TRUE(std::holds_alternative<QString>(leggiQuadro(profondo)));
    // Every cut and every flipped byte of a good file reads or is refused.
    Caso caso(5);
    const QByteArray buono = scriviQuadro(fileCasuale(caso));
    for (qsizetype n = 0; n < buono.size(); n += 7) (void)leggiQuadro(buono.left(n));
    for (int i = 0; i < 3000; ++i) {
        QByteArray b = buono;
        b[caso.tra(0, int(b.size()) - 1)] = char(caso.tra(0, 255));
        const auto r = leggiQuadro(b);
        if (auto* f = std::get_if<FileQuadro>(&r)) {
            EXPECT_FALSE(verifica(f->quadro));
        }
    }
}

// Random classic projects: the framework keeps every row's amount and the
// classic total to the cent, and every rule that can stand.
TEST(Conversione, UnProgettoClassicoCasualeTieneOgniImportoEIlTotale) {
    Caso caso(11);
    int percentualiTenute = 0, troppoGrandi = 0;
    for (int giro = 0; giro < 60; ++giro) {
        ProgettoFile p;
        p.nomeprogetto = "Prova";
        p.valuta = "euro";
        for (int i = 0; i < 18; ++i) {
            VoceFile& v = p.voci[i];
            v.tipo = QStringLiteral("Voce %1").arg(i + 1);
            if (caso.probabile(70))
                v.costo =
                    QString::number(caso.tra(0, 3000000)) + u',' + QString::number(caso.tra(0, 99));
            v.costorif = 0;
            if (i != 0 && i != 3 && i != 17 && caso.probabile(35)) {
                v.perc = caso.tra(0, 100);
                v.vocerif = caso.tra(1, 18);
            }
        }
        const Conversione c = convertiClassico(p);
        if (!c.errore.isEmpty()) {
            // Only a classic amount past the largest amount stops it.
            ++troppoGrandi;
            EXPECT_TRUE(c.errore.contains("999.999.999.999,99") || c.errore.contains("grande"));
            continue;
        }
        Quadro q = c.file.quadro;
        const auto r = ricalcola(q);
        ASSERT_TRUE(std::holds_alternative<Valutazione>(r))
            << std::get<Problema>(r).messaggio.toStdString();
        EXPECT_EQ(std::get<Valutazione>(r).totale, c.totaleClassico) << giro;
        EXPECT_EQ(q.voci.size(), 2);
        EXPECT_EQ(q.voci[0].voci.size(), 3);
        EXPECT_EQ(q.voci[1].voci.size(), 13);
        for (const VoceInOrdine& o : vociInOrdine(q))
            if (o.voce->tipo == Tipo::Percentuale) ++percentualiTenute;
        // The converted file is a sound .varimo file that reads back whole.
        const auto riletto = leggiQuadro(scriviQuadro(c.file));
        ASSERT_TRUE(std::holds_alternative<FileQuadro>(riletto));
        EXPECT_EQ(std::get<FileQuadro>(riletto), c.file);
    }
    EXPECT_GT(percentualiTenute, 100);
    EXPECT_LT(troppoGrandi, 20);
}

TEST(Modifiche, OgniModificaSiApplicaTuttaONonCambiaNulla) {
    Quadro q = modello2023();
    const Quadro iniziale = q;
    // Removing an item a rule uses is refused, naming the rule's item.
    auto e = rimuoviVoce(q, *percorsoDi(q, "B.7.1"));
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->contains("«B.7.4»"));
    EXPECT_EQ(q, iniziale);
    // A new code carries its references along.
    ASSERT_FALSE(cambiaCodice(q, *percorsoDi(q, "B.7"), "B.8.x"));
    EXPECT_TRUE(cambiaCodice(q, *percorsoDi(q, "B.8.x"), "B.8"));  // taken
    EXPECT_TRUE(cambiaCodice(q, *percorsoDi(q, "B.8.x"), "B 8"));  // blank
    EXPECT_EQ(trovaVoce(q, "B.17")->di, QStringList{"B.8.x"});
    // A rule that would close a cycle is refused.
    EXPECT_TRUE(impostaRegola(q, *percorsoDi(q, "B.7.1"), "5 % di B.17", 0));
    ASSERT_FALSE(impostaRegola(q, *percorsoDi(q, "B.2"), "1,5 % di A.1 + A.2", 0));
    EXPECT_EQ(testoRegola(*trovaVoce(q, "B.2")), "1,5 % di A.1 + A.2");
    EXPECT_TRUE(impostaRegola(q, *percorsoDi(q, "B.2"), "1.5 % di A.1", 0));  // misplaced point
    // Indent, outdent, move: and back again.
    const Quadro prima = q;
    Percorso p = *percorsoDi(q, "B.3"), n;
    EXPECT_TRUE(rientraVoce(q, p, &n));  // B.2 above is a percentage: it holds no items
    EXPECT_EQ(q, prima);
    ASSERT_FALSE(impostaRegola(q, *percorsoDi(q, "B.2"), "", 0));  // an amount can
    ASSERT_FALSE(rientraVoce(q, p, &n));
    EXPECT_EQ(trovaVoce(q, "B.2")->tipo, Tipo::Sezione);
    EXPECT_EQ(voceA(q, n)->codice, "B.3");
    ASSERT_FALSE(sporgiVoce(q, n, &n));
    ASSERT_FALSE(spostaVoce(q, n, -1, &n));
    ASSERT_FALSE(spostaVoce(q, n, +1, &n));
    EXPECT_EQ(voceA(q, n)->codice, "B.3");
    EXPECT_EQ(percorsoDi(q, "B.3"), p);
    // The contingencies item stays an amount only while it absorbs a fixed total.
    Quadro libero = q;
    EXPECT_FALSE(impostaRegola(libero, *percorsoDi(q, "B.4"), "1 % di A", 0));
    q.vincolo.totale = 100;
    EXPECT_TRUE(impostaRegola(q, *percorsoDi(q, "B.4"), "1 % di A", 0));
    q.vincolo.totale.reset();
    Percorso nuova;
    ASSERT_FALSE(aggiungiVoce(q, *percorsoDi(q, "B.8.x"), true, &nuova));
    EXPECT_EQ(voceA(q, nuova)->codice, "B.8.x.5");
    ASSERT_FALSE(rimuoviVoce(q, nuova));
    EXPECT_FALSE(verifica(q));
}

// The program itself, without a window.
class RigaDiComando : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString percorso(const QString& nome) { return dir.filePath(nome); }
    int varimo(const QStringList& argomenti, QString* errori = nullptr) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", dir.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VARIMO_BIN_DIR "/varimo"), argomenti);
        EXPECT_TRUE(p.waitForFinished(60000));
        if (errori) *errori = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    static QByteArray leggi(const QString& f) {
        QFile file(f);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    static void scrivi(const QString& f, const QByteArray& b) {
        QFile file(f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(b);
    }
};

TEST_F(RigaDiComando, EsportaEConverteEDaLeStesseCifre) {
    const QString classico =
        QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/Varimo-dati-ponte");
    ASSERT_EQ(varimo({"--converti", classico, percorso("ponte.varimo")}), 0);
    ASSERT_EQ(varimo({"--esporta", percorso("ponte.varimo"), percorso("a.csv")}), 0);
    ASSERT_EQ(varimo({"--esporta", classico, percorso("b.csv")}), 0);
    const QByteArray csv = leggi(percorso("a.csv"));
    EXPECT_EQ(csv, leggi(percorso("b.csv")));
    EXPECT_TRUE(
        csv.startsWith("\xEF\xBB\xBF"
                       "codice;etichetta;regola;importo\r\n"));
    const QList<QByteArray> righe = csv.trimmed().split('\n');
    EXPECT_EQ(righe.size(), 1 + 18 + 1);
    // The last line is the total, equal to the classic calculation's.
    auto letto = leggiFileProgetto(classico);
    Conversione c = convertiClassico(std::get<ProgettoFile>(letto));
    const QList<QByteArray> totale = righe.last().trimmed().split(';');
    ASSERT_EQ(totale.size(), 4);
    EXPECT_EQ(totale.first(), "TOTALE");
    EXPECT_EQ(totale.last(), testoImporto(c.totaleClassico, false).toUtf8());

    // The options of the phases take a classic file as one phase, as its
    // conversion: the same comparison, the phase by its name, the award.
    ASSERT_EQ(varimo({"--esporta", classico, percorso("c.csv"), "--confronto"}), 0);
    ASSERT_EQ(varimo({"--esporta", percorso("ponte.varimo"), percorso("d.csv"), "--confronto"}), 0);
    EXPECT_EQ(leggi(percorso("c.csv")), leggi(percorso("d.csv")));
    EXPECT_TRUE(leggi(percorso("c.csv")).contains("\r\nTOTALE;Totale del progetto;" + totale.last() +
                                                  "\r\n"));
    const QString nome = fileDaQuadro(c.file).fasi[0].nome;
    ASSERT_EQ(varimo({"--esporta", classico, percorso("f.csv"), "--fase", nome}), 0);
    EXPECT_EQ(leggi(percorso("f.csv")), csv);
    ASSERT_EQ(varimo({"--esporta", classico, percorso("g.csv"), "--ribasso", "18,735"}), 0);
    const QList<QByteArray> gara = leggi(percorso("g.csv")).trimmed().split('\n');
    EXPECT_TRUE(gara.value(gara.size() - 3).startsWith("CONTRATTO;"));
    EXPECT_EQ(gara.last().trimmed().split(';').last(), totale.last());

    // Labels that a spreadsheet would take apart or run as a formula.
    scrivi(percorso("etichette.varimo"), R"J({"formato": "varimo-quadro", "versione": 1, "voci": [
        {"codice": "A", "etichetta": "=HYPERLINK(\"x\")", "importo": "1.00"},
        {"codice": "B", "etichetta": "uno; \"due\"\ntre", "importo": "2.00"}]})J");
    ASSERT_EQ(varimo({"--esporta", percorso("etichette.varimo"), percorso("e.csv")}), 0);
    const QByteArray e = leggi(percorso("e.csv"));
    EXPECT_TRUE(
        e.startsWith("\xEF\xBB\xBF"
                     "codice;etichetta;regola;importo\r\n"
                     "A;\"'=HYPERLINK(\"\"x\"\")\";;1,00\r\n"
                     "B;\"uno; \"\"due\"\"\ntre\";;2,00\r\n"
                     "TOTALE;"))
        << e.toStdString();
    EXPECT_TRUE(e.endsWith(";;3,00\r\n"));
}

TEST_F(RigaDiComando, FileGuastiLascianoLUscitaIntattaConUnMessaggio) {
    const QByteArray vecchio = "vecchio contenuto";
    scrivi(percorso("uscita.csv"), vecchio);
    scrivi(percorso("uscita.varimo"), vecchio);
    scrivi(percorso("guasto.varimo"),
           "{\"formato\": \"varimo-quadro\", \"versione\": 1, \"voci\": [");
    scrivi(percorso("ciclo.varimo"), R"({"formato": "varimo-quadro", "versione": 1, "voci": [
        {"codice": "A", "percentuale": "10", "di": ["B"]},
        {"codice": "B", "percentuale": "10", "di": ["A"]}]})");
    scrivi(percorso("binario"), QByteArray("\x00\x01\x02\xff", 4));
    const QString guasto =
        QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/Varimo-dati-guasto");
    const QList<QStringList> comandi = {
        {"--esporta", percorso("guasto.varimo"), percorso("uscita.csv")},
        {"--esporta", percorso("ciclo.varimo"), percorso("uscita.csv")},
        {"--esporta", percorso("binario"), percorso("uscita.csv")},
        {"--esporta", guasto, percorso("uscita.csv")},
        {"--esporta", percorso("non-esiste"), percorso("uscita.csv")},
        {"--esporta", percorso("ciclo.varimo"), percorso("uscita.odt")},
        {"--esporta", percorso("uscita.csv"), percorso("uscita.csv")},
        {"--converti", guasto, percorso("uscita.varimo")},
        {"--converti", percorso("guasto.varimo"), percorso("uscita.varimo")},
        {"--converti",
         QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/Varimo-dati-ponte"),
         percorso("uscita.csv")},
        {"--esporta", percorso("ciclo.varimo")},
    };
    for (const QStringList& c : comandi) {
        QString errori;
        EXPECT_NE(varimo(c, &errori), 0) << c.join(' ').toStdString();
        EXPECT_FALSE(errori.trimmed().isEmpty());
        EXPECT_EQ(leggi(percorso("uscita.csv")), vecchio);
        EXPECT_EQ(leggi(percorso("uscita.varimo")), vecchio);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 5);  // no stray temporary file
}

}  // namespace
}  // namespace varimo::quadro
