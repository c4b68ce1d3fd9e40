// The spreadsheets' formulas as the RUP's office uses them: LibreOffice Calc
// opens the .xlsx after a cell was changed (the discount of an award, a typed
// amount of a framework with a fixed total, an amount of a compared phase),
// recalculates, and must find what the program computes for the same change,
// to the cent. Texts and formulas past a spreadsheet's limits, and phases
// named with characters no XML holds, still give files Calc reads.

#include <gtest/gtest.h>
#include <zip.h>

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <functional>

#include "quadro/documentiquadro.h"
#include "quadro/esempi_documenti.h"
#include "quadro/esempi_fasi.h"
#include "quadro/foglioconfronto.h"
#include "reports/caratteri.h"
#include "reports/foglioquadro.h"
#include "reports/lettore_docx.h"
#include "reports/lettore_foglio.h"

namespace varimo::test {
namespace {

constexpr int kColonnaImporto = 4;
constexpr int kPrimaVoce = kRigaIntestazioneColonne + 1;

Centesimi centesimi(const CellaFoglio& c) {
    return c.valore ? static_cast<Centesimi>(std::llround(*c.valore * 100)) : Q_INT64_C(-1);
}

bool scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly) && f.write(dati) == dati.size();
}

// A copy of the .xlsx `da` as `a`, with the value of the first cell of its
// sheet that `scelta` accepts (its address, its value) set to `valore`, as a
// user typing in Calc would. The address of the cell changed; empty when no
// cell was accepted or the copy failed.
QString cambiaCella(const QString& da, const QString& a,
                    const std::function<bool(const QString&, double)>& scelta,
                    const QString& valore) {
    const char* parte = "xl/worksheets/sheet1.xml";
    const auto xml = parteDocx(da, parte);
    if (!xml) return {};
    QString testo = QString::fromUtf8(*xml);
    static const QRegularExpression numero(
        QStringLiteral(R"x(<c r="([A-Z]+[0-9]+)"([^>]*)><v>([^<]*)</v></c>)x"));
    QString indirizzo;
    for (auto m = numero.globalMatch(testo); m.hasNext();) {
        const auto x = m.next();
        if (x.captured(2).contains(QLatin1String("t=\""))) continue;  // a text
        bool numerico = false;
        const double v = x.captured(3).toDouble(&numerico);
        if (!numerico || !scelta(x.captured(1), v)) continue;
        indirizzo = x.captured(1);
        testo.replace(x.capturedStart(3), x.capturedLength(3), valore);
        break;
    }
    if (indirizzo.isEmpty()) return {};
    QFile::remove(a);
    if (!QFile::copy(da, a)) return {};
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(a).constData(), 0, &err);
    if (!z) return {};
    const QByteArray nuovo = testo.toUtf8();
    zip_source_t* sorgente = zip_source_buffer(z, nuovo.constData(), nuovo.size(), 0);
    const zip_int64_t indice = zip_name_locate(z, parte, 0);
    const bool sostituita =
        sorgente && indice >= 0 &&
        zip_file_replace(z, static_cast<zip_uint64_t>(indice), sorgente, ZIP_FL_ENC_UTF_8) == 0;
    if (!sostituita && sorgente) zip_source_free(sorgente);
    return zip_close(z) == 0 && sostituita ? indirizzo : QString();
}

QString cellaD(int riga) {
    return QStringLiteral("D") + QString::number(riga);
}

