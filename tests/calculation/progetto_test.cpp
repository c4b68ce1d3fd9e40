#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <ostream>
#include <random>
#include <vector>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "common/testiprogramma.h"
#include "support/generatore_calcolo.h"
#include "support/interazione_finta.h"

using namespace varimo;

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

// Everything a user or the next operation can read from the window, through
// the state's public readers (not through the snapshot under test).
struct Lettura {
    QStringList testi;
    std::vector<double> numeri;
    bool operator==(const Lettura&) const = default;
};

Lettura leggi(const StatoCalcolo& s) {
    Lettura l;
    for (int i = 1; i <= kVoci; ++i) {
        const Riferimento& r = s.riferimento(i);
        l.testi << s.tipo(i) << s.costo(i) << s.percentuale(i) << r.testo << r.voci.join(u'|')
                << s.vocerif[i].toString() << QString::number(s.vocerif[i].isValid())
                << s.costorif[i].toString() << QString::number(s.costorif[i].isValid());
        l.numeri.push_back(s.scorrimento(i));
        l.numeri.push_back(r.posizione);
        l.numeri.push_back(s.centesimi[i]);
    }
    l.testi << s.progetto() << s.costoprogetto() << s.centesimi20;
    l.numeri.push_back(s.senzaVincoloVisibile());
    l.numeri.push_back(static_cast<int>(s.statovincolo));
    return l;
}

std::string descrivi(const Lettura& l) {
    return l.testi.join(QStringLiteral(" ; ")).toStdString();
}

void PrintTo(const Lettura& l, std::ostream* os) {
    *os << descrivi(l);
}

// One operation of the user, drawn at random, that can be applied the same
// way to several windows.
struct Mossa {
    int tipo = 0;
    int riga = 1;
    int valore = 0;
    QString testo;
};

// The operations' choices come from the shared seeded generator; amounts
// here include an unreadable one, which the history must carry as typed.
class GeneratoreMosse : public test::Generatore {
  public:
    using test::Generatore::Generatore;
    QString importoAncheIllegibile() {
        switch (tra(0, 5)) {
            case 0:
                return QStringLiteral("0");
            case 1:
                return QString::number(tra(1, 999)) + u',' + QString::number(tra(10, 99));
            case 2:
                return QStringLiteral("12x");  // unreadable
            default:
                return QString::number(tra(1, 200000));
        }
    }
    Mossa mossa() {
        Mossa m;
        m.tipo = tra(0, 12);
        switch (m.tipo) {
            case 0:
            case 1:
                m.riga = rigaLibera();
                m.testo = importoAncheIllegibile();
                break;
            case 2:
            case 3:
                m.riga = rigaPercentuale();
                m.valore = tra(-1, 17);
                break;
            case 4:
            case 5:
                m.riga = rigaPercentuale();
                m.valore = tra(0, 3) == 0 ? tra(0, 100) : tra(0, 30);
                break;
            case 6:
                m.testo = tra(0, 3) == 0 ? QString() : QString::number(tra(1, 300000));
                break;
            case 7:
                m.riga = rigaLibera();
                break;
            case 8:
                m.riga = tra(0, 1) == 0 ? rigaLibera() : rigaPercentuale();
                m.valore = tra(0, 1);
                m.testo = QString(tra(1, 55), QLatin1Char('a' + tra(0, 25)));
                break;
            case 9:
                m.valore = tra(0, 3);
                break;
            case 10:
                m.riga = rigaPercentuale();
                m.valore = tra(0, 100);
                break;
            default:
                m.valore = tra(0, 2);
                m.riga = rigaLibera();
                m.testo = importoAncheIllegibile();
                break;
        }
        return m;
    }
};

// A calculation window without widgets: its project, with its calculation
// and its history.
struct Finestra {
    Progetto progetto;
    StatoCalcolo& stato = progetto.calcolo();
    Progetto* storia = &progetto;

    Finestra() { progetto.avvia(); }
    void esegui(const std::function<void()>& f) { f(); }
    Lettura lettura() {
        Lettura l;
        esegui([&] { l = leggi(stato); });
        return l;
    }

