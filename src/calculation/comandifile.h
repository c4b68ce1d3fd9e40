#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "common/interazione.h"
#include "datafile/formato.h"
#include "progetto/progettoaperto.h"

namespace varimo {

class Progetto;

// Dialog texts of the file commands.
namespace testifile {
inline const QString titoloApri = QStringLiteral("Apri file (sezioni)");
inline const QString titoloSalva = QStringLiteral("Salva i dati del progetto");
inline const QString titoloSalvaNome = QStringLiteral("Salva i dati del progetto con nome");
inline const QString nomeIniziale = QStringLiteral("Varimo-dati-");
// The filters as the program states them: "description|pattern" pairs.
inline const QString filtroCompleto =
    QStringLiteral("Tutti i file (*.*)|*.*|File Varimo-dati- | Varimo-dati-*");
inline const QString filtroSalva = QStringLiteral("File Varimo-dati- | Varimo-dati-*");
inline const QString digitareNome = QStringLiteral("Digitare il nome del progetto.");
inline const QString immettereValuta = QStringLiteral("Immettere la valuta.");
inline const QString salvareModifiche =
    QStringLiteral("Salvare le modifiche al progetto prima di chiudere?");
inline const QString& modificatoAltrove = testiprogetto::modificatoAltrove;
}  // namespace testifile

// Splits a "description|pattern|..." filter into its pairs. Descriptions are
// kept as written; blanks around a pattern are dropped, since a pattern is
// matched against file names.
QList<FiltroFile> filtriDa(const QString& filtro);

// Deletes the file at percorso; on failure the reason, in Italian.
std::optional<QString> eliminaFile(const QString& percorso);

// The Open, Save, Save as and Delete commands of a project, with its one file
// dialog (the dialog's remembered file name lives here), the messages, the
// lock file and the check for changes made by other programs. The project
// itself reads and becomes what is opened (Progetto::apri) and gives what is
// saved (Progetto::comeFile). Both main windows call the same object.
class ComandiFile {
  public:
    explicit ComandiFile(Progetto& progetto);
    ~ComandiFile();
    ComandiFile(const ComandiFile&) = delete;
    ComandiFile& operator=(const ComandiFile&) = delete;

    // Framework window hook: showing it when the save stops for a missing
    // name or currency.
    void impostaMostraQuadro(std::function<void()> f) { mostraQuadro_ = std::move(f); }
    // Told the path of every project file opened or saved (recent projects).
    void impostaFileUsato(std::function<void(const QString&)> f);

    void apri();
    // Open without the dialog: the project file at that path is checked and,
    // when another running Varimo holds it (its lock file beside it), the user
    // is told and asked whether to open it all the same; then,
    // when sound, applied as Open applies it. A file that cannot be read gets
    // Open's message and changes nothing. True when the project was applied.
    // The Open empties the project's undo history and is then its one step
    // (undo gives back the work that was on screen), and the opened project
    // counts as saved. Amounts that cannot be used (not a number, or
    // beyond the exact range) count as zero in the sums and are listed in one
    // message after the Open.
    bool apriPercorso(const QString& percorso);
    // Save and Save as; true when the file was written. A name chosen in the
    // dialog that is taken by an existing file is replaced only after a
    // question; Save onto the opened file asks first when another program
    // has changed the file since it was opened or last saved.
    bool salva();
    bool salvaConNome();
    // Delete: the chosen file is removed; the current file stays the same
    // (after deleting it, the next Save re-creates it). A failure is told.
    void eliminaFileScelto();
    // The save itself; its dialog shows the title the caller set. True when
    // the file was written; the state then counts as saved.
    bool archivia();

    // The close box of the calculation window: with changes not saved, asks
    // whether to save them first (Yes, No, Cancel). True when the window may
    // close: nothing unsaved, No, or Yes and the save succeeded.
    bool consentiChiusura();

    // The dialog's file name as it will be shown next (Save, Save as, Delete).
    const QString& nomeDialogo() const { return nomeDialogo_; }

  private:
    std::optional<QString> chiedi(const QString& titolo, const QString& filtro, int scelto,
                                  bool salvataggio);
    void avvisa(const QString& intestazione, const QString& percorso, const QString& motivo);

    Progetto& progetto_;
    QString nomeDialogo_ = testifile::nomeIniziale;
    QString titoloDialogo_;
    std::function<void()> mostraQuadro_;
};

}  // namespace varimo
