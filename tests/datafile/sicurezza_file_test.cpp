// Files shared with other users and other programs: links planted by someone
// else, special files given as projects, saves racing another window,
// leftovers of interrupted saves, file-size limits.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <random>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/piattaforma.h"
#include "common/recenti.h"
#include "common/scritturafile.h"
#include "datafile/filedati.h"
#include "datafile/formato.h"
#include "datafile/preparazione.h"
#include "support/figlio_limitato.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

using test::contenutoDi;
using test::scriviContenuto;

constexpr uid_t kAltroUtente = 65534;  // nobody

// A symbolic link at `link` to `bersaglio`, owned by `proprietario`; false
// when the process may not give it away (not the administrator).
bool collegamento(const QString& bersaglio, const QString& link, uid_t proprietario) {
    const QByteArray l = QFile::encodeName(link);
    if (::symlink(QFile::encodeName(bersaglio).constData(), l.constData()) != 0) return false;
    if (proprietario == ::geteuid()) return true;
    return ::lchown(l.constData(), proprietario, static_cast<gid_t>(-1)) == 0;
}

// Every way of writing through a planted link is refused and leaves the
// file it points to as it was; the user's own link in the user's own folder
// is followed, as editors do.
TEST(CollegamentiPiantati, MaiScritturaAttraversoUnCollegamentoDiAltroUtenteOInCartellaCondivisa) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a link to another user needs the administrator";
    QTemporaryDir casa;
    const QString bersaglio = casa.filePath("bersaglio");
    ASSERT_TRUE(scriviContenuto(bersaglio, "originale"));

    // Another user's link in an ordinary folder, to an existing file and
    // dangling.
    ASSERT_TRUE(collegamento(bersaglio, casa.filePath("quadro.pdf"), kAltroUtente));
    ASSERT_TRUE(collegamento(casa.filePath("nuovo"), casa.filePath("vuoto.pdf"), kAltroUtente));
    // The user's own link in a folder where everyone writes (sticky).
    const QString condivisa = casa.filePath("condivisa");
    ASSERT_TRUE(QDir().mkdir(condivisa));
    ASSERT_EQ(::chmod(QFile::encodeName(condivisa).constData(), 01777), 0);
    ASSERT_TRUE(collegamento(bersaglio, condivisa + "/mio.pdf", ::geteuid()));
    // The user's own link at home.
    ASSERT_TRUE(collegamento(bersaglio, casa.filePath("mio.pdf"), ::geteuid()));

    for (const QString& nome :
         {casa.filePath("quadro.pdf"), casa.filePath("vuoto.pdf"), condivisa + "/mio.pdf"}) {
        const auto errore = scriviFileCompleto(nome, "nuovo contenuto");
        ASSERT_TRUE(errore.has_value()) << nome.toStdString();
        EXPECT_TRUE(errore->motivo.contains("collegamento simbolico"))
            << errore->motivo.toStdString();
        // The project Save says the same.
        const auto erroreSalva = scriviFileProgetto(nome, "nuovo contenuto");
        ASSERT_TRUE(erroreSalva.has_value());
        EXPECT_EQ(*erroreSalva, errore->motivo);
        EXPECT_TRUE(QFileInfo(nome).isSymLink());
    }
    EXPECT_EQ(contenutoDi(bersaglio), "originale");
    EXPECT_FALSE(QFileInfo::exists(casa.filePath("nuovo")));

    EXPECT_FALSE(scriviFileCompleto(casa.filePath("mio.pdf"), "mio").has_value());
    EXPECT_EQ(contenutoDi(bersaglio), "mio");
    EXPECT_TRUE(QFileInfo(casa.filePath("mio.pdf")).isSymLink());
}

