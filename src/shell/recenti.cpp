#include "shell/recenti.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace varimo::recenti {

namespace {

const QString kChiave = QStringLiteral("progetti/recenti");

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
