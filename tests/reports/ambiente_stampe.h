#pragma once

// Common ground for the print tests: a private temporary folder (so the
// documents of one test never meet another's), an opener that records the
// files it is handed instead of starting a word processor, the project the
// reports name, and a scripted user.

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <iterator>
#include <memory>

#include "common/piattaforma.h"
#include "common/testiprogramma.h"
#include "reports/stampe.h"
#include "reports/word.h"
#include "support/interazione_finta.h"

namespace varimo::test {

class AmbienteStampe : public ::testing::Test {
  protected:
    // The project the reports are about.
    IntestazioneProgetto progetto{QStringLiteral("Scuola"), QStringLiteral("euro")};

    void SetUp() override {
        ASSERT_TRUE(cartella.isValid());
        for (std::size_t i = 0; i < std::size(kVariabiliTemporanea); ++i)
            tmpPrecedenti[i] = qgetenv(kVariabiliTemporanea[i]);
        usaTemporanea(cartella.path());
        impostaApriDocumento([this](const QString& p) {
            aperti.append(p);
            return apriRiesce;
        });
    }

    void TearDown() override {
        impostaApriDocumento({});
        for (std::size_t i = 0; i < std::size(kVariabiliTemporanea); ++i) {
            if (tmpPrecedenti[i].isNull()) {
                qunsetenv(kVariabiliTemporanea[i]);
            } else {
                qputenv(kVariabiliTemporanea[i], tmpPrecedenti[i]);
            }
        }
    }

    // Makes `percorso` the temporary folder, as POSIX systems (TMPDIR) and
    // Windows (TMP, then TEMP) look for it.
    static void usaTemporanea(const QString& percorso) {
        for (const char* v : kVariabiliTemporanea) qputenv(v, QFile::encodeName(percorso));
    }

    // The user's own folder of documents inside the temporary folder.
    QString documenti() const { return cartella.filePath(piattaforma::nomeCartellaPrivata()); }

    static constexpr const char* kVariabiliTemporanea[] = {"TMPDIR", "TMP", "TEMP"};
    QTemporaryDir cartella;
    QByteArray tmpPrecedenti[std::size(kVariabiliTemporanea)];
    QStringList aperti;
    bool apriRiesce = true;
    InterazioneFinta utente;
};

}  // namespace varimo::test