// What is not a regular file is refused at once, with what it is.
TEST(FileSpeciali, FifoDispositiviCartelleECicliDiCollegamentiSonoRifiutatiSenzaAttendere) {
    QTemporaryDir dir;
    const QString coda = dir.filePath("coda");
    ASSERT_EQ(::mkfifo(QFile::encodeName(coda).constData(), 0600), 0);
    const QString ciclo = dir.filePath("ciclo");
    ASSERT_EQ(::symlink("ciclo", QFile::encodeName(ciclo).constData()), 0);
    QByteArray utf16 = QByteArray("\xFF\xFE");
    for (QChar c : QStringLiteral("\"Scuola\",\"euro\"\r\n"))
        utf16.append(static_cast<char>(c.unicode())).append('\0');
    ASSERT_TRUE(scriviContenuto(dir.filePath("utf16"), utf16));

    const struct {
        QString percorso;
        QString motivo;
    } casi[] = {
        {coda, "non è un file di progetto"},
        {QStringLiteral("/dev/zero"), "non è un file di progetto"},
        {dir.path(), "è una cartella"},
        {ciclo, "ciclo di collegamenti"},
        {dir.filePath("assente"), "il file non esiste"},
        {dir.filePath("utf16"), "UTF-16"},
    };
    for (const auto& c : casi) {
        QElapsedTimer t;
        t.start();
        const auto letto = leggiFileProgetto(c.percorso);
        EXPECT_LT(t.elapsed(), 1000) << c.percorso.toStdString();
        ASSERT_TRUE(std::holds_alternative<QString>(letto)) << c.percorso.toStdString();
        EXPECT_TRUE(std::get<QString>(letto).contains(c.motivo))
            << std::get<QString>(letto).toStdString();
    }
}

// Only a regular file is ever replaced, whoever writes: an own link to a FIFO
// leaves the FIFO as it was; in a folder where everyone writes, a file another
// user planted is refused also to the administrator; a replaced file belongs
// to the writer and keeps none of the set-id bits of the old one.
TEST(FileSpeciali, SiSostituisceSoloUnFileRegolareCheNonSiaDiAltriInCartelleCondivise) {
    QTemporaryDir dir;
    const QByteArray coda = QFile::encodeName(dir.filePath("coda"));
    ASSERT_EQ(::mkfifo(coda.constData(), 0600), 0);
    ASSERT_EQ(::symlink(coda.constData(), QFile::encodeName(dir.filePath("out.csv")).constData()),
              0);
    for (const QString& p : {dir.filePath("out.csv"), dir.filePath("coda")}) {
        const auto e = scriviFileCompleto(p, "esportato");
        ASSERT_TRUE(e) << p.toStdString();
        EXPECT_TRUE(e->motivo.contains("FIFO")) << e->motivo.toStdString();
        struct stat s {};
        ASSERT_EQ(::lstat(coda.constData(), &s), 0);
        EXPECT_TRUE(S_ISFIFO(s.st_mode));
    }

    const QString proprio = dir.filePath("proprio.csv");
    ASSERT_TRUE(scriviContenuto(proprio, "vecchio"));
    ASSERT_EQ(::chmod(QFile::encodeName(proprio).constData(), 04755), 0);
    ASSERT_FALSE(scriviFileCompleto(proprio, "nuovo"));
    struct stat s {};
    ASSERT_EQ(::stat(QFile::encodeName(proprio).constData(), &s), 0);
    EXPECT_EQ(s.st_mode & 07777, 0755u);
    EXPECT_EQ(s.st_uid, ::geteuid());

    if (::geteuid() != 0) GTEST_SKIP() << "only the administrator can plant another's file here";
    const QString condivisa = dir.filePath("condivisa");
    ASSERT_TRUE(QDir().mkdir(condivisa));
    ASSERT_EQ(::chmod(QFile::encodeName(condivisa).constData(), 01777), 0);
    const QByteArray piantato = QFile::encodeName(condivisa + QStringLiteral("/x.csv"));
    ASSERT_TRUE(scriviContenuto(QString::fromLocal8Bit(piantato), "di un altro"));
    ASSERT_EQ(::chown(piantato.constData(), kAltroUtente, static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(::chmod(piantato.constData(), 04777), 0);
    const auto e = scriviFileCompleto(QString::fromLocal8Bit(piantato), "dell'amministratore");
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->motivo.contains("altro utente")) << e->motivo.toStdString();
    EXPECT_EQ(contenutoDi(QString::fromLocal8Bit(piantato)), "di un altro");
}

class SalvataggiConcorrenti : public ::testing::Test {
  protected:
    SalvataggiConcorrenti() : comandi(progetto) {
        progetto.avvia();
        test::progettoValido(progetto);
    }
    QString percorso(const char* nome) const { return dir.filePath(QString::fromUtf8(nome)); }

    QTemporaryDir dir;
    test::InterazioneFinta finta;
    Progetto progetto;
    StatoCalcolo& stato = progetto.calcolo();
    ComandiFile comandi;
};

// Save as onto an existing file, and Save onto a file another program has
// changed since, ask first; No keeps the other file byte for byte, Yes
// writes. A file only touched (same content) asks nothing.
TEST_F(SalvataggiConcorrenti, SostituireUnAltroFileOUnFileCambiatoChiedePrima) {
    const QString altro = percorso("Varimo-dati-altro");
    ASSERT_TRUE(scriviContenuto(altro, "altro progetto"));
    finta.scegliFile(altro);
    EXPECT_FALSE(comandi.salvaConNome());
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].pulsanti, Pulsanti::SiNo);
    EXPECT_EQ(finta.messaggi[0].predefinita, Risposta::No);
    EXPECT_TRUE(finta.messaggi[0].testo.contains(QDir::toNativeSeparators(altro)));
    EXPECT_EQ(contenutoDi(altro), "altro progetto");

    finta.scegliFile(altro);
    finta.rispondi(Risposta::Si);
    ASSERT_TRUE(comandi.salvaConNome());
    const QByteArray salvato = contenutoDi(altro);
    EXPECT_EQ(salvato.count('\n'), 19);

    // Unchanged, or rewritten with the same bytes: no question.
    finta.messaggi.clear();
    ASSERT_TRUE(comandi.salva());
    ASSERT_TRUE(scriviContenuto(altro, salvato));
    ASSERT_TRUE(comandi.salva());
    EXPECT_TRUE(finta.messaggi.isEmpty());

    // Another program writes the file: Save asks, No keeps its content.
    ASSERT_TRUE(scriviContenuto(altro, "scritto da un altro programma"));
    EXPECT_FALSE(comandi.salva());
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].testo, testifile::modificatoAltrove);
    EXPECT_EQ(contenutoDi(altro), "scritto da un altro programma");
    finta.rispondi(Risposta::Si);
    EXPECT_TRUE(comandi.salva());
    EXPECT_EQ(contenutoDi(altro), salvato);

    // The same after an Open.
    ComandiFile secondo(progetto);
    ASSERT_TRUE(secondo.apriPercorso(altro));
    ASSERT_TRUE(scriviContenuto(altro, salvato + "\r\n"));
    finta.messaggi.clear();
    EXPECT_FALSE(secondo.salva());
    EXPECT_EQ(finta.testi(), QStringList{testifile::modificatoAltrove});
}