    // The operation as the user makes it: typing joins its keystrokes, a
    // drag its moves; the focus moves on afterwards.
    void applica(const Mossa& m) {
        esegui([&] {
            Progetto& st = *storia;
            switch (m.tipo) {
                case 0:
                case 1:
                    for (qsizetype k = 1; k <= m.testo.size(); ++k)
                        st.scriviCosto(m.riga, m.testo.left(k));
                    if (m.testo.isEmpty()) st.scriviCosto(m.riga, {});
                    break;
                case 2:
                case 3:
                    st.scegliRiferimento(m.riga, m.valore);
                    break;
                case 4:
                    st.scriviScorrimento(m.riga, m.valore);
                    break;
                case 5: {  // a drag, passing every value on its way
                    const int da = stato.scorrimento(m.riga);
                    const int passo = m.valore >= da ? 1 : -1;
                    for (int v = da; v != m.valore; v += passo)
                        st.scriviScorrimento(m.riga, v + passo, true);
                    break;
                }
                case 6:
                    st.scriviCostoprogetto({});
                    for (qsizetype k = 1; k <= m.testo.size(); ++k)
                        st.scriviCostoprogetto(m.testo.left(k));
                    break;
                case 7:
                    st.cancellaRiga(m.riga);
                    break;
                case 8:
                    if (m.valore == 0)
                        st.scriviTipo(m.riga, m.testo);
                    else
                        st.scriviTestoRiferimento(m.riga, m.testo.left(3));
                    break;
                case 9:
                    if (m.valore == 0)
                        st.cancellaTutto();
                    else
                        st.spegniVincolo();
                    break;
                case 10:  // the rework from the framework window
                    st.registraPasso(QStringLiteral("rielaborazione"), [this] {
                        stato.statovincolo = StatoVincolo::InAttesa;
                        stato.impostaSenzaVincoloVisibile(true);
                    });
                    break;
                default:  // operations that do not name themselves
                    if (m.valore == 0)
                        stato.scriviCostoprogetto(stato.progetto());  // the hand-off
                    else if (m.valore == 1)
                        stato.scriviCosto(m.riga, m.testo);
                    else
                        stato.controllaDati();  // changes nothing
                    break;
            }
            st.interrompiUnione();
        });
    }
};

