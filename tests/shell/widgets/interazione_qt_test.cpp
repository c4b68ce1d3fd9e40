// How the real dialogs present what the program asks.
#include <gtest/gtest.h>

#include "shell/widgets/interazione_qt.h"

using varimo::FiltroFile;
using varimo::InterazioneQt;

TEST(InterazioneQt, LinesJoinedByCarriageReturnShowOnePerLine) {
    EXPECT_EQ(InterazioneQt::testoVisibile("- uno;\r- due;\r- tre."), "- uno;\n- due;\n- tre.");
    EXPECT_EQ(InterazioneQt::testoVisibile("a\r\n\r\nb"), "a\n\nb");
    EXPECT_EQ(InterazioneQt::testoVisibile("senza a capo"), "senza a capo");
}

TEST(InterazioneQt, AllFilesFilterListsNamesWithoutExtension) {
    const QStringList f =
        InterazioneQt::filtriQt({FiltroFile{"Tutti i file (*.*)", "*.*"},
                                 FiltroFile{"File Varimo-dati- ", " Varimo-dati-*"}});
    ASSERT_EQ(f.size(), 2);
    // "*.*" would hide "Varimo-dati-rossi"; "*" lists it. The description is
    // kept as written.
    EXPECT_EQ(f[0], "Tutti i file (*.*) (*)");
    EXPECT_EQ(f[1], "File Varimo-dati-  (Varimo-dati-*)");
}
