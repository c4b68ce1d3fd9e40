// The splash sound behaves like a multimedia control: open, play, pause,
// resume, close; every failure leaves it closed and silent.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "app/saluto.h"
#include "app/suono.h"

using varimo::Saluto;
using varimo::Suono;

namespace {
const QString kJingle = QStringLiteral(VARIMO_SOURCE_DIR "/resources/data/Internet.mid");
}

TEST(Suono, FileMancanteLasciaIlControlloChiusoEIComandiInnocui) {
    Suono s(Suono::Uscita::Scarto);
    s.impostaNomeFile("non-esiste-affatto.mid");
    s.apri();
    EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
    s.suona();
    s.pausa();
    EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
    s.chiudi();
    EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
}

TEST(Suono, SenzaDispositivoAudioTaceERestaChiuso) {
    Suono s(Suono::Uscita::Nessuna);
    s.impostaNomeFile(kJingle);
    s.apri();
    s.suona();
    EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
}

TEST(Suono, UnFileCheNonEMidiNonSiApre) {
    QTemporaryDir d;
    const QString falso = QDir(d.path()).filePath("Internet.mid");
    QFile f(falso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("non sono musica");
    f.close();
    Suono s(Suono::Uscita::Scarto);
    s.impostaNomeFile(falso);
    s.apri();
    EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
}

TEST(Suono, ApriSuonaPausaRiprendiChiudi) {
    if (Suono::soundfont().isEmpty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    Suono s(Suono::Uscita::Scarto);
    s.impostaNomeFile(kJingle);
    s.apri();
    ASSERT_EQ(s.stato(), Suono::Stato::Aperto);
    s.pausa();  // nothing to pause yet
    EXPECT_EQ(s.stato(), Suono::Stato::Aperto);
    s.suona();
    EXPECT_EQ(s.stato(), Suono::Stato::InRiproduzione);
    s.pausa();
    EXPECT_EQ(s.stato(), Suono::Stato::InPausa);
    s.suona();
    EXPECT_EQ(s.stato(), Suono::Stato::InRiproduzione);
    s.chiudi();
    EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
    EXPECT_TRUE(s.fileAperto().isEmpty());
}

TEST(Suono, IlSoloNomeSiCercaPrimaNellaCartellaDiLavoro) {
    QTemporaryDir d;
    ASSERT_TRUE(QFile::copy(kJingle, QDir(d.path()).filePath("Internet.mid")));
    const QString prima = QDir::currentPath();
    QDir::setCurrent(d.path());
    EXPECT_EQ(Suono::cerca("Internet.mid"), QDir(d.path()).filePath("Internet.mid"));
    QDir::setCurrent(prima);
}

// Opened in the background, the control keeps the commands given while the
// synthesizer is being made: the last of play and pause decides whether it
// plays when ready, and a close (or the end of the control) drops it.
TEST(Suono, ComandiDuranteLAperturaInSecondoPiano) {
    if (Suono::soundfont().isEmpty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    struct Caso {
        const char* comandi;
        Suono::Stato atteso;
    } casi[] = {
        {"", Suono::Stato::Aperto},   {"s", Suono::Stato::InRiproduzione},
        {"sp", Suono::Stato::Aperto}, {"sps", Suono::Stato::InRiproduzione},
        {"sc", Suono::Stato::Chiuso}, {"cs", Suono::Stato::Chiuso},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.comandi);
        Suono s(Suono::Uscita::Scarto);
        s.impostaNomeFile(kJingle);
        s.apriInSottofondo();
        EXPECT_EQ(s.stato(), Suono::Stato::InApertura);
        for (const char* k = c.comandi; *k; ++k) {
            if (*k == 's') s.suona();
            if (*k == 'p') s.pausa();
            if (*k == 'c') s.chiudi();
        }
        s.attendi(10000);
        QTest::qWait(20);  // a result that arrives after a close changes nothing
        EXPECT_EQ(s.stato(), c.atteso);
        EXPECT_EQ(s.fileAperto().isEmpty(), c.atteso == Suono::Stato::Chiuso);
        // Once open it behaves as a control opened at once.
        if (c.atteso == Suono::Stato::Aperto) {
            s.suona();
            EXPECT_EQ(s.stato(), Suono::Stato::InRiproduzione);
        }
    }
    // Destroyed while opening: the worker's engine is thrown away unseen.
    for (int i = 0; i < 3; ++i) {
        Suono s(Suono::Uscita::Scarto);
        s.impostaNomeFile(kJingle);
        s.apriInSottofondo();
        s.suona();
    }
    QTest::qWait(20);
}

TEST(Suono, GliErroriInSecondoPianoFinisconoAControlloChiuso) {
    for (Suono::Uscita u : {Suono::Uscita::Scarto, Suono::Uscita::Nessuna}) {
        Suono s(u);
        s.impostaNomeFile(u == Suono::Uscita::Scarto ? QStringLiteral("non-esiste.mid") : kJingle);
        s.apriInSottofondo();
        s.suona();
        EXPECT_TRUE(s.attendi(10000));
        EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
    }
}

// The splash is painted before its sound is opened; the sound then opens and
// plays by itself. A click before the sound is ready means it never plays; a
// key press means it is never opened.
TEST(Suono, LaSplashApreIlSuoSuonoDopoEssereStataDisegnata) {
    if (Suono::soundfont().isEmpty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    const QString prima = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(VARIMO_SOURCE_DIR "/resources/data"));
    qputenv("VARIMO_SUONO", "scarto");
    {
        Saluto splash;
        EXPECT_EQ(splash.suono().stato(), Suono::Stato::Chiuso);
        splash.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
        QTRY_VERIFY(splash.suono().stato() != Suono::Stato::Chiuso);
        splash.suono().attendi(10000);
        EXPECT_EQ(splash.suono().stato(), Suono::Stato::InRiproduzione);
    }
    {
        Saluto splash;
        splash.show();
        splash.passaAlCalcolo();  // before the sound is ready
        splash.suono().attendi(10000);
        QTRY_COMPARE(splash.suono().stato(), Suono::Stato::Aperto);
        splash.congedo();  // the farewell plays it
        EXPECT_EQ(splash.suono().stato(), Suono::Stato::InRiproduzione);
    }
    {
        Saluto splash;
        splash.show();
        splash.esciDalSaluto();
        // Once the opening started before the key press has finished, however
        // long it takes on a busy machine, the sound is closed.
        splash.suono().attendi(10000);
        QTRY_COMPARE(splash.suono().stato(), Suono::Stato::Chiuso);
        QTest::qWait(20);
        EXPECT_EQ(splash.suono().stato(), Suono::Stato::Chiuso);
    }
    qunsetenv("VARIMO_SUONO");
    QDir::setCurrent(prima);
}
