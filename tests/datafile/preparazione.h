#pragma once

// Shared set-up of the data file tests: a small project that passes the
// data check, and file helpers.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "calculation/progetto.h"

namespace varimo::test {

// Row A = 1000 typed; row S = 10 % of A (100); project name and currency set.
inline void progettoValido(Progetto& p) {
    StatoCalcolo& s = p.calcolo();
    s.scriviCosto(1, QStringLiteral("1000"));
    s.scegliRiferimento(17, 0);
    s.scriviScorrimento(17, 10);
    p.impostaNome(QStringLiteral("Scuola"));
    p.impostaValuta(QStringLiteral("euro"));
}

inline QByteArray contenutoDi(const QString& percorso) {
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

inline bool scriviContenuto(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly) && f.write(dati) == dati.size();
}

inline QString fileDiProva(const char* nome) {
    return QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/") + QString::fromUtf8(nome);
}

}  // namespace varimo::test
