#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/nomifile.h"
#include "common/servizi.h"
#include "reports/documento.h"

namespace varimo {

// The word-processor "application" of one print: it holds the documents made
// in it. Every print makes a new one, shows it, and adds one document.
class ApplicazioneWord {
  public:
    bool visibile = false;  // Visible

    // Documents.Add: a new empty document, the insertion point at its start.
    std::shared_ptr<Documento> aggiungiDocumento();
    // A document made elsewhere joins the application's list.
    std::shared_ptr<Documento> aggiungiDocumento(std::shared_ptr<Documento> d);
    // Documents.Count, Documents.Item(n) (n from 1; nullptr outside).
    int numeroDocumenti() const { return static_cast<int>(documenti_.size()); }
    std::shared_ptr<Documento> documento(int n) const;

  private:
    std::vector<std::shared_ptr<Documento>> documenti_;
};

// The application, document and last table of one print, held by the print
// that makes them. Each new document replaces them; earlier documents are not
// touched: they have already been handed to the user.
struct SessioneWord {
    std::shared_ptr<ApplicazioneWord> applicazione;
    std::shared_ptr<Documento> documento;
    Tabella* tabella = nullptr;  // inside documento

    // A new visible application with one new document: applicazione and documento
    // point to them, tabella to nothing yet.
    Documento& nuovoDocumento();
    // A new visible application holding a finished document: applicazione and
    // documento point to them, tabella to the document's last table.
    Documento& adotta(std::shared_ptr<Documento> d);
};

// How a finished document file is opened for the user, among the
// application's services. The program sets it at start-up; tests put their
// own in its place to see which files were handed over. Empty when none is set.
void impostaApriDocumento(ApriDocumento apri);
ApriDocumento apriDocumento();

// A path in cartella, "<nome><estensione>" or, when that exists already,
// "<nome> (2)<estensione>", "(3)" and so on (a name held by a dangling link
// counts as taken).
QString percorsoLibero(const QString& cartella, const QString& nome, const QString& estensione);

// Writes the package to a new file in the user's own folder inside the
// temporary folder (readable by the user only, as is the file), named after
// nomeDocumento (made safe, ".docx" added), never over an existing file,
// and hands it to the opener. On failure the user is told what went wrong and
// where, and nothing is returned (a file that could not be written whole is
// removed). The path of the document on success.
std::optional<QString> consegnaDocumento(const Documento& d, const QString& nomeDocumento);

// Hands an existing document file to the opener; tells the user when it fails.
bool apriPerUtente(const QString& percorso);

// Writes d to percorso in the given format (the .docx package or a PDF/A
// file), replacing an existing file only once the new one is complete. The
// reason in *errore on failure.
bool salvaDocumento(const Documento& d, const QString& percorso, QString* errore,
                    Documento::Formato formato = Documento::Formato::Docx);

}  // namespace varimo