// Amounts no calculation can carry open as they are, listed in one message
// with their rows; a sound project opens without one.
TEST_F(SalvataggiConcorrenti, GliImportiInutilizzabiliSonoElencatiInUnSoloMessaggioDopoLApertura) {
    const QString p = percorso("Varimo-dati-importi");
    finta.scegliFile(p);
    ASSERT_TRUE(comandi.salvaConNome());
    ComandiFile secondo(progetto);
    finta.messaggi.clear();
    ASSERT_TRUE(secondo.apriPercorso(p));
    EXPECT_TRUE(finta.messaggi.isEmpty());

    QList<QByteArray> righe = contenutoDi(p).split('\n');
    const char* const guasti[] = {"NaN", "inf", "1E308", "1234567890123456789012"};
    for (int k = 0; k < 4; ++k) {
        // Rows B, C, E, F: the amount is the second field of lines 3, 4, 6, 7.
        QByteArray& r = righe[k < 2 ? k + 2 : k + 3];
        const qsizetype apre = r.indexOf('"', r.indexOf('"', 1) + 1);  // third quote
        r.replace(apre + 1, r.indexOf('"', apre + 1) - apre - 1, guasti[k]);
    }
    ASSERT_TRUE(scriviContenuto(p, righe.join('\n')));
    ASSERT_TRUE(secondo.apriPercorso(p)) << finta.testi().join(u'\n').toStdString();
    ASSERT_EQ(finta.messaggi.size(), 1);
    const QStringList testo = finta.messaggi[0].testo.split(u'\r');
    ASSERT_EQ(testo.size(), 5) << finta.messaggi[0].testo.toStdString();
    const QString lettere = QStringLiteral("BCEF");
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(testo[k + 1].startsWith(lettere[k])) << testo[k + 1].toStdString();
        EXPECT_TRUE(testo[k + 1].endsWith(QString::fromLatin1(guasti[k])));
    }
}

