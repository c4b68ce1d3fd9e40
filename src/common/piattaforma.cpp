// The part of the platform seam that is the same on every system: the names
// of the temporary files a save makes.
#include "common/piattaforma.h"

namespace varimo::piattaforma {

const QString& marcaBase() {
    static const QString marca = QStringLiteral("~varimo");
    return marca;
}

qint64 processoDelTemporaneo(const QString& nome) {
    if (!nome.startsWith(u'.')) return 0;
    const QString& marca = marcaBase();
    const qsizetype m = nome.lastIndexOf(marca);
    if (m < 0) return 0;
    const qsizetype inizio = m + marca.size();
    const qsizetype punto = nome.indexOf(u'.', inizio);
    if (punto <= inizio || nome.size() - punto - 1 != 6) return 0;
    bool ok = false;
    const qlonglong pid = nome.mid(inizio, punto - inizio).toLongLong(&ok);
    if (!ok || pid <= 0 || pid > 0x3FFFFFFF) return 0;
    return pid;
}

}  // namespace varimo::piattaforma
