#include "help/suggerimenti.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/percorsi.h"

namespace varimo {
namespace {

QString scriviFile(const QTemporaryDir& dir, const QByteArray& contenuto,
                   const QString& nome = QString::fromLatin1(kFileSuggerimenti)) {
    const QString percorso = QDir(dir.path()).filePath(nome);
    QFile f(percorso);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenuto);
    return percorso;
}

struct CasoRighe {
    const char* nome;
    QByteArray byte;
    QStringList attese;
};

TEST(RigheSuggerimenti, FineRigaEUltimaRiga) {
    const CasoRighe casi[] = {
        {"crlf", "uno\r\ndue\r\n", {"uno", "due"}},
        {"lf", "uno\ndue\n", {"uno", "due"}},
        {"cr solo", "uno\rdue", {"uno", "due"}},
        {"ultima senza fine", "uno\r\ndue", {"uno", "due"}},
        {"riga vuota in mezzo", "uno\r\n\r\ntre\r\n", {"uno", "", "tre"}},
        {"solo una riga vuota", "\r\n", {""}},
        {"file vuoto", "", {}},
        {"spazi conservati", "  a \r\n", {"  a "}},
    };
    for (const auto& c : casi) EXPECT_EQ(righeSuggerimenti(c.byte), c.attese) << c.nome;
}

TEST(RigheSuggerimenti, Windows1252) {
    // à è é ù, euro, left and right quotes, an ellipsis, an unassigned byte.
    const QByteArray byte("\xE0\xE8\xE9\xF9 \x80 \x93x\x94 \x85 \x81", 14);
    EXPECT_EQ(decodificaCp1252(byte),
              QString::fromUtf8("àèéù € \u201Cx\u201D \u2026 ") + QChar(0x81));
}

TEST(Suggerimenti, ScorrimentoSuTreRighe) {
    QTemporaryDir dir;
    Suggerimenti s;
    s.carica(scriviFile(dir, "primo\r\nsecondo\r\nterzo\r\n"));
    EXPECT_EQ(s.elenco.size(), 3);
    EXPECT_EQ(s.posizione, 1);
    EXPECT_EQ(s.testo(), "primo");

    // Forward: 2, 3, then round to 1.
    const char* avanti[] = {"secondo", "terzo", "primo"};
    for (const char* atteso : avanti) {
        s.suggerimentoSeguente();
        EXPECT_EQ(s.testo(), atteso);
    }
    // Backward on the first tip stays there.
    s.suggerimentoPrecedente();
    EXPECT_EQ(s.posizione, 1);
    EXPECT_EQ(s.testo(), "primo");
    // From the third, back to the second.
    s.suggerimentoSeguente();
    s.suggerimentoSeguente();
    ASSERT_EQ(s.testo(), "terzo");
    s.suggerimentoPrecedente();
    EXPECT_EQ(s.posizione, 2);
    EXPECT_EQ(s.testo(), "secondo");
}

TEST(Suggerimenti, RigaVuotaETipoDiSuggerimento) {
    QTemporaryDir dir;
    Suggerimenti s;
    s.carica(scriviFile(dir, "primo\r\n\r\nterzo"));
    ASSERT_EQ(s.elenco.size(), 3);
    s.suggerimentoSeguente();
    EXPECT_EQ(s.posizione, 2);
    EXPECT_EQ(s.testo(), "");
    s.suggerimentoSeguente();
    EXPECT_EQ(s.testo(), "terzo");
}

TEST(Suggerimenti, FileMancante) {
    QTemporaryDir dir;
    const QString messaggio =
        "Impossibile trovare il file VarimoSuggerimenti.TXT\r\n\r\nCreare un file di testo "
        "denominato VarimoSuggerimenti.TXT utilizzando il Blocco note e inserendo un "
        "suggerimento per ogni riga. Inserire il file nella stessa directory dell'applicazione. ";
    for (const QString& percorso : {QString(), QDir(dir.path()).filePath("manca.TXT")}) {
        Suggerimenti s;
        s.carica(percorso);
        EXPECT_EQ(s.testo(), messaggio);
        EXPECT_TRUE(s.elenco.isEmpty());
        s.suggerimentoSeguente();
        EXPECT_EQ(s.testo(), messaggio);
        s.suggerimentoPrecedente();
        EXPECT_EQ(s.testo(), messaggio);
    }
}

TEST(Suggerimenti, CartellaAlPostoDelFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("VarimoSuggerimenti.TXT"));
    Suggerimenti s;
    EXPECT_FALSE(s.leggiFile(QDir(dir.path()).filePath("VarimoSuggerimenti.TXT")));
    EXPECT_EQ(s.posizione, 0);
}

TEST(Suggerimenti, FileVuoto) {
    QTemporaryDir dir;
    Suggerimenti s;
    EXPECT_TRUE(s.leggiFile(scriviFile(dir, "")));
    EXPECT_EQ(s.testo(), "");
    s.suggerimentoSeguente();
    s.suggerimentoPrecedente();
    EXPECT_EQ(s.testo(), "");
}

TEST(Suggerimenti, PercorsoNellaCartellaDelProgramma) {
    QTemporaryDir dir;
    impostaCartellaProgramma(dir.path());
    // Not there yet: the path still points into the program's folder unless an
    // installed copy exists.
    const QString atteso = QDir(dir.path()).filePath("VarimoSuggerimenti.TXT");
    scriviFile(dir, "x\r\n");
    EXPECT_EQ(percorsoSuggerimenti(), QDir::cleanPath(atteso));
    impostaCartellaProgramma(QString());
}

TEST(Suggerimenti, FileDelProgramma) {
    // The tips file the program ships: Windows-1252, CR LF, every tip readable.
    QFile f(QStringLiteral(VARIMO_SOURCE_DIR "/resources/data/VarimoSuggerimenti.TXT"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray byte = f.readAll();
    EXPECT_FALSE(byte.contains("\xC3\xA0")) << "UTF-8 instead of Windows-1252";
    EXPECT_EQ(byte.count("\r\n"), byte.count('\n'));
    const QStringList righe = righeSuggerimenti(byte);
    EXPECT_GE(righe.size(), 18);
    for (const QString& r : righe) EXPECT_FALSE(r.trimmed().isEmpty());
    EXPECT_TRUE(righe.join(' ').contains(QString::fromUtf8("è")));
}

}  // namespace
}  // namespace varimo
