// The part of the platform seam that is the same on every system: the names
// of the temporary files a save makes.
#include "common/piattaforma.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

namespace {

const QString kLavoro = QStringLiteral("varimo-lavoro-");

}  // namespace

std::unique_ptr<QTemporaryDir> cartellaDiLavoro() {
    const QDir temporanea(QDir::tempPath());
    const qint64 proprio = QCoreApplication::applicationPid();
    const QFileInfoList voci = temporanea.entryInfoList(
        {kLavoro + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& voce : voci) {
        // "varimo-lavoro-<pid>-XXXXXX"
        const QString resto = voce.fileName().mid(kLavoro.size());
        bool ok = false;
        const qint64 pid = resto.section(u'-', 0, 0).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == proprio || altrui(voce) || !processoTerminato(pid)) continue;
        QDir(voce.absoluteFilePath()).removeRecursively();
    }
    return std::make_unique<QTemporaryDir>(
        temporanea.filePath(kLavoro + QString::number(proprio) + QStringLiteral("-XXXXXX")));
}

}  // namespace varimo::piattaforma