// Random files with hostile amounts (not numbers, beyond the exact range, a
// misplaced thousands point), in rows, in the texts written into referenced
// rows, under random percentages: after the Open D, T and the total are the
// sums, to the cent, of what the boxes show (an unusable amount counting as
// zero, as an empty box does), and one message names exactly the rows whose
// amounts cannot be used.
TEST_F(SalvataggiConcorrenti, DopoUnAperturaLeSommeSeguonoLeCaselleQualunqueSianoGliImporti) {
    const QString ostili[] = {QStringLiteral("NaN"),
                              QStringLiteral("inf"),
                              QStringLiteral("-inf"),
                              QStringLiteral("1E308"),
                              QStringLiteral("-1e300"),
                              QStringLiteral("1234567890123456789012"),
                              QStringLiteral("1.000.000.000.000,00"),
                              QStringLiteral("1234.56"),
                              QStringLiteral("12x")};
    const auto centesimiMostrati = [](const QString& t) -> qint64 {
        if (t.trimmed().isEmpty() || !importoAccettabile(t)) return 0;
        return std::llround(*letturaCentesimi(t));
    };
    std::mt19937 caso(2806);
    const QString p = percorso("Varimo-dati-casuale");
    for (int prova = 0; prova < 80; ++prova) {
        const auto uno = [&](int n) { return static_cast<int>(caso() % n); };
        const auto importo = [&]() -> QString {
            switch (uno(4)) {
                case 0:
                    return QString();
                case 1:
                    return ostili[uno(std::size(ostili))];
                default:
                    return scritturaNumerica(static_cast<double>(uno(100000000)) / 100);
            }
        };
        ProgettoFile f;
        f.nomeprogetto = QStringLiteral("prova");
        f.valuta = QStringLiteral("euro");
        for (int i = 1; i <= kVoci; ++i) {
            VoceFile& v = f.voci[i - 1];
            v.tipo = etichettaIniziale(i);
            v.costo = importo();
            // Percentages only where the window offers them, on earlier rows:
            // no loops.
            if (StatoCalcolo::percentualeVisibile(i) && uno(2) == 0) {
                v.vocerif = 1 + uno(i - 1);
                v.perc = uno(101);
                v.costorif = importo();
            }
        }
        const EsitoScrittura e = scriviProgettoFile(f);
        ASSERT_TRUE(e.riuscito()) << e.errore.toStdString();
        ASSERT_TRUE(scriviContenuto(p, e.contenuto));
        finta.messaggi.clear();
        ComandiFile apertura(progetto);
        ASSERT_TRUE(apertura.apriPercorso(p)) << finta.testi().join(u'\n').toStdString();

        std::array<qint64, kVoci + 1> c{};
        QString inutilizzabili;
        for (int i = 1; i <= kVoci; ++i) {
            c[i] = centesimiMostrati(stato.costo(i));
            if (!stato.costo(i).trimmed().isEmpty() && !importoAccettabile(stato.costo(i)))
                inutilizzabili += letteraVoce(i);
        }
        SCOPED_TRACE(e.contenuto.toStdString());
        ASSERT_TRUE(importoAccettabile(stato.costo(4))) << stato.costo(4).toStdString();
        ASSERT_TRUE(importoAccettabile(stato.costo(18))) << stato.costo(18).toStdString();
        ASSERT_TRUE(importoAccettabile(stato.progetto())) << stato.progetto().toStdString();
        EXPECT_EQ(c[4], c[1] + c[2] + c[3]);
        qint64 t = 0;
        for (int i = 5; i <= 17; ++i) t += c[i];
        EXPECT_EQ(c[18], t);
        EXPECT_EQ(centesimiMostrati(stato.progetto()), c[4] + c[18]);

        if (inutilizzabili.isEmpty()) {
            EXPECT_TRUE(finta.messaggi.isEmpty()) << finta.testi().join(u'\n').toStdString();
        } else {
            ASSERT_EQ(finta.messaggi.size(), 1) << finta.testi().join(u'\n').toStdString();
            const QStringList righe = finta.messaggi[0].testo.split(u'\r');
            QString nominate;
            for (qsizetype k = 1; k < righe.size(); ++k) nominate += righe[k].left(1);
            EXPECT_EQ(nominate, inutilizzabili);
        }
    }
}

