#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "quadro/fasi.h"
#include "quadro/quadro.h"

// The framework as ANAC's national public-contracts platform asks for it at
// publication, award, each contract modification and the final inspection:
// the amounts of a phase gathered under the keys of its data model
// (QuadroEconomicoType, and for a variant also
// QuadroEconomicoModificaContrattualeType). Each item carries the key it is
// counted under (the item key "anac"); an item without one counts under its
// nearest section's. docs/dati-anac.md describes the keys and the export;
// docs/anac-quadro-economico.schema.json is their JSON Schema.

namespace varimo::quadro {

// One key of the data model: its name in the JSON, its Italian name, and
// whether the shape of a contract modification has it too.
struct CategoriaAnac {
    QString chiave;  // "impLavori"
    QString nome;    // "Lavori"
    bool inModifica = false;
};

// The keys in the order of the data model: impLavori, impServizi,
// impForniture, impTotaleSicurezza, ulterioriSommeNoRibasso,
// impProgettazione, sommeOpzioniRinnovi, sommeRipetizioni, sommeADisposizione.
const QList<CategoriaAnac>& categorieAnac();
const CategoriaAnac* trovaCategoriaAnac(const QString& chiave);

// The key an item carries itself (the item key "anac"); empty when none.
QString categoriaAnac(const Voce& v);
// Sets it, or removes it with an empty key.
void impostaCategoriaAnac(Voce& v, const QString& chiave);
// The edit of the window: a known key, or empty to count the item under its
// section's key; refused otherwise.
std::optional<QString> impostaCategoriaAnacVoce(Quadro& q, const Percorso& p,
                                                const QString& chiave);

// An item as the data for ANAC list it.
struct VoceAnac {
    QString codice, etichetta;
    Centesimi importo = 0;
};

// One key of a phase: its amount and the items it sums.
struct RigaAnac {
    CategoriaAnac categoria;
    Centesimi importo = 0;
    QList<VoceAnac> voci;
};

// The data of one phase for ANAC.
struct DatiAnac {
    QString fase;     // the phase's name
    TipoFase tipo = TipoFase::Esecutivo;
    QList<RigaAnac> righe;  // every key, in the model's order
    Centesimi totale = 0;   // the phase's total
    // The items (not sections) counted under no key: without a key of their
    // own or of a section above them, or with a key the model does not have
    // (its text beside the item).
    QList<VoceAnac> senzaCategoria;
    QList<std::pair<VoceAnac, QString>> categorieIgnote;
    // A variant: the modification's keys, the days of extension granted, and
    // the items under keys the modification's shape has no field for.
    bool modifica = false;
    int giorniProroga = 0;
    QList<VoceAnac> fuoriModifica;

    // The sum of the keys (of the modification's keys when `modifica`).
    Centesimi somma(bool soloModifica = false) const;
    // The keys add up to the phase's total, in every shape the phase has.
    bool tornano() const;
    // Why they do not, in Italian, with the difference and the items that
    // cause it; empty when they add up.
    QStringList problemi() const;
    // Items without a key whose amount is zero: they change no figure, and
    // are named so that the designer can give them one.
    QStringList avvisi() const;
};

// The data of a framework computed with its evaluation.
DatiAnac datiAnac(const Quadro& q, const Valutazione& v);
// The data of phase `i` as its exports take it (an award after its discount).
std::variant<DatiAnac, QString> datiAnacFase(const FileFasi& f, int i);

// The JSON document: {"quadroEconomicoStandard": {...}} and for a variant
// also "quadroEconomicoModificaContrattuale"; amounts as numbers with two
// decimals. Keys with no item are left out, except the ones the shape
// requires.
QByteArray jsonAnac(const DatiAnac& d);
// The data as lines of text for the clipboard: key, Italian name and amount
// (Italian figures) separated by tabs, then the total.
QString testoAnac(const DatiAnac& d);

}  // namespace varimo::quadro
