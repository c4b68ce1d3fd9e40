#include "help/suggerimenti.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/codifica.h"
#include "common/percorsi.h"

namespace varimo {

QString messaggioSuggerimentiMancanti() {
    const QString nome = QString::fromLatin1(kFileSuggerimenti);
    return QStringLiteral("Impossibile trovare il file ") + nome + QStringLiteral("\r\n\r\n") +
           QStringLiteral("Creare un file di testo denominato ") + nome +
           QStringLiteral(
               " utilizzando il Blocco note e inserendo un suggerimento per ogni riga. ") +
           QStringLiteral("Inserire il file nella stessa directory dell'applicazione. ");
}

QString percorsoSuggerimenti() {
    const QString nome = QString::fromLatin1(kFileSuggerimenti);
    QString trovato = trovaDato(nome);
    if (!trovato.isEmpty()) return trovato;
    return QDir(cartellaProgramma()).filePath(nome);
}

QString decodificaCp1252(const QByteArray& byte) {
    // The five bytes that Windows-1252 leaves unassigned are kept as the
    // control characters of the same number, as Windows shows them.
    QString testo;
    QByteArray resto = byte;
    while (true) {
        const TestoDecodificato d = decodificaWindows1252(resto);
        if (d.riuscito()) return testo + d.testo;
        const qsizetype p = *d.posizioneByteNonValido;
        testo += decodificaWindows1252(resto.left(p)).testo;
        testo += QChar(static_cast<unsigned char>(resto.at(p)));
        resto = resto.mid(p + 1);
    }
}

QStringList righeSuggerimenti(const QByteArray& byte) {
    QStringList righe;
    qsizetype inizio = 0;
    const qsizetype n = byte.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = byte.at(i);
        if (c != '\r' && c != '\n') continue;
        righe << decodificaCp1252(byte.mid(inizio, i - inizio));
        if (c == '\r' && i + 1 < n && byte.at(i + 1) == '\n') ++i;
        inizio = i + 1;
    }
    if (inizio < n) righe << decodificaCp1252(byte.mid(inizio));
    return righe;
}

void Suggerimenti::carica(const QString& percorso) {
    if (!leggiFile(percorso)) testo_ = messaggioSuggerimentiMancanti();
}

bool Suggerimenti::leggiFile(const QString& percorso) {
    if (percorso.isEmpty()) return false;
    if (!QFileInfo(percorso).isFile()) return false;
    QFile file(percorso);
    // A file that exists but cannot be opened is treated as a missing one:
    // the window then explains where the tips are expected.
    if (!file.open(QIODevice::ReadOnly)) return false;
    elenco << righeSuggerimenti(file.readAll());
    file.close();
    avanza();
    return true;
}

void Suggerimenti::avanza() {
    ++posizione;
    if (posizione > elenco.size()) posizione = 1;
    mostraAttuale();
}

void Suggerimenti::mostraAttuale() {
    if (elenco.isEmpty()) return;
    testo_ = elenco.at(posizione - 1);
}

void Suggerimenti::suggerimentoPrecedente() {
    if (posizione <= 1 || elenco.isEmpty()) return;
    --posizione;
    mostraAttuale();
}

}  // namespace varimo
