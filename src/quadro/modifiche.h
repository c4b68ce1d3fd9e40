#pragma once

#include <QString>
#include <optional>

#include "quadro/quadro.h"

// The edits the window makes to a framework, as functions on values: each
// either applies whole or refuses with an Italian message and leaves the
// framework untouched. The window wraps them in undo steps.

namespace varimo::quadro {

using EsitoModifica = std::optional<QString>;  // nothing: applied; else why not

// A new amount item after the item at `dopo` (at the same level), or as the
// last child of `dopo` when that is a section and `dentro` is true. Its code
// is the first free one after its neighbour's; `nuovo` receives its path.
EsitoModifica aggiungiVoce(Quadro& q, const Percorso& dopo, bool dentro, Percorso* nuovo = nullptr);
// Removes an item (and its children). Refused while another item refers to it
// or to one of its children, naming them.
EsitoModifica rimuoviVoce(Quadro& q, const Percorso& p);
// Makes the item the last child of the section just above it.
EsitoModifica rientraVoce(Quadro& q, const Percorso& p, Percorso* nuovo = nullptr);
// Makes the item the next sibling of its section.
EsitoModifica sporgiVoce(Quadro& q, const Percorso& p, Percorso* nuovo = nullptr);
// Moves the item up (-1) or down (+1) among its siblings.
EsitoModifica spostaVoce(Quadro& q, const Percorso& p, int verso, Percorso* nuovo = nullptr);
// A new code; the references to the old one (lists, absorbing item) follow.
EsitoModifica cambiaCodice(Quadro& q, const Percorso& p, const QString& codice);
// Turns an item into a section (its amount is lost), an amount (keeping its
// current computed amount) or a percentage (of nothing yet).
EsitoModifica cambiaTipo(Quadro& q, const Percorso& p, Tipo tipo, Centesimi importoAttuale);
// Reads a rule typed in the window: "22 % di B.8 + B.8.c", "22% di B.8, B.8.c",
// "tabella contributo-anac-stazione-appaltante di A" (a year after the
// table's name is allowed and ignored: the framework's date picks it), either
// followed by ", sulla base di gara"; or an empty text (the item becomes an
// amount with `importoAttuale`).
EsitoModifica impostaRegola(Quadro& q, const Percorso& p, const QString& regola,
                            Centesimi importoAttuale);

// The labour costs of an amount item, kept out of the discount of an award:
// not negative and not above the item's amount; nothing removes them.
EsitoModifica impostaManodoperaVoce(Quadro& q, const Percorso& p, std::optional<Centesimi> c);
// An amount item subject to the tender discount or not.
EsitoModifica impostaRibassabile(Quadro& q, const Percorso& p, bool ribassabile);
// A percentage or band-table item computed on the tender base, or not.
EsitoModifica impostaBaseDiGara(Quadro& q, const Percorso& p, bool base);
// The item read from the band table `nome`, on its list of items (a
// percentage's list, else the works "A" when there is one).
EsitoModifica impostaTabella(Quadro& q, const Percorso& p, const QString& nome);
// The rate of a percentage item (one of the choices its data offers).
EsitoModifica impostaAliquota(Quadro& q, const Percorso& p, Millesimi percentuale);


// Gives every item the code of its place: the top-level items A, B, C … (after
// Z: AA, AB …), their children A.1, A.2 …, theirs A.1.1 …; the lists of the
// percentages and band tables and the absorbing item follow. Refused when a
// code used by two items is referred to (which of them is meant is unknown).
EsitoModifica rinumeraVoci(Quadro& q);

}  // namespace varimo::quadro
