// The framework's document as a long session uses it: random edits of every
// kind undone back to the opened file byte for byte and redone, the memory a
// thousand edits of a twenty-thousand-item framework take, and a file the
// program opened always saving into one it opens again.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <random>

#include "quadro/documentoquadro.h"
#include "quadro/formatofasi.h"
#include "quadro/formatoquadro.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's runtime counts the heap it owns.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace varimo::quadro {
namespace {

// Heap in use, in bytes: the sanitizer's count when it owns the heap; -1
// where the C library cannot tell.
qint64 heapInUso() {
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#elif defined(__GLIBC__)
    const struct mallinfo2 m = ::mallinfo2();
    return qint64(m.uordblks + m.hblkhd);
#else
    return -1;
#endif
}

// `totale` items in all: sections of up to 99 amount items, a percentage
// item and a fixed total absorbed by the last amount.
FileFasi grande(int fasi, int totale) {
    Quadro q;
    int restano = totale - 2;
    for (int s = 0; restano > 0; ++s) {
        Voce sez;
        sez.tipo = Tipo::Sezione;
        sez.codice = QStringLiteral("S%1").arg(s);
        sez.etichetta = QStringLiteral("Sezione %1 dei lavori").arg(s);
        --restano;
        for (int v = 0; v < 99 && restano > 0; ++v, --restano) {
            Voce i;
            i.codice = QStringLiteral("S%1.%2").arg(s).arg(v);
            i.etichetta = QStringLiteral("Lavorazione %1 della sezione %2").arg(v).arg(s);
            i.importo = 100000 + 37 * v + s;
            sez.voci.append(i);
        }
        q.voci.append(sez);
    }
    Voce p;
    p.codice = QStringLiteral("P");
    p.etichetta = QStringLiteral("Spese tecniche");
    p.tipo = Tipo::Percentuale;
    p.percentuale = 2000;
    p.di = {QStringLiteral("S0")};
    q.voci.append(p);
    Voce i;
    i.codice = QStringLiteral("I");
    i.etichetta = QStringLiteral("Imprevisti");
    q.voci.append(i);
    q.vincolo.compensa = QStringLiteral("I");
    FileFasi f;
    f.intestazione.titolo = QStringLiteral("Manutenzione straordinaria delle strade");
    for (int k = 0; k < fasi; ++k) {
        Fase fase;
        fase.nome = QStringLiteral("Fase %1").arg(k + 1);
        fase.quadro = q;
        f.fasi.append(fase);
    }
    return f;
}

QString scrivi(const QTemporaryDir& dir, const QString& nome, const QByteArray& dati) {
    const QString p = dir.filePath(nome);
    QFile f(p);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(dati);
    return p;
}

TEST(DocumentoQuadro, ModificheACasoAnnullateRidannoIlFileApertoByteAByte) {
    QTemporaryDir dir;
    const QString percorso = scrivi(dir, "strade.varimo", scriviFasi(grande(2, 60)));
    DocumentoQuadro d;
    ASSERT_FALSE(d.apri(percorso));
    const QByteArray aperto = scriviFasi(d.fasi());
    std::mt19937 caso(20261208);
    auto tra = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(caso)); };
    int fatte = 0;
    for (int k = 0; k < 400; ++k) {
        const auto tutte = vociInOrdine(d.quadro());
        const Percorso p = tutte[tra(int(tutte.size()))].percorso;
        EsitoModifica e;
        switch (tra(9)) {
            case 0:
                e = d.modificaQuadro("importo", [&](Quadro& q) {
                    if (Voce* v = voceA(q, p); v && v->tipo == Tipo::Importo)
                        v->importo = tra(5000000);
                    return EsitoModifica();
                });
                break;
            case 1:
                e = d.modificaQuadro("nuova", [&](Quadro& q) { return aggiungiVoce(q, p, tra(2)); });
                break;
            case 2:
                e = d.modificaQuadro("via", [&](Quadro& q) { return rimuoviVoce(q, p); });
                break;
            case 3:
                e = d.modificaQuadro("rientra", [&](Quadro& q) { return rientraVoce(q, p); });
                break;
            case 4:
                e = d.modificaQuadro("sporgi", [&](Quadro& q) { return sporgiVoce(q, p); });
                break;
            case 5:
                e = d.modificaQuadro("sposta",
                                     [&](Quadro& q) { return spostaVoce(q, p, tra(2) ? 1 : -1); });
                break;
            case 6:
                e = d.modificaQuadro("vincolo", [&](Quadro& q) {
                    q.vincolo.totale = d.valutazione().totale + tra(100000);
                    return EsitoModifica();
                });
                break;
            case 7:
                e = d.modifica("intestazione", [&](FileQuadro& f) {
                    f.intestazione.cup = QString::number(tra(100000));
                    return EsitoModifica();
                });
                break;
            default: {
                FileFasi f = d.fasi();
                const int altra = 1 - d.faseCorrente();
                if (tra(3) == 0) {
                    f.fasi[altra].nome += QStringLiteral("'");
                    d.modificaFasi("dati della fase", f, altra);
                } else {
                    d.scegliFase(altra);
                }
                break;
            }
        }
        if (!e) ++fatte;
    }
    ASSERT_GT(fatte, 150);
    ASSERT_LE(d.storia().count(), DocumentoQuadro::kPassiConservati);
    const QByteArray dopo = scriviFasi(d.fasi());
    while (d.storia().canUndo()) d.storia().undo();
    EXPECT_EQ(scriviFasi(d.fasi()), aperto);
    EXPECT_FALSE(d.modificato());
    while (d.storia().canRedo()) d.storia().redo();
    EXPECT_EQ(scriviFasi(d.fasi()), dopo);
}