// Random sequences of the user's operations. Each operation makes one step
// when it changes anything and none when it does not: the writes that
// handlers and passes make by themselves never make one. Undoing every step
// gives back each earlier state exactly, down to the start, without a single
// pass of the recalculation; redoing them all gives back each later state.
// A window brought back by undo and redo then behaves exactly like one that
// never went back: the same further operations give the same results, so
// nothing that the next pass reads was left behind.
TEST(StoriaProgetto, AnnullaERipetiOgniSequenza) {
    constexpr int kSequenze = 150;
    constexpr int kMosse = 18;
    test::InterazioneFinta finta;
    int passiVisti = 0;
    int senzaEffetto = 0;
    for (int n = 0; n < kSequenze; ++n) {
        GeneratoreMosse g(static_cast<unsigned>(n) * 104729u + 7u);
        Finestra a;
        Finestra gemella;
        ASSERT_EQ(a.lettura(), gemella.lettura());
        EXPECT_FALSE(a.storia->modificato());

        std::vector<Lettura> stati{a.lettura()};
        std::vector<Mossa> mosse;
        QStringList traccia{QStringLiteral("seme %1").arg(n)};
        for (int k = 0; k < kMosse; ++k) {
            const Mossa m = g.mossa();
            mosse.push_back(m);
            traccia
                << QStringLiteral("%1/%2/%3/%4").arg(m.tipo).arg(m.riga).arg(m.valore).arg(m.testo);
            SCOPED_TRACE(traccia.join(QStringLiteral(", ")).toStdString());
            const int prima = a.storia->passiAnnullabili();
            a.applica(m);
            gemella.applica(m);
            const Lettura dopo = a.lettura();
            ASSERT_EQ(dopo, gemella.lettura());
            if (dopo == stati.back()) {
                ASSERT_EQ(a.storia->passiAnnullabili(), prima);
                ++senzaEffetto;
            } else {
                ASSERT_EQ(a.storia->passiAnnullabili(), prima + 1);
                ASSERT_FALSE(a.storia->nomeAnnulla().isEmpty());
                stati.push_back(dopo);
            }
            ASSERT_EQ(a.storia->passiRipetibili(), 0);
        }
        SCOPED_TRACE(traccia.join(QStringLiteral(", ")).toStdString());
        passiVisti += a.storia->passiAnnullabili();
        ASSERT_EQ(a.storia->modificato(), stati.size() > 1);

        // Back to the start, one step at a time, with no recalculation.
        a.stato.azzeraContatori();
        for (auto it = stati.rbegin() + 1; it != stati.rend(); ++it) {
            ASSERT_TRUE(a.storia->puoAnnullare());
            a.esegui([&] { a.storia->annulla(); });
            const Lettura l = a.lettura();
            ASSERT_EQ(l, *it) << descrivi(l) << "\n" << descrivi(*it);
        }
        EXPECT_FALSE(a.storia->puoAnnullare());
        EXPECT_FALSE(a.storia->modificato());
        // Forward again to the end.
        for (auto it = stati.begin() + 1; it != stati.end(); ++it) {
            ASSERT_TRUE(a.storia->puoRipetere());
            a.esegui([&] { a.storia->ripeti(); });
            ASSERT_EQ(a.lettura(), *it);
        }
        EXPECT_FALSE(a.storia->puoRipetere());
        EXPECT_EQ(a.stato.passiAnnidati(), 0);
        EXPECT_EQ(a.storia->modificato(), stati.size() > 1);

        // Undo and redo of a single step in the middle.
        const int meta = static_cast<int>(stati.size()) / 2;
        for (int k = static_cast<int>(stati.size()) - 1; k > meta; --k)
            a.esegui([&] { a.storia->annulla(); });
        ASSERT_EQ(a.lettura(), stati[static_cast<size_t>(meta)]);
        if (meta > 0) {
            a.esegui([&] { a.storia->annulla(); });
            ASSERT_EQ(a.lettura(), stati[static_cast<size_t>(meta - 1)]);
            a.esegui([&] { a.storia->ripeti(); });
            ASSERT_EQ(a.lettura(), stati[static_cast<size_t>(meta)]);
        }
        while (a.storia->puoRipetere()) a.esegui([&] { a.storia->ripeti(); });

        // The same further operations on the window brought back and on its
        // twin, which never went back.
        for (int k = 0; k < 8; ++k) {
            const Mossa m = g.mossa();
            a.applica(m);
            gemella.applica(m);
            ASSERT_EQ(a.lettura(), gemella.lettura()) << "further operation " << k;
        }
        // And after undoing everything, the start state behaves as new.
        while (a.storia->puoAnnullare()) a.esegui([&] { a.storia->annulla(); });
        Finestra nuova;
        ASSERT_EQ(a.lettura(), nuova.lettura());
        for (int k = 0; k < 8; ++k) {
            const Mossa m = g.mossa();
            a.applica(m);
            nuova.applica(m);
            ASSERT_EQ(a.lettura(), nuova.lettura()) << "operation from the start " << k;
        }
    }
    // The sequences make many steps and also operations that change nothing.
    EXPECT_GT(passiVisti, kSequenze * kMosse / 2);
    EXPECT_GT(senzaEffetto, 0);
}

