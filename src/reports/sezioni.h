#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "reports/documento.h"
#include "reports/stampe.h"

namespace varimo {

// Prints of the framework in its two sections, A) the works and B) the sums
// at the administration's disposal: the sectioned framework, and the
// framework after the tender with its three amount columns. Both are built as
// documents first (the same document goes to the word processor or to a
// PDF file), then delivered.

// One row of a section as printed: its label, the percentage rule that
// follows it (empty for a typed row) and its amounts, already in the
// "##,##0.00" format.
struct VoceSezione {
    QString tipo;
    QString regola;  // "(10 % di Importo a base dell'appalto)"
    QStringList importi;
};

struct QuadroSezioni {
    QStringList colonneImporti;  // headings of the amount columns
    QList<VoceSezione> lavori;   // a.1, a.2, ...
    QStringList totaleLavori;
    QList<VoceSezione> somme;  // b.1, b.2, ...
    QStringList totaleSomme;
    QStringList totaleProgetto;
    IntestazioneProgetto intestazione;
};

// The rule of a percentage row: "(10 % di Importo a base dell'appalto)".
QString regolaPercentuale(const QString& percentuale, const QString& riferimento,
                          const QString& aggiunta = QString());

inline const QString kTitoloStampaSezioni = QStringLiteral("QUADRO ECONOMICO");
inline const QString kTitoloStampaDopoGara = QStringLiteral("QUADRO ECONOMICO DOPO LA GARA");
// Names of the documents (the title is the heading's; these tell the files apart).
inline const QString kNomeStampaSezioni = QStringLiteral("QUADRO ECONOMICO per sezioni");
inline const QString kNomeStampaDopoGara = QStringLiteral("QUADRO ECONOMICO dopo la gara");

// The sectioned framework: the heading of the framework report, then one
// table: "A) LAVORI", its rows lettered a.1, a.2, ..., "Totale lavori (A)";
// "B) SOMME A DISPOSIZIONE DELL'AMMINISTRAZIONE", b.1, ..., "Totale somme a
// disposizione (B)"; "TOTALE PROGETTO (A + B)" in the currency. Section and
// total lines are bold, amounts right-aligned. Nothing (after the heading's
// message) when the project name or the currency is missing.
std::shared_ptr<Documento> documentoSezioni(const QuadroSezioni& q);

// The framework after the tender: heading, the discount line, the sectioned
// table with the project, after-tender and difference columns, then the
// statements in figures and words.
std::shared_ptr<Documento> documentoDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                                             const QStringList& dichiarazioni);

// The same, handed to the word processor as .docx files ...
EsitoStampa stampaSezioni(const QuadroSezioni& q);
EsitoStampa stampaDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                           const QStringList& dichiarazioni);
// ... or exported as PDF/A files, proposed as "<project> - quadro economico
// per sezioni.pdf" and "<project> - quadro dopo la gara.pdf" (esportazione.h).
EsitoStampa esportaSezioni(const QuadroSezioni& q);
EsitoStampa esportaDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                            const QStringList& dichiarazioni);

}  // namespace varimo
