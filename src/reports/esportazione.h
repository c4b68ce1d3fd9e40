#pragma once

#include <QString>
#include <functional>

#include "reports/documento.h"

namespace varimo {

enum class EsitoStampa;

// The command "Esporta in PDF" for any report built on the document layer:
// asks where to save (the save dialog proposes "<nomeProposto>.pdf" in the
// user's documents folder), asks before replacing an existing file, and
// writes the document as a PDF/A file (pdf.h). A file that cannot be written
// gets a message naming it and the reason; nothing half written is left.
EsitoStampa esportaDocumentoPdf(const Documento& doc, const QString& nomeProposto);

// The path the save dialog proposes for nomeProposto.
QString percorsoPropostoPdf(const QString& nomeProposto);

// What an export command asks and writes: the dialog's title, its filter
// ("Documenti PDF", "*.pdf"), the extension a name typed without it gets,
// the message that starts the report of a failure, and the writer (true on
// success, the reason in *errore otherwise).
struct EsportazioneFile {
    QString titolo;
    QString descrizioneFiltro;
    QString estensione;  // ".pdf"
    QString fallimento;  // "Non è stato possibile esportare il documento PDF"
    std::function<bool(const QString& percorso, QString* errore)> scrivi;
};

// The writer of bytes already made, written whole through the safe writer.
std::function<bool(const QString& percorso, QString* errore)> scritturaDi(QByteArray dati);

// The same command for any file: save dialog proposing
// "<nomeProposto><estensione>" in the user's documents folder (in its own
// folder when nomeProposto is an absolute path), question
// before replacing, the file written, a message naming it and the reason on
// failure.
EsitoStampa esportaFile(const EsportazioneFile& e, const QString& nomeProposto);

// The file the last export that succeeded wrote, for the window that asked
// for it to name (in its status bar).
QString& ultimoEsportato();

}  // namespace varimo