// Keystrokes in one box are one step, a drag is one step, the focus moving
// on (or an undo, or a save) starts a new one; the unsaved mark follows the
// saved state through undo and redo, and a new step after an undo drops what
// could be redone.
TEST(StoriaProgetto, TastiUnitiEStatoSalvato) {
    test::InterazioneFinta finta;
    Finestra f;
    Progetto& st = *f.storia;
    StatoCalcolo& s = f.stato;
    for (const char* t : {"1", "12", "120", "1200"}) st.scriviCosto(3, QString::fromLatin1(t));
    EXPECT_EQ(st.passiAnnullabili(), 1);
    st.scriviCosto(5, QStringLiteral("7"));  // another box: a new step
    EXPECT_EQ(st.passiAnnullabili(), 2);
    st.interrompiUnione();
    st.scriviCosto(5, QStringLiteral("70"));  // the same box after the focus left it
    EXPECT_EQ(st.passiAnnullabili(), 3);
    st.interrompiUnione();
    st.scegliRiferimento(17, 2);  // S as a percentage of C
    for (int v = 1; v <= 40; ++v) st.scriviScorrimento(17, v, true);
    st.interrompiUnione();
    EXPECT_EQ(st.passiAnnullabili(), 5);
    EXPECT_EQ(s.costo(17), "480");
    st.scriviScorrimento(17, 41);
    st.scriviScorrimento(17, 42);  // single moves are steps of their own
    EXPECT_EQ(st.passiAnnullabili(), 7);
    // Typed and typed away again within one step: nothing is left to undo.
    st.interrompiUnione();
    st.scriviCosto(3, QStringLiteral("12005"));
    st.scriviCosto(3, QStringLiteral("1200"));
    EXPECT_EQ(st.passiAnnullabili(), 7);

    EXPECT_TRUE(st.modificato());
    st.segnaSalvato();
    EXPECT_FALSE(st.modificato());
    const Lettura salvata = f.lettura();
    st.annulla();
    st.annulla();
    EXPECT_TRUE(st.modificato());
    EXPECT_EQ(s.scorrimento(17), 40);
    st.ripeti();
    st.ripeti();
    EXPECT_FALSE(st.modificato());
    EXPECT_EQ(f.lettura(), salvata);
    // Typing after a save is a new step, even in the box typed last.
    st.scriviCosto(6, QStringLiteral("12000"));
    EXPECT_EQ(st.passiAnnullabili(), 8);
    st.annulla();
    EXPECT_FALSE(st.modificato());
    st.annulla();
    st.scriviCosto(1, QStringLiteral("5"));  // a new step: redo is gone
    EXPECT_FALSE(st.puoRipetere());
    EXPECT_TRUE(st.modificato());  // the saved state is out of reach
    while (st.puoAnnullare()) st.annulla();
    EXPECT_TRUE(st.modificato());
    EXPECT_EQ(f.lettura(), Finestra().lettura());

    // The stack keeps its most recent steps.
    st.svuota();
    EXPECT_FALSE(st.modificato());
    for (int k = 0; k < Progetto::kPassiConservati + 20; ++k) {
        st.scriviCosto(2, QString::number(k + 1));
        st.interrompiUnione();
    }
    EXPECT_EQ(st.passiAnnullabili(), Progetto::kPassiConservati);
    EXPECT_GE(Progetto::kPassiConservati, 100);
    while (st.puoAnnullare()) st.annulla();
    EXPECT_EQ(s.costo(2), "20");
    EXPECT_TRUE(st.modificato());
}

// A constrained total brought back by undo is the one an operation stopped at
// a bound falls back to, as if it had been typed last.
TEST(StoriaProgetto, VincoloRipristinatoDopoUnaInterruzione) {
    test::InterazioneFinta finta;
    Finestra tornata;
    Finestra diretta;
    tornata.esegui([&] {
        tornata.storia->scriviCostoprogetto(QStringLiteral("1000"));
        tornata.storia->interrompiUnione();
        tornata.storia->scriviCostoprogetto(QStringLiteral("2000"));
        tornata.storia->annulla();
    });
    diretta.esegui([&] { diretta.storia->scriviCostoprogetto(QStringLiteral("1000")); });
    ASSERT_EQ(tornata.lettura(), diretta.lettura());
    // B and C = 100 % of A: the halving cannot converge, the search in cents
    // ends the descent in both alike.
    for (Finestra* f : {&tornata, &diretta}) {
        f->esegui([&] {
            for (int i : {2, 3}) {
                f->storia->scegliRiferimento(i, 0);
                f->storia->scriviScorrimento(i, 100);
            }
        });
        EXPECT_EQ(f->stato.progetto(), "1000,02");
    }
    EXPECT_EQ(tornata.stato.costoprogetto(), "1000");
    EXPECT_EQ(tornata.lettura(), diretta.lettura());
}