// The award of a phase as its documents see it, with what its spreadsheet
// needs besides: the discount, and for every item the discount reduces its
// project amount and the labour kept out of the discount.
QuadroEsportato perFoglio(const quadro::FileFasi& f, int fase, const quadro::Aggiudicazione& a,
                          Millesimi ribasso) {
    quadro::QuadroCalcolato c;
    c.file.intestazione = f.intestazione;
    c.file.quadro = a.quadro;
    c.valutazione = a.valutazione;
    QuadroEsportato q = quadro::perDocumenti(c);
    q.ribasso = ribasso;
    const quadro::Fase& progetto = f.fasi.at(fase);
    for (const quadro::VoceInOrdine& x : quadro::vociInOrdine(progetto.quadro)) {
        if (x.voce->tipo != Tipo::Importo || !quadro::ribassabile(progetto.quadro, x.percorso))
            continue;
        for (VoceEsportata& v : q.voci) {
            if (v.codice != x.voce->codice) continue;
            const Centesimi prima = a.gara.value(v.codice);
            v.centesimiPrimaDelRibasso = prima;
            v.manodoperaEsclusa =
                progetto.ribassaManodopera
                    ? 0
                    : std::clamp<Centesimi>(quadro::manodopera(*x.voce).value_or(0), 0,
                                            std::max<Centesimi>(prima, 0));
        }
    }
    return q;
}

quadro::Aggiudicazione aggiudicata(const quadro::FileFasi& f, int fase, Millesimi ribasso) {
    auto a = quadro::aggiudica(f.fasi.at(fase).quadro, ribasso, f.fasi.at(fase).ribassaManodopera,
                               quadro::riferimentiFase(f, fase));
    if (const auto* p = std::get_if<quadro::Problema>(&a)) {
        ADD_FAILURE() << p->messaggio.toStdString();
        return {};
    }
    return std::get<quadro::Aggiudicazione>(std::move(a));
}

// Every item, the total and the fixed total as Calc computed them, against
// the amounts the program gives for the same framework (by code).
void controllaImporti(const FoglioLetto& f, const QuadroEsportato& q,
                      const QHash<QString, Centesimi>& importi, Centesimi totale,
                      const std::string& nome) {
    ASSERT_TRUE(f.errore.isEmpty()) << nome << ": " << f.errore.toStdString();
    for (int i = 0; i < q.voci.size(); ++i)
        EXPECT_EQ(centesimi(f.cella(kPrimaVoce + i, kColonnaImporto)),
                  importi.value(q.voci.at(i).codice))
            << nome << " " << q.voci.at(i).codice.toStdString();
    const int rigaTotale = kPrimaVoce + static_cast<int>(q.voci.size());
    EXPECT_EQ(centesimi(f.cella(rigaTotale, kColonnaImporto)), totale) << nome;
    if (q.totaleFisso) {
        EXPECT_EQ(centesimi(f.cella(rigaTotale + 1, kColonnaImporto)), *q.totaleFisso) << nome;
    }
}

