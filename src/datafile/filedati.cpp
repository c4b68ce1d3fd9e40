#include "datafile/filedati.h"

#include "common/piattaforma.h"
#include "common/scritturafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace varimo {

std::variant<ProgettoFile, QString> leggiFileProgetto(const QString& percorso) {
    return leggiFileProgetto(percorso, nullptr);
}

std::variant<ProgettoFile, QString> leggiFileProgetto(const QString& percorso,
                                                      QByteArray* contenuto) {
    // Only a regular file is read, and never waited on (a FIFO, a device).
    auto letto = piattaforma::leggiFileRegolare(percorso, dimensioneMassimaFile);
    if (auto* e = std::get_if<QString>(&letto)) return *e;
    const QByteArray& dati = std::get<QByteArray>(letto);
    if (dati.size() > dimensioneMassimaFile)
        return QStringLiteral("il file è troppo grande per essere un file di dati di Varimo.");
    if (contenuto) *contenuto = dati;
    auto progetto = leggiProgettoFile(dati);
    if (auto* e = std::get_if<ErroreLettura>(&progetto))
        return QStringLiteral("il contenuto non è quello di un file di dati di Varimo: ") +
               e->testo() + u'.';
    return std::get<ProgettoFile>(std::move(progetto));
}

}  // namespace varimo
