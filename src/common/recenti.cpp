#include "common/recenti.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>

namespace varimo::recenti {

namespace {

const QString kChiave = QStringLiteral("progetti/recenti");

// The settings file's lock is held only while the file is written, for
// milliseconds. An empty lock (a crash while it was being made) or one left
// by a process that has ended would make the next write wait half a minute
// for it: one older than a second counts as abandoned and goes.
// (Reading the settings takes no lock; only writing does.)
void liberaBloccoAbbandonato(const QSettings& impostazioni) {
    QLockFile blocco(impostazioni.fileName() + QStringLiteral(".lock"));
    blocco.setStaleLockTime(1000);
    if (blocco.tryLock(1000)) blocco.unlock();
}

QSettings impostazioni() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Veladio"),
                     QStringLiteral("Varimo"));
}

QString normale(const QString& percorso) {
    return QDir::cleanPath(QFileInfo(percorso).absoluteFilePath());
}

void scrivi(QStringList l) {
    l.removeDuplicates();
    while (l.size() > kMassimo) l.removeLast();
    QSettings s = impostazioni();
    liberaBloccoAbbandonato(s);
    s.setValue(kChiave, l);
    s.sync();
}

}  // namespace

QStringList elenco() {
    QStringList l = impostazioni().value(kChiave).toStringList();
    l.removeAll(QString());
    l.removeDuplicates();
    while (l.size() > kMassimo) l.removeLast();
    return l;
}

void aggiungi(const QString& percorso) {
    if (percorso.isEmpty()) return;
    const QString p = normale(percorso);
    QStringList l = elenco();
    l.removeAll(p);
    l.prepend(p);
    scrivi(l);
}

void togli(const QString& percorso) {
    QStringList l = elenco();
    l.removeAll(percorso);
    l.removeAll(normale(percorso));
    scrivi(l);
}

}  // namespace varimo::recenti