// A project held by another running program is told before it opens (No
// leaves the work on screen); the lock of a process that has ended is not.
TEST_F(SalvataggiConcorrenti, UnProgettoApertoInUnAltroProgrammaInEsecuzioneVieneSegnalato) {
    const QString p = percorso("Varimo-dati-condiviso");
    finta.scegliFile(p);
    ASSERT_TRUE(comandi.salvaConNome());
    const QString blocco = percorso(".~lock.Varimo-dati-condiviso#");
    EXPECT_TRUE(QFileInfo::exists(blocco));  // held by this program now

    // Another process takes the project: a child that holds the lock.
    const QString altro = percorso("Varimo-dati-altro");
    ASSERT_TRUE(scriviContenuto(altro, contenutoDi(p)));
    int tubo[2];
    ASSERT_EQ(::pipe(tubo), 0);
    const pid_t figlio = ::fork();
    if (figlio == 0) {
        QLockFile l(percorso(".~lock.Varimo-dati-altro#"));
        const char pronto = l.tryLock(0) ? '1' : '0';
        [[maybe_unused]] auto n = ::write(tubo[1], &pronto, 1);
        ::pause();
        ::_exit(0);
    }
    char pronto = 0;
    ASSERT_EQ(::read(tubo[0], &pronto, 1), 1);
    ASSERT_EQ(pronto, '1');

    ComandiFile secondo(progetto);
    stato.scriviCosto(2, QStringLiteral("55"));
    EXPECT_FALSE(secondo.apriPercorso(altro));
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_TRUE(finta.messaggi[0].testo.contains("già aperto in un altro Varimo"));
    EXPECT_EQ(stato.costo(2), QStringLiteral("55"));  // nothing was applied
    finta.rispondi(Risposta::Si);
    EXPECT_TRUE(secondo.apriPercorso(altro));

    // The other program ends without removing its lock: no question any more.
    ::kill(figlio, SIGKILL);
    ::waitpid(figlio, nullptr, 0);
    ::close(tubo[0]);
    ::close(tubo[1]);
    ComandiFile terzo(progetto);
    finta.messaggi.clear();
    EXPECT_TRUE(terzo.apriPercorso(altro));
    EXPECT_TRUE(finta.messaggi.isEmpty());
}

// Temporary files of saves whose process died go at the next save in that
// folder; one of a running process stays. Past a file-size limit the save
// fails with the full-disk message, leaves no temporary file and the old
// file as it was.
TEST(SalvataggiInterrotti, IResiduiDiProcessiMortiVannoViaEUnLimiteDiDimensioneDaUnMessaggio) {
    QTemporaryDir dir;
    pid_t morto = ::fork();
    if (morto == 0) ::_exit(0);
    ::waitpid(morto, nullptr, 0);
    const QString abbandonato =
        dir.filePath(QStringLiteral(".Varimo-dati-x~varimo%1.Ab3dEf").arg(morto));
    const QString vivo = dir.filePath(QStringLiteral(".Varimo-dati-x~varimo1.Ab3dEf"));
    const QString estraneo = dir.filePath(QStringLiteral(".appunti~varimo.txt"));
    for (const QString& f : {abbandonato, vivo, estraneo}) ASSERT_TRUE(scriviContenuto(f, "x"));

    const QString p = dir.filePath("Varimo-dati-x");
    ASSERT_FALSE(scriviFileCompleto(p, "vecchio").has_value());
    EXPECT_FALSE(QFileInfo::exists(abbandonato));
    EXPECT_TRUE(QFileInfo::exists(vivo));
    EXPECT_TRUE(QFileInfo::exists(estraneo));

    const auto motivo =
        test::nelFiglioConLimite(64, [&] { return *scriviFileProgetto(p, QByteArray(4096, 'x')); });
    ASSERT_TRUE(motivo.has_value());
    EXPECT_TRUE(motivo->startsWith(motivoScritturaFallita({}).chopped(1))) << motivo->toStdString();
    EXPECT_EQ(contenutoDi(p), "vecchio");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3)
        << QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
}

// A settings lock left empty by a crash (or by a process that has ended)
// delays the next write of the recent projects by at most about a second.
TEST(SalvataggiInterrotti, UnBloccoAbbandonatoDelleImpostazioniNonFermaIlProgramma) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    const QString blocco = dir.filePath(QStringLiteral("Veladio/Varimo.ini.lock"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Veladio"))));
    ASSERT_TRUE(scriviContenuto(blocco, {}));
    QElapsedTimer t;
    t.start();
    recenti::aggiungi(dir.filePath(QStringLiteral("Varimo-dati-uno")));
    EXPECT_LT(t.elapsed(), 2500);
    EXPECT_EQ(recenti::elenco().size(), 1);
    EXPECT_FALSE(QFileInfo::exists(blocco));
}

}  // namespace
}  // namespace varimo
