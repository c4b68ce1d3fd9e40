#include "help/suggerimenti.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "shell/percorsi.h"

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
    const QString trovato = trovaDato(nome);
    if (!trovato.isEmpty()) return trovato;
    return QDir(cartellaProgramma()).filePath(nome);
}

QString decodificaCp1252(const QByteArray& byte) {
    // Characters of the bytes 0x80..0x9F; the rest is Latin-1.
    static constexpr char16_t alti[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString testo;
    testo.reserve(byte.size());
    for (const char c : byte) {
        const auto b = static_cast<unsigned char>(c);
        testo.append(b >= 0x80 && b < 0xA0 ? QChar(alti[b - 0x80]) : QChar(b));
    }
    return testo;
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

void Suggerimenti::Form_Load(const QString& percorso) {
    if (!LoadTips(percorso)) lblTipText_ = messaggioSuggerimentiMancanti();
}

bool Suggerimenti::LoadTips(const QString& percorso) {
    if (percorso.isEmpty()) return false;
    if (!QFileInfo(percorso).isFile()) return false;
    QFile file(percorso);
    // A file that exists but cannot be opened is treated as a missing one:
    // the window then explains where the tips are expected.
    if (!file.open(QIODevice::ReadOnly)) return false;
    tipList << righeSuggerimenti(file.readAll());
    file.close();
    AdvanceTip();
    return true;
}

void Suggerimenti::AdvanceTip() {
    ++tipIndex;
    if (tipIndex > tipList.size()) tipIndex = 1;
    DisplayCurrentTip();
}

void Suggerimenti::DisplayCurrentTip() {
    if (tipList.isEmpty()) return;
    lblTipText_ = tipList.at(tipIndex - 1);
}

void Suggerimenti::cmdprecedente_Click() {
    if (tipIndex <= 1 || tipList.isEmpty()) return;
    --tipIndex;
    DisplayCurrentTip();
}

}  // namespace varimo
