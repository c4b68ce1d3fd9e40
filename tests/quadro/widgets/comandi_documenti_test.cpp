// The document commands of the framework's window, run as the user runs
// them: the print handed to the word processor, the PDF and the spreadsheet
// through the save dialog, the question before replacing, the failures.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QWidget>

#include "quadro/esempi_documenti.h"
#include "quadro/widgets/comandidocumenti.h"
#include "quadro/widgets/finestraquadro.h"
#include "reports/ambiente_stampe.h"
#include "reports/lettore_docx.h"

namespace varimo::test {
namespace {

class ComandiDocumenti : public AmbienteStampe {
  protected:
    void SetUp() override {
        AmbienteStampe::SetUp();
        azioni = quadro::aggiungiComandiDocumenti(&finestra, &menu, [this] { return corrente; });
        ASSERT_EQ(azioni.size(), 3);
    }

    QAction* azione(const char* nome) const {
        for (QAction* a : azioni)
            if (a->objectName() == QLatin1String(nome)) return a;
        ADD_FAILURE() << nome;
        return nullptr;
    }

    QByteArray leggi(const QString& percorso) const {
        QFile f(percorso);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QWidget finestra;
    QMenu menu;
    QList<QAction*> azioni;
    std::variant<quadro::QuadroCalcolato, QString> corrente = calcolato(scuola());
};

// The print goes to the word processor as a .docx with the header; the PDF
// and the spreadsheet are written where the user chose (the extension added
// to a name typed without it); a second export over the file asks first and,
// refused, leaves it as it was; a folder that does not exist gets a message
// naming the file, and nothing is written.
TEST_F(ComandiDocumenti, StampaPdfEFoglioDallaFinestra) {
    azione("stampaquadro")->trigger();
    ASSERT_EQ(aperti.size(), 1);
    EXPECT_TRUE(aperti.first().endsWith(QLatin1String(".docx")));
    QStringList paragrafi;
    for (const ParagrafoLetto& p : leggiDocx(aperti.first()).paragrafi()) paragrafi << p.testo;
    EXPECT_TRUE(paragrafi.contains(scuola().intestazione.ente));
    EXPECT_TRUE(paragrafi.contains(QStringLiteral("CUP: ") + scuola().intestazione.cup));

    const QString pdf = cartella.filePath(QStringLiteral("quadro"));
    const QString xlsx = cartella.filePath(QStringLiteral("foglio.xlsx"));
    utente.scegliFile(pdf);
    azione("esportaquadropdf")->trigger();
    utente.scegliFile(xlsx);
    azione("esportaquadroxlsx")->trigger();
    EXPECT_TRUE(utente.messaggi.isEmpty()) << utente.testi().join(' ').toStdString();
    EXPECT_TRUE(leggi(pdf + QStringLiteral(".pdf")).startsWith("%PDF-"));
    const QByteArray foglio = leggi(xlsx);
    EXPECT_TRUE(foglio.startsWith("PK"));
    ASSERT_EQ(utente.richiesteFile.size(), 2);
    EXPECT_TRUE(utente.richiesteFile.at(1).nomeFile.endsWith(QLatin1String(".xlsx")));

    // Over an existing file: asked, refused, untouched.
    corrente = calcolato(lungo(40));
    utente.scegliFile(xlsx);
    utente.rispondi(Risposta::No);
    azione("esportaquadroxlsx")->trigger();
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(leggi(xlsx), foglio);

    const QString altrove = cartella.filePath(QStringLiteral("manca/foglio.xlsx"));
    utente.scegliFile(altrove);
    azione("esportaquadroxlsx")->trigger();
    ASSERT_EQ(utente.messaggi.size(), 2);
    EXPECT_TRUE(utente.messaggi.last().testo.contains(QDir::toNativeSeparators(altrove)));
    EXPECT_FALSE(QFile::exists(altrove));
}

// A framework that cannot be computed is reported; nothing is asked or
// written.
TEST_F(ComandiDocumenti, QuadroNonCalcolabileNonProduceNulla) {
    corrente = QStringLiteral("la voce «B.2» si riferisce a se stessa");
    for (QAction* a : azioni) a->trigger();
    EXPECT_EQ(utente.messaggi.size(), 3);
    for (const Messaggio& m : utente.messaggi)
        EXPECT_TRUE(m.testo.contains(QStringLiteral("«B.2»")));
    EXPECT_TRUE(utente.richiesteFile.isEmpty());
    EXPECT_TRUE(aperti.isEmpty());
}

// From the framework's own window, as the user edits it: an edit made in
// the window is what the print and the spreadsheet carry.
TEST_F(ComandiDocumenti, DallaFinestraQuadroConLUltimaModifica) {
    quadro::FinestraQuadro f;
    FileQuadro file = scuola();
    f.documento().imposta(file, QString());
    ASSERT_FALSE(f.documento().modifica(QStringLiteral("ente"), [](FileQuadro& x) {
        x.intestazione.ente = QStringLiteral("Provincia di Firenze");
        return std::optional<QString>();
    }));
    auto* stampa = f.findChild<QAction*>(QStringLiteral("stampaquadro"));
    auto* foglio = f.findChild<QAction*>(QStringLiteral("esportaquadroxlsx"));
    ASSERT_TRUE(stampa && foglio && f.findChild<QAction*>(QStringLiteral("esportaquadropdf")));
    stampa->trigger();
    ASSERT_EQ(aperti.size(), 1);
    QStringList paragrafi;
    for (const ParagrafoLetto& p : leggiDocx(aperti.first()).paragrafi()) paragrafi << p.testo;
    EXPECT_TRUE(paragrafi.contains(QStringLiteral("Provincia di Firenze")));
    const QString xlsx = cartella.filePath(QStringLiteral("finestra.xlsx"));
    utente.scegliFile(xlsx);
    foglio->trigger();
    EXPECT_TRUE(leggi(xlsx).startsWith("PK"));
    EXPECT_TRUE(utente.messaggi.isEmpty()) << utente.testi().join(' ').toStdString();
}

}  // namespace
}  // namespace varimo::test