// The school's award at 18,735 %, with labour kept out of the discount and a
// discounted deduction whose reduced amount falls on exactly half a cent: as
// written, and with its discount cell changed to 25 % and to 0 %. Calc gives
// the program's award at each discount: every item, the contract amount and
// a total that stays at the funding.
TEST(FogliFormule, AggiudicazioneSegueIlRibassoCambiatoInCalc) {
    const QString mancano = strumentiMancanti({"soffice"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "manca " << mancano.toStdString();
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());

    quadro::FileFasi f = quadro::esempi::scuola();
    quadro::Voce* lavori = quadro::trovaVoce(f.fasi[0].quadro, QStringLiteral("A.1"));
    ASSERT_TRUE(lavori);
    quadro::impostaManodopera(*lavori, 15000000);
    // -100,00 reduced by 18,735 % is -81,265: half a cent, up to -81,26.
    quadro::Voce* sezioneA = quadro::trovaVoce(f.fasi[0].quadro, QStringLiteral("A"));
    ASSERT_TRUE(sezioneA);
    sezioneA->voci << quadro::esempi::importo(QStringLiteral("A.3"), QStringLiteral("Detrazione"),
                                              -10000);
    const int g = std::get<int>(quadro::nuovaFase(f, 0, quadro::TipoFase::Aggiudicazione,
                                                  QStringLiteral("Aggiudicazione"),
                                                  QStringLiteral("2026-07-01")));
    const Millesimi ribasso = 18735;
    f.fasi[g].ribasso = ribasso;
    const auto fase = std::get<quadro::FaseCalcolata>(quadro::calcolaFase(f, g));
    ASSERT_TRUE(fase.aggiudicazione);
    const quadro::Aggiudicazione& a = *fase.aggiudicazione;
    const QuadroEsportato q = perFoglio(f, g, a, ribasso);
    EXPECT_EQ(q.voci.at(3).centesimi, -8126);

    const QString scritto = cartella.filePath(QStringLiteral("aggiudicazione.xlsx"));
    QString errore;
    ASSERT_TRUE(scriviFoglioQuadro(q, scritto, &errore)) << errore.toStdString();
    // The discount's cell, found by its value; the same sheet at other
    // discounts.
    const QList<Millesimi> altri = {25000, 0};
    QStringList fogli{scritto};
    QString cellaRibasso;
    for (Millesimi m : altri) {
        fogli << cartella.filePath(QStringLiteral("ribasso%1.xlsx").arg(m));
        cellaRibasso = cambiaCella(
            scritto, fogli.last(),
            [&](const QString& c, double v) {
                return c.startsWith(QLatin1Char('D')) && std::abs(v - ribasso / 1e5) < 1e-12;
            },
            QString::number(m / 1e5, 'g', 17));
        ASSERT_FALSE(cellaRibasso.isEmpty());
    }
    const int rigaRibasso = cellaRibasso.mid(1).toInt();
    ASSERT_GT(rigaRibasso, kPrimaVoce + q.voci.size());

    const QList<FoglioLetto> letti = ricalcolaConLibreOffice(fogli, cartella.path());
    ASSERT_EQ(letti.size(), fogli.size());
    QList<quadro::Aggiudicazione> attese{a};
    for (Millesimi m : altri) attese << aggiudicata(f, g, m);
    for (int k = 0; k < fogli.size(); ++k) {
        const quadro::Aggiudicazione& x = attese.at(k);
        const std::string nome = fogli.at(k).toStdString();
        controllaImporti(letti.at(k), q, x.valutazione.importi, x.totaleFinanziato, nome);
        EXPECT_EQ(x.valutazione.totale, x.totaleFinanziato) << nome;
        // The contract amount under the discount, the economies where the
        // award put them.
        EXPECT_EQ(centesimi(letti.at(k).cella(rigaRibasso + 1, kColonnaImporto)), x.contratto)
            << nome;
        int economie = -1;
        for (int i = 0; i < q.voci.size(); ++i)
            if (q.voci.at(i).codice == x.codiceEconomie) economie = i;
        ASSERT_GE(economie, 0);
        EXPECT_EQ(centesimi(letti.at(k).cella(kPrimaVoce + economie, kColonnaImporto)), x.economie)
            << nome;
    }
    // The discounts really differ in what they give.
    EXPECT_NE(attese.at(0).contratto, attese.at(1).contratto);
    EXPECT_NE(attese.at(1).economie, attese.at(2).economie);
}

// A framework with a fixed total: the school and random ones, each written,
// then with one typed amount changed in its cell. Where no percentage depends
// on the absorbing item, Calc gives the program's framework after the same
// change, its total still the funding; where one does (a percentage of the
// section holding it), the absorbing item stays the amount computed. Then a
// framework past the limits: texts longer than a cell holds, percentages of
// 3,000 items scattered through the sheet and of 3,000 items in a row.
TEST(FogliFormule, TotaleFissoTenutoELimitiDelFoglio) {
    const QString mancano = strumentiMancanti({"soffice"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "manca " << mancano.toStdString();
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());

    // Random ones whose fixed total is absorbed, with a typed amount besides.
    auto modificabile = [](const VoceEsportata& v) {
        return v.tipo == VoceEsportata::Tipo::Importo && !v.compensa && v.centesimi > 1;
    };
    QList<quadro::FileQuadro> quadri{scuola()};
    QRandomGenerator g(7319);
    while (quadri.size() < 20) {
        quadro::FileQuadro f = casuale(g, 8 + static_cast<int>(g.bounded(40)), true);
        const QuadroEsportato q = quadro::perDocumenti(calcolato(f));
        if (std::any_of(q.voci.cbegin(), q.voci.cend(),
                        [](const VoceEsportata& v) { return v.compensa; }) &&
            std::any_of(q.voci.cbegin(), q.voci.cend(), modificabile))
            quadri << f;
    }
    // The school with a percentage of its section B, which holds the
    // contingencies that absorb: no formula can give them.
    quadro::FileQuadro circolare = scuola();
    circolare.quadro.voci << sezione(
        QStringLiteral("C"), QStringLiteral("Altro"),
        {percentuale(QStringLiteral("C.1"), QStringLiteral("Quota"), 1000, {QStringLiteral("B")})});
    quadri << circolare;

    struct Caso {
        QuadroEsportato prima, dopo;
        QString scritto, cambiato;
    };
    QList<Caso> casi;
    QStringList fogli;
    for (int k = 0; k < quadri.size(); ++k) {
        Caso c;
        c.prima = quadro::perDocumenti(calcolato(quadri.at(k)));
        // A typed amount other than the absorbing one, halved.
        QList<int> candidati;
        for (int i = 0; i < c.prima.voci.size(); ++i)
            if (modificabile(c.prima.voci.at(i))) candidati << i;
        ASSERT_FALSE(candidati.isEmpty());
        const int scelta = candidati.at(static_cast<qsizetype>(g.bounded(candidati.size())));
        quadro::FileQuadro dopo = quadri.at(k);
        quadro::Voce* v = quadro::trovaVoce(dopo.quadro, c.prima.voci.at(scelta).codice);
        v->importo /= 2;
        c.dopo = quadro::perDocumenti(calcolato(dopo));
        c.scritto = cartella.filePath(QStringLiteral("q%1.xlsx").arg(k));
        c.cambiato = cartella.filePath(QStringLiteral("q%1-cambiato.xlsx").arg(k));
        QString errore;
        ASSERT_TRUE(scriviFoglioQuadro(c.prima, c.scritto, &errore)) << errore.toStdString();
        const QString indirizzo = cellaD(kPrimaVoce + scelta);
        ASSERT_EQ(cambiaCella(
                      c.scritto, c.cambiato,
                      [&](const QString& cella, double) { return cella == indirizzo; },
                      QString::number(static_cast<double>(v->importo) / 100.0, 'f', 2)),
                  indirizzo);
        fogli << c.scritto << c.cambiato;
        casi << c;
    }

    // Past the limits: 3,000 sections of one amount each, a section of 3,000
    // amounts in a row, percentages of each; a label, a rule and the title
    // longer than a cell holds.
    quadro::FileQuadro grande;
    QStringList sparse, contigue;
    for (int i = 1; i <= 3000; ++i) {
        const QString s = QStringLiteral("S%1").arg(i);
        grande.quadro.voci << sezione(s, s, {importo(s + QStringLiteral(".1"), s, 1000 + i)});
        sparse << s + QStringLiteral(".1");
    }
    Voce fila = sezione(QStringLiteral("R"), QStringLiteral("Fila"), {});
    for (int i = 1; i <= 3000; ++i) {
        fila.voci << importo(QStringLiteral("R.%1").arg(i), QStringLiteral("Riga"), 7 * i + 3);
        contigue << QStringLiteral("R.%1").arg(i);
    }
    grande.quadro.voci << fila
                       << sezione(QStringLiteral("P"), QStringLiteral("Percentuali"),
                                  {percentuale(QStringLiteral("P.1"), QStringLiteral("Sparse"),
                                               22000, sparse),
                                   percentuale(QStringLiteral("P.2"), QStringLiteral("Contigue"),
                                               10500, contigue)});
    QuadroEsportato oltre = quadro::perDocumenti(calcolato(grande));
    const QString lunghissimo = QString(40000, QLatin1Char('x')) + QStringLiteral("fine");
    oltre.intestazione.titolo = lunghissimo;
    oltre.voci[1].etichetta = lunghissimo;
    const qsizetype p1 = oltre.voci.size() - 2;
    oltre.voci[p1].regola = lunghissimo;
    const QString limiti = cartella.filePath(QStringLiteral("limiti.xlsx"));
    QString errore;
    ASSERT_TRUE(scriviFoglioQuadro(oltre, limiti, &errore)) << errore.toStdString();
    fogli << limiti;

    const QList<FoglioLetto> letti = ricalcolaConLibreOffice(fogli, cartella.path());
    ASSERT_EQ(letti.size(), fogli.size());
    int seguiti = 0;  // frameworks whose absorbing item follows the others
    for (int k = 0; k < casi.size(); ++k) {
        const Caso& c = casi.at(k);
        const FoglioLetto& scritto = letti.at(2 * k);
        const FoglioLetto& cambiato = letti.at(2 * k + 1);
        QHash<QString, Centesimi> prima, dopo;
        int assorbe = -1;
        for (int i = 0; i < c.prima.voci.size(); ++i) {
            prima.insert(c.prima.voci.at(i).codice, c.prima.voci.at(i).centesimi);
            dopo.insert(c.dopo.voci.at(i).codice, c.dopo.voci.at(i).centesimi);
            if (c.prima.voci.at(i).compensa) assorbe = i;
        }
        ASSERT_GE(assorbe, 0);
        controllaImporti(scritto, c.prima, prima, c.prima.totale, c.scritto.toStdString());
        const bool formula =
            !scritto.cella(kPrimaVoce + assorbe, kColonnaImporto).formula.isEmpty();
        if (k == 0) {
            EXPECT_TRUE(formula);
        }
        if (k == casi.size() - 1) {
            EXPECT_FALSE(formula);
            continue;
        }
        if (!formula) continue;  // a random percentage of its section
        ++seguiti;
        ASSERT_EQ(*c.dopo.totaleFisso, c.dopo.totale);
        controllaImporti(cambiato, c.dopo, dopo, c.dopo.totale, c.cambiato.toStdString());
    }
    EXPECT_GE(seguiti, 5);

    // The framework past the limits opens, every figure where it belongs;
    // the long texts cut to what a cell holds, from their beginning.
    const FoglioLetto& l = letti.last();
    QHash<QString, Centesimi> importi;
    for (const VoceEsportata& v : oltre.voci) importi.insert(v.codice, v.centesimi);
    controllaImporti(l, oltre, importi, oltre.totale, "limiti.xlsx");
    // No formula of the file is longer than Excel takes.
    const auto xml = parteDocx(limiti, "xl/worksheets/sheet1.xml");
    ASSERT_TRUE(xml);
    static const QRegularExpression formula(QStringLiteral("<f>([^<]*)</f>"));
    qsizetype formule = 0;
    for (auto m = formula.globalMatch(QString::fromUtf8(*xml)); m.hasNext(); ++formule)
        EXPECT_LT(m.next().capturedLength(1), 8192);
    EXPECT_GT(formule, 3000);
    const int rigaP2 = kPrimaVoce + static_cast<int>(p1) + 1;
    EXPECT_TRUE(l.cella(rigaP2, kColonnaImporto).formula.contains(QLatin1Char(':')));
    for (const QString& t :
         {l.cella(kPrimaVoce + 1, 2).testo, l.cella(kPrimaVoce + static_cast<int>(p1), 3).testo}) {
        EXPECT_LE(t.size(), 32767);
        EXPECT_GT(t.size(), 32000);
        EXPECT_TRUE(lunghissimo.startsWith(t.left(32000)));
    }
}

// The school through award and variant, the phases named with a
// noncharacter, a lone half of a surrogate pair and control characters: the
// comparison's .xlsx opens in Calc with the names as the documents' filter
// makes them, every amount, section and total to the cent; with an amount of
// the variant changed in its cell, its section, its total and the difference
// follow.
TEST(FogliFormule, ConfrontoConNomiOstiliSiApreESegueLeModifiche) {
    const QString mancano = strumentiMancanti({"soffice"});
    if (!mancano.isEmpty()) GTEST_SKIP() << "manca " << mancano.toStdString();
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    quadro::FileFasi f = quadro::esempi::scuolaTreFasi();
    const QList<QString> nomi = {
        QStringLiteral("Esecutivo \uFFFE"),
        QStringLiteral("Gara ") + QChar(0xD800) + QStringLiteral(" [1]: a/b"),
        QStringLiteral("Variante \u0001\u001F\uFFFF ") + QString(40, QLatin1Char('v'))};
    for (int i = 0; i < 3; ++i) f.fasi[i].nome = nomi.at(i);
    const quadro::ConfrontoCalcolato cc =
        std::get<quadro::ConfrontoCalcolato>(quadro::calcolaConfronto(f));
    const quadro::Confronto& c = cc.confronto;
    QString errore;
    const auto dati = quadro::foglioConfronto(cc, &errore);
    ASSERT_TRUE(dati) << errore.toStdString();
    const QString scritto = cartella.filePath(QStringLiteral("confronto.xlsx"));
    ASSERT_TRUE(scrivi(scritto, *dati));

    // The variant's works, changed by 1.000,00.
    int lavori = -1, sezione = -1;
    for (int j = 0; j < c.righe.size(); ++j) {
        if (c.righe.at(j).codice == QLatin1String("A.1")) lavori = j;
        if (c.righe.at(j).codice == QLatin1String("A")) sezione = j;
    }
    ASSERT_GE(lavori, 0);
    ASSERT_GE(sezione, 0);
    const int primaRiga = quadro::kRigaColonneConfronto + 1;
    const QString indirizzo = QStringLiteral("E") + QString::number(primaRiga + lavori);
    const Centesimi nuovo = *c.righe.at(lavori).importi.at(2) + 100000;
    const QString cambiato = cartella.filePath(QStringLiteral("cambiato.xlsx"));
    ASSERT_EQ(cambiaCella(
                  scritto, cambiato, [&](const QString& x, double) { return x == indirizzo; },
                  QString::number(static_cast<double>(nuovo) / 100.0, 'f', 2)),
              indirizzo);

    const QList<FoglioLetto> letti = ricalcolaConLibreOffice({scritto, cambiato}, cartella.path());
    ASSERT_EQ(letti.size(), 2);
    for (const FoglioLetto& l : letti) ASSERT_TRUE(l.errore.isEmpty()) << l.errore.toStdString();
    const FoglioLetto& l = letti.first();
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(l.cella(quadro::kRigaColonneConfronto, 3 + k).testo,
                  testoPerDocumenti(nomi.at(k)));
    int riga = primaRiga;
    for (const quadro::RigaConfronto& r : c.righe) {
        for (int k = 0; k < 3; ++k) {
            const CellaFoglio x = l.cella(riga, 3 + k);
            EXPECT_EQ(centesimi(x), r.importi.at(k).value_or(-1)) << r.codice.toStdString();
            if (r.sezione && r.importi.at(k)) {
                EXPECT_TRUE(x.formula.contains(QLatin1String("SUM"))) << r.codice.toStdString();
            }
        }
        ++riga;
    }
    const int rigaTotale = riga + 1;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(centesimi(l.cella(rigaTotale, 3 + k)), c.totali.at(k));

    const FoglioLetto& m = letti.last();
    const Centesimi delta = 100000;
    EXPECT_EQ(centesimi(m.cella(primaRiga + sezione, 5)),
              *c.righe.at(sezione).importi.at(2) + delta);
    EXPECT_EQ(centesimi(m.cella(rigaTotale, 5)), c.totali.at(2) + delta);
    EXPECT_EQ(centesimi(m.cella(rigaTotale, 6)), c.differenzaTotale() + delta);
    EXPECT_EQ(centesimi(m.cella(rigaTotale - 1, 5)), c.contratti.at(2) + delta);
}

}  // namespace
}  // namespace varimo::test
