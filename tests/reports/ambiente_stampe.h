#pragma once

// Common ground for the print tests: a private temporary folder (so the
// documents of one test never meet another's), an opener that records the
// files it is handed instead of starting a word processor, the project the
// reports name, and a scripted user.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "reports/stampe.h"
#include "reports/word.h"
#include "shell/modvarimo.h"
#include "support/interazione_finta.h"

namespace varimo::test {

class AmbienteStampe : public ::testing::Test {
  protected:
    // The project the reports are about.
    IntestazioneProgetto progetto{QStringLiteral("Scuola"), QStringLiteral("euro")};

    void SetUp() override {
        ASSERT_TRUE(cartella.isValid());
        tmpPrecedente = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(cartella.path()));
        impostaApriDocumento([this](const QString& p) {
            aperti.append(p);
            return apriRiesce;
        });
    }

    void TearDown() override {
        impostaApriDocumento({});
        if (tmpPrecedente.isNull()) {
            qunsetenv("TMPDIR");
        } else {
            qputenv("TMPDIR", tmpPrecedente);
        }
    }

    // The user's own folder of documents inside the temporary folder.
    QString documenti() const {
        return cartella.filePath(QStringLiteral("varimo-") + QString::number(::geteuid()));
    }

    QTemporaryDir cartella;
    QByteArray tmpPrecedente;
    QStringList aperti;
    bool apriRiesce = true;
    InterazioneFinta utente;
};

}  // namespace varimo::test