// A thousand edits of a twenty-thousand-item framework take less memory
// than the opened framework itself: each undo step keeps what its edit
// changed, not the framework.
TEST(DocumentoQuadro, MilleModificheDiUnQuadroDiVentimilaVociNonRaddoppianoLaMemoria) {
    if (heapInUso() < 0) GTEST_SKIP() << "the heap in use cannot be read here";
    QTemporaryDir dir;
    const QString percorso = scrivi(dir, "grande.varimo", scriviFasi(grande(1, kVociMassime)));
    const qint64 primaDiAprire = heapInUso();
    auto d = std::make_unique<DocumentoQuadro>();
    ASSERT_FALSE(d->apri(percorso));
    const qint64 aperto = heapInUso();
    const qint64 documento = aperto - primaDiAprire;
    for (int k = 0; k < 1000; ++k) {
        const Percorso p{(k * 7) % 199, (k * 13) % 99};  // section, item
        ASSERT_FALSE(d->modificaQuadro("importo", [&](Quadro& q) {
            voceA(q, p)->importo = 500000 + k;
            return EsitoModifica();
        }));
    }
    const qint64 crescita = heapInUso() - aperto;
    EXPECT_LT(crescita, documento) << "aperto " << documento << " B, dopo 1000 modifiche +"
                                   << crescita << " B";
}

// A framework that opened always saves: five phases of 19,999 items, which
// the indented writing would take past the size the reader takes, are
// written so that they open again; a framework the reader would refuse is
// refused at save, and the file on disk stays as it was.
TEST(DocumentoQuadro, CioCheSiEApertoSiSalvaESiRiapre) {
    QTemporaryDir dir;
    const FileFasi f = grande(5, kVociMassime - 1);
    const QJsonDocument compatto = QJsonDocument::fromJson(scriviFasi(f));
    const QString percorso =
        scrivi(dir, "cinque.varimo", compatto.toJson(QJsonDocument::Compact));
    DocumentoQuadro d;
    ASSERT_FALSE(d.apri(percorso));
    ASSERT_GT(scriviFasi(d.fasi()).size(), kDimensioneMassima);
    ASSERT_FALSE(d.modificaQuadro("importo", [&](Quadro& q) {
        voceA(q, *percorsoDi(q, "S3.4"))->importo = 123456;
        return EsitoModifica();
    }));
    ASSERT_FALSE(d.salva(percorso));
    DocumentoQuadro riaperto;
    ASSERT_FALSE(riaperto.apri(percorso));
    EXPECT_EQ(scriviFasi(riaperto.fasi()), scriviFasi(d.fasi()));

    // One item past the reader's limit: refused, and the file is untouched.
    QFile prima(percorso);
    ASSERT_TRUE(prima.open(QIODevice::ReadOnly));
    const QByteArray suDisco = prima.readAll();
    prima.close();
    for (int k = 0; k < 2; ++k)
        ASSERT_FALSE(d.modificaQuadro("nuova", [&](Quadro& q) {
            return aggiungiVoce(q, *percorsoDi(q, "S3.4"), false);
        }));
    const auto errore = d.salva(percorso);
    ASSERT_TRUE(errore);
    EXPECT_TRUE(errore->contains(QString::number(kVociMassime))) << errore->toStdString();
    QFile dopo(percorso);
    ASSERT_TRUE(dopo.open(QIODevice::ReadOnly));
    EXPECT_EQ(dopo.readAll(), suDisco);
}

}  // namespace
}  // namespace varimo::quadro
