#include "common/percorsi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "common/servizi.h"

namespace varimo {

QString cartellaProgramma() {
    const Servizi* servizi = Servizi::seEsistono();
    if (servizi && !servizi->cartellaProgramma.isEmpty()) return servizi->cartellaProgramma;
    return QCoreApplication::applicationDirPath();
}

void impostaCartellaProgramma(const QString& cartella) {
    if (Servizi* servizi = cartella.isEmpty() ? Servizi::seEsistono() : Servizi::dellApplicazione())
        servizi->cartellaProgramma = cartella;
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
