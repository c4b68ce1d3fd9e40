// The splash sound behaves like a multimedia control: open, play, pause,
// resume, close; every failure leaves it closed and silent.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "shell/widgets/suono.h"

using varimo::Suono;

namespace {
const QString kJingle = QStringLiteral(VARIMO_SOURCE_DIR "/resources/data/Internet.mid");
}

TEST(Suono, MissingFileLeavesTheControlClosedAndCommandsHarmless) {
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

TEST(Suono, NoAudioDeviceIsSilentAndStaysClosed) {
    Suono s(Suono::Uscita::Nessuna);
    s.impostaNomeFile(kJingle);
    s.apri();
    s.suona();
    EXPECT_EQ(s.stato(), Suono::Stato::Chiuso);
}

TEST(Suono, AFileThatIsNotMidiIsNotOpened) {
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

TEST(Suono, OpenPlayPauseResumeClose) {
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

TEST(Suono, BareNameIsLookedUpInTheWorkingFolderFirst) {
    QTemporaryDir d;
    ASSERT_TRUE(QFile::copy(kJingle, QDir(d.path()).filePath("Internet.mid")));
    const QString prima = QDir::currentPath();
    QDir::setCurrent(d.path());
    EXPECT_EQ(Suono::cerca("Internet.mid"), QDir(d.path()).filePath("Internet.mid"));
    QDir::setCurrent(prima);
}
