#include "common/percorsi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace varimo {

namespace {
QString cartellaImposta;
}

QString cartellaProgramma() {
    if (!cartellaImposta.isEmpty()) return cartellaImposta;
    return QCoreApplication::applicationDirPath();
}

void impostaCartellaProgramma(const QString& cartella) {
    cartellaImposta = cartella;
}

QString trovaDato(const QString& nome) {
    const QString base = cartellaProgramma();
    const QString candidati[] = {
        QDir(base).filePath(nome),
        QDir(base).filePath(QStringLiteral("../share/varimo/") + nome),
        QDir(QStringLiteral(VARIMO_DATADIR)).filePath(nome),
    };
    for (const QString& c : candidati) {
        if (QFileInfo(c).isFile()) return QDir::cleanPath(c);
    }
    return {};
}

}  // namespace varimo
