// The program's command line as a script or a terminal uses it: the real
// program, started with no display and no runtime folder, as on a server or
// in a container.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "quadro/esempi_fasi.h"
#include "quadro/formatofasi.h"

namespace {

struct Esito {
    int stato = -1;
    QString uscita, errori;
};

// Runs varimo with `argomenti`, with neither a display nor a platform chosen
// nor a runtime folder; `prima` prefixes a command (prlimit).
Esito varimo(const QStringList& argomenti, const QStringList& prima = {}) {
    QProcess p;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const char* via : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        ambiente.remove(QString::fromLatin1(via));
    p.setProcessEnvironment(ambiente);
    const QString programma = QStringLiteral(VARIMO_BIN_DIR "/varimo");
    if (prima.isEmpty())
        p.start(programma, argomenti);
    else
        p.start(prima.first(), prima.mid(1) + QStringList{programma} + argomenti);
    if (!p.waitForFinished(120000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(RigaComando, AiutoVersioneOpzioniIgnoteESilenzioQuandoRiesce) {
    const Esito aiuto = varimo({"--help"});
    EXPECT_EQ(aiuto.stato, 0);
    EXPECT_TRUE(aiuto.uscita.contains("--esporta")) << aiuto.uscita.toStdString();
    EXPECT_TRUE(aiuto.errori.isEmpty()) << aiuto.errori.toStdString();
    const Esito versione = varimo({"-v"});
    EXPECT_EQ(versione.stato, 0);
    EXPECT_TRUE(versione.uscita.startsWith("Varimo ")) << versione.uscita.toStdString();
    const Esito ignota = varimo({"--esportare", "a", "b"});
    EXPECT_EQ(ignota.stato, 2);
    EXPECT_TRUE(ignota.errori.contains("--esportare")) << ignota.errori.toStdString();
    EXPECT_TRUE(ignota.errori.contains("Uso: varimo"));

    QTemporaryDir dir;
    const QString in = dir.filePath("strade.varimo");
    QFile f(in);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"formato": "varimo-quadro", "versione": 1, "voci": [
        {"codice": "A", "etichetta": "Lavori", "importo": "812345.67"},
        {"codice": "B", "etichetta": "IVA", "tipo": "percentuale", "percentuale": "10",
         "di": ["A"]}]})");
    f.close();
    for (const char* formato : {"csv", "pdf", "docx", "xlsx"}) {
        const QString out = dir.filePath(QStringLiteral("strade.") + QLatin1String(formato));
        const Esito e = varimo({"--esporta", in, out});
        EXPECT_EQ(e.stato, 0) << formato;
        EXPECT_TRUE(e.errori.isEmpty()) << formato << ": " << e.errori.toStdString();
        EXPECT_TRUE(QFile::exists(out)) << formato;
    }
}

// A file-size limit, or a name that is a FIFO, gets a message and status 1;
// nothing of the command is left behind, neither beside the output nor in
// the temporary folder.
TEST(RigaComando, UnLimiteDiDimensioneOUnaFifoDannoUnMessaggioENessunResiduo) {
    if (QStandardPaths::findExecutable("prlimit").isEmpty()) GTEST_SKIP() << "no prlimit here";
    QTemporaryDir dir;
    const QString in = dir.filePath("grande.varimo");
    QFile f(in);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray voci;
    for (int k = 0; k < 400; ++k)
        voci += QStringLiteral(R"(%1{"codice": "A%2", "etichetta": "Lavorazione %2", "importo": "1000"})")
                    .arg(k ? "," : "")
                    .arg(k)
                    .toUtf8();
    f.write(R"({"formato": "varimo-quadro", "versione": 1, "voci": [)" + voci + "]}");
    f.close();
    const QStringList temporanei = QDir(QDir::tempPath()).entryList({"varimo-lavoro-*"}, QDir::Dirs);
    for (const char* formato : {"csv", "xlsx"}) {
        const QString out = dir.filePath(QStringLiteral("out.") + QLatin1String(formato));
        const Esito e = varimo({"--esporta", in, out}, {"prlimit", "--fsize=1000"});
        EXPECT_EQ(e.stato, 1) << formato << ": " << e.errori.toStdString();
        EXPECT_TRUE(e.errori.contains("il disco potrebbe essere pieno")) << e.errori.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"grande.varimo"});
    EXPECT_EQ(QDir(QDir::tempPath()).entryList({"varimo-lavoro-*"}, QDir::Dirs), temporanei);

    const QByteArray coda = QFile::encodeName(dir.filePath("coda"));
    ASSERT_EQ(::mkfifo(coda.constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath("coda"), dir.filePath("coda.csv")));
    const Esito e = varimo({"--esporta", in, dir.filePath("coda.csv")});
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(e.errori.contains("FIFO")) << e.errori.toStdString();
    struct stat s {};
    ASSERT_EQ(::lstat(coda.constData(), &s), 0);
    EXPECT_TRUE(S_ISFIFO(s.st_mode));
}

// The school's three phases handed to ANAC: each JSON is valid against the
// schema the project carries (checked by Debian's JSON-Schema validator, a
// reader that is not this program) and its keys add up to the phase's total;
// the school without keys is refused with the items named and nothing is
// written.
TEST(RigaComando, IDatiPerAnacDiOgniFaseRispettanoLoSchemaETornano) {
    const QString python = QStandardPaths::findExecutable("python3", {"/usr/bin"});
    ASSERT_FALSE(python.isEmpty()) << "python3 with python3-jsonschema is installed with the tests";
    const QString schema = QStringLiteral(VARIMO_SOURCE_DIR "/docs/anac-quadro-economico.schema.json");
    QTemporaryDir dir;
    using namespace varimo::quadro;
    const FileFasi scuola = esempi::scuolaPerAnac();
    const QString in = dir.filePath("scuola.varimo");
    ASSERT_FALSE(salvaFileFasi(in, scuola));
    for (const Fase& fase : scuola.fasi) {
        const QString out = dir.filePath(fase.nome + ".json");
        const Esito e = varimo({"--esporta", in, out, "--anac", "--fase", fase.nome});
        ASSERT_EQ(e.stato, 0) << e.errori.toStdString();
        EXPECT_TRUE(e.errori.isEmpty()) << e.errori.toStdString();
        QProcess p;
        p.start(python, {"-c",
                         "import json, sys, jsonschema\n"
                         "s = json.load(open(sys.argv[1]))\n"
                         "jsonschema.validators.validator_for(s).check_schema(s)\n"
                         "d = json.load(open(sys.argv[2]))\n"
                         "jsonschema.validate(d, s)\n"
                         "print('%.2f' % sum(d['quadroEconomicoStandard'].values()))\n",
                         schema, out});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const auto calcolata = std::get<FaseCalcolata>(calcolaFase(scuola, indiceFase(scuola, fase.nome)));
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
                  testoImportoFile(calcolata.valutazione.totale))
            << fase.nome.toStdString();
    }

    const QString senza = dir.filePath("senza.varimo");
    ASSERT_FALSE(salvaFileFasi(senza, esempi::scuolaTreFasi()));
    const Esito e = varimo({"--esporta", senza, dir.filePath("senza.json"), "--anac"});
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(e.errori.contains("«A.1»") && e.errori.contains("«B.6»")) << e.errori.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("senza.json")));
    // A classic data file, converted, has its keys by the rows' places.
    EXPECT_EQ(varimo({"--esporta", QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/Varimo-dati-scuola"),
                      dir.filePath("classico.json"), "--anac"})
                  .stato,
              0);
    EXPECT_EQ(varimo({"--esporta", in, dir.filePath("x.csv"), "--anac"}).stato, 1);
    EXPECT_EQ(varimo({"--esporta", in, dir.filePath("x.json"), "--anac", "--confronto"}).stato, 1);
}

}  // namespace