// Random edits, undos, redos, saves and opens through the file commands. The
// unsaved mark is exactly "not at the step last saved or opened" (the saved
// step is lost once a new step replaces it); whenever the project counts as
// saved after a save, saving it again would write the very bytes on disk; an
// Open is one step whose undo gives back the previous work with its file.
TEST(StoriaProgetto, SegnoDelleModificheFileEStoriaConcordano) {
    test::InterazioneFinta finta;
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    const auto contenuto = [](const QString& percorso) {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    int salvataggi = 0, aperture = 0, annullati = 0;
    for (unsigned seme = 1; seme <= 25; ++seme) {
        std::mt19937 rng(seme);
        const auto tra = [&](int a, int b) {
            return std::uniform_int_distribution<int>(a, b)(rng);
        };
        Progetto p;
        p.avvia();
        p.impostaNome(QStringLiteral("Prova %1").arg(seme));
        ComandiFile comandi(p);
        int pulito = 0;              // the saved step, -1 once out of reach
        bool pulitoDaSalva = false;  // the saved step was made by a save
        QStringList salvati;
        for (int k = 0; k < 60; ++k) {
            SCOPED_TRACE(testing::Message() << "seme " << seme << ", mossa " << k);
            switch (tra(0, 9)) {
                case 0:
                case 1:
                case 2: {
                    const int prima = p.passiAnnullabili();
                    const int riga = tra(0, 2) == 0 ? 17 : tra(1, 3);
                    if (riga == 17) {
                        p.scegliRiferimento(17, 0);
                        p.scriviScorrimento(17, tra(0, 30));
                    } else {
                        for (const QChar c : QString::number(tra(1, 99999)))
                            p.scriviCosto(riga, p.calcolo().costo(riga) + c);
                    }
                    p.interrompiUnione();
                    // A new step drops the saved one when it could be redone.
                    if (p.passiAnnullabili() > prima && pulito > prima) pulito = -1;
                    break;
                }
                case 3:
                case 4:
                    if (p.puoAnnullare()) ++annullati;
                    p.annulla();
                    break;
                case 5:
                    p.ripeti();
                    break;
                case 6:
                case 7: {
                    const QString file =
                        cartella.filePath(QStringLiteral("Varimo-dati-%1-%2").arg(seme).arg(k));
                    test::InterazioneFinta scelta;  // its choice goes with it
                    scelta.scegliFile(file);
                    if (!comandi.salvaConNome()) break;  // the data check refused it
                    ++salvataggi;
                    salvati << file;
                    EXPECT_EQ(p.percorso(), file);
                    pulito = p.passiAnnullabili();
                    pulitoDaSalva = true;
                    break;
                }
                default: {
                    if (salvati.isEmpty()) break;
                    const QString file = salvati.at(tra(0, static_cast<int>(salvati.size()) - 1));
                    const QString percorsoPrima = p.percorso();
                    const bool modificatoPrima = p.modificato();
                    // The lock file is this program's own: nothing is asked.
                    ASSERT_TRUE(comandi.apriPercorso(file));
                    ++aperture;
                    // One step, or none when the project on screen was that
                    // file already.
                    ASSERT_LE(p.passiAnnullabili(), 1);
                    EXPECT_FALSE(p.modificato());
                    EXPECT_EQ(p.percorso(), file);
                    if (p.puoAnnullare()) {
                        p.annulla();  // back to the previous work, with its file name
                        EXPECT_EQ(p.percorso(), percorsoPrima);
                        EXPECT_TRUE(p.modificato() || !modificatoPrima);
                        p.ripeti();
                        EXPECT_EQ(p.percorso(), file);
                    }
                    pulito = p.passiAnnullabili();
                    pulitoDaSalva = false;
                    break;
                }
            }
            ASSERT_EQ(p.modificato(), p.passiAnnullabili() != pulito);
            if (!p.modificato() && pulitoDaSalva && !p.percorso().isEmpty()) {
                const EsitoScrittura ora = scriviProgettoFile(p.comeFile());
                ASSERT_TRUE(ora.riuscito());
                EXPECT_EQ(QString::fromLatin1(ora.contenuto).toStdString(),
                          QString::fromLatin1(contenuto(p.percorso())).toStdString());
            }
        }
    }
    EXPECT_GT(salvataggi, 20);
    EXPECT_GT(aperture, 20);
    EXPECT_GT(annullati, 50);
}

}  // namespace
