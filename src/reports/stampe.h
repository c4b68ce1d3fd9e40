#pragma once

#include <QString>
#include <array>
#include <memory>

#include "reports/documento.h"

namespace varimo {

// The two reports of the main windows. The windows copy what their controls
// display into these plain records and call the report; nothing is
// recomputed, every text is printed as shown (amounts through the
// "##,##0.00" format).

// What a print command tells its window.
enum class EsitoStampa {
    Fatto,         // the document was made and handed to the word processor
    MostraQuadro,  // project name or currency missing: the user was told; the
                   // caller shows the framework window, where both are typed
    NonRiuscito,   // the document could not be written or opened; the user was told
    Annullato,     // the user cancelled the choice of the file
};

// The project a report is about: its name and currency, as the framework
// window shows them.
struct IntestazioneProgetto {
    QString nome;
    QString valuta;
};

// One row of the calculation window as displayed.
struct RigaStampaCalcolo {
    QString tipo;         // tipo(i).Text
    QString costo;        // costo(i).Text
    QString percentuale;  // perc(i).Caption
    QString riferimento;  // Combo1(i).Text
};

struct DatiStampaCalcolo {
    std::array<RigaStampaCalcolo, 19> righe;  // righe[1..18]; righe[0] is not used
    QString calcolato;                        // calcolato.Text
    QString progetto;                         // progetto.Text
    QString vincolato;                        // vincolato.Text
    QString costoprogetto;                    // costoprogetto.Text
    IntestazioneProgetto intestazione;
};

struct DatiStampaQuadro {
    int numerovoci = 0;            // rows shown, 0..18
    std::array<QString, 20> tipo;  // tipo[1..numerovoci] and tipo[19] (total row)
    std::array<QString, 20> costo;
    IntestazioneProgetto intestazione;
};

inline const QString kTitoloStampaCalcolo = QStringLiteral("Calcolo del QUADRO ECONOMICO");
inline const QString kTitoloStampaQuadro = QStringLiteral("QUADRO ECONOMICO");

// Report preamble shared by both reports: checks the project name and the
// currency, then types the heading with the given title, closing it with a
// paragraph added at the end, into a new document of its own, not yet
// delivered (for reports built first and then printed or exported); nothing, after the
// message, when the project name or the currency is missing.
std::shared_ptr<Documento> documentoConIntestazione(const QString& titolo,
                                                    const IntestazioneProgetto& progetto);

// The documents of the two reports, built and not yet delivered: the same
// document goes to the word processor (stampa...) or to a PDF file
// (esporta...). Nothing, after the message of the preamble, when the project
// name or the currency is missing. The document's title is
// nomeDocumentoStampa(title, project name).
std::shared_ptr<Documento> documentoCalcolo(const DatiStampaCalcolo& dati);
std::shared_ptr<Documento> documentoQuadro(const DatiStampaQuadro& dati);

// The calculation window's Stampa (menu entry `stampa`): the calculation report.
EsitoStampa stampaCalcolo(const DatiStampaCalcolo& dati);
// The framework window's Stampa (menu entry `stampa`): the framework report.
EsitoStampa stampaQuadro(const DatiStampaQuadro& dati);

// Hands a built report to the word processor as the program's print, in an
// application of its own.
EsitoStampa consegnaStampa(std::shared_ptr<Documento> doc);

// The menu entry `esportapdf` of either main window: the report of the
// window as a PDF/A file, proposed as "<project> - calcolo.pdf" and
// "<project> - quadro economico.pdf" (see esportazione.h).
EsitoStampa esportaCalcolo(const DatiStampaCalcolo& dati);
EsitoStampa esportaQuadro(const DatiStampaQuadro& dati);

// A row number as the reports print it: one blank, where a sign would go,
// before the digits (" 1", " 18").
QString numeroConSegno(int n);

// The name the document of a report gets: "<program> - <title> - <project>".
QString nomeDocumentoStampa(const QString& titolo, const QString& nomeProgetto);

}  // namespace varimo
