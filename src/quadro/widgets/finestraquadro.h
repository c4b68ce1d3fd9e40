#pragma once

#include <QMainWindow>
#include <QSet>

#include "quadro/documentoquadro.h"
#include "quadro/rigacomando.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeView;

namespace varimo {
class StatoCalcolo;
}

namespace varimo::quadro {

class ModelloQuadro;

// The window `quadro` ("Quadro economico"): the framework of any shape as a
// tree of items (`voci`) with inline editing, the header in a form, the
// phase in the window named in the title and above the items
// (`fasecorrente`: name, kind, date, an award's discount, contract amount and
// economies, a variant's act), the fixed total with its absorbing item and
// the totals always in view. An award shows its items after the discount,
// read only, unless "Voci prima del ribasso" (`primadelribasso`) brings the
// project's items back to be corrected. A thin view over a DocumentoQuadro.
class FinestraQuadro final : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "quadro";

    FinestraQuadro();
    ~FinestraQuadro() override;

    DocumentoQuadro& documento() { return documento_; }
    ModelloQuadro& modello() { return *modello_; }
    QTreeView* vista() const { return vista_; }

    // The commands of the File menu. Those that would replace unsaved work ask
    // first. Each returns whether it went through.
    bool nuovo();
    bool apri();                                 // asks for the file
    bool apriPercorso(const QString& percorso);  // a message on failure
    bool salva();
    bool salvaConNome();
    bool esportaCsv();
    // Takes a framework made elsewhere (a converted classic project) as a new,
    // unsaved document.
    bool accogli(const FileQuadro& f);
    // Asks whether to save unsaved changes; false when the user cancels.
    bool chiudibile();

    // The edits of the Modifica menu, on the current item.
    void aggiungi(bool dentro);
    void elimina();
    void rientra();
    void sporgi();
    void sposta(int verso);
    void copia();

  private:
    bool salvataggio(bool nuovoNome);
    // The name the file dialogs propose: beside the framework's file with its
    // name, else the title; `estensione` appended.
    QString nomeProposto(const QString& estensione) const;
    // The phase in the window as its documents and its .csv take it.
    std::variant<QuadroCalcolato, QString> daEsportare() const;
    void aggiorna();
    void mostraEsito(const EsitoModifica& e);
    void riseleziona(const Percorso& p);
    Percorso corrente() const;
    void scriviIntestazione();
    void scriviVincolo();
    // The rule commands of the current item: on the tender base, a band
    // table, a rate among its choices.
    void aggiornaVoceCorrente();
    void modificaVoceCorrente(const QString& nome,
                              const std::function<EsitoModifica(Quadro&, const Percorso&)>& f);

    DocumentoQuadro documento_;
    ModelloQuadro* modello_;
    QTreeView* vista_;
    QList<QLineEdit*> campi_;  // ente, titolo, cup, cig, rup, progettista, data, valuta
    QLineEdit* luogo_;
    QLabel* faseCorrente_;
    QCheckBox* primaDelRibasso_;
    QCheckBox* vincolato_;
    QLineEdit* totaleVincolato_;
    QComboBox* compensa_;
    QLabel* esitoVincolo_;
    QLabel* totale_;
    QLabel* avviso_;
    QLabel* avvisiLegge_;  // the evaluation's warnings: tables out of date, limits passed
    QLabel* fonteVoce_;    // the current item's table and its source, and its note
    QAction* baseDiGara_;
    QMenu* tabelle_;
    QMenu* aliquote_;
    QMenu* categorieAnac_;
    bool aggiornando_ = false;
    QSet<QString> chiuse_;  // the codes of the sections closed before the tree was rebuilt
    std::optional<Percorso> scelta_;  // the item to make current after the next change
};

// The commands of both main windows' File menus.
void nuovoQuadro();
void apriQuadro();
// "Converti in quadro" of the calculation window: its project as a new,
// unsaved framework in the window.
void convertiInQuadro(const StatoCalcolo& stato);
// Opens a .varimo file in the window (the file manager, the command line).
bool apriQuadroAllAvvio(const QString& percorso);

}  // namespace varimo::quadro
