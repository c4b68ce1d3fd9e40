#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <array>
#include <variant>

#include "common/codifica.h"

namespace varimo {

// The project data file: 19 lines in Windows-1252, each ending with CR LF.
// Line 1 holds the project name and the currency; line 1 + i holds row i's
// label, cost, percentage, captured reference cost (costorif) and reference
// row number (vocerif). Texts are quoted, whole numbers are bare digits, a
// value never assigned is an empty field.

inline constexpr int numeroVoci = 18;
inline constexpr int campiPerVoce = 5;
inline constexpr int campiTotali = 2 + numeroVoci * campiPerVoce;  // 92

// A project file larger than this cannot be one of ours; it is refused
// before it is read into memory.
inline constexpr qint64 dimensioneMassimaFile = 1024 * 1024;

// True for bytes that are valid UTF-8 and not plain ASCII: such a file is
// read as UTF-8.
bool sembraUtf8(const QByteArray& dati);

struct VoceFile {
    QString tipo;       // label
    QString costo;      // cost text, empty when the row has none
    int perc = 0;       // whole number 0..100
    QVariant costorif;  // text, whole number 0, or invalid (unassigned)
    QVariant vocerif;   // whole number 0..18, or invalid (unassigned)

    bool operator==(const VoceFile&) const = default;
};

struct ProgettoFile {
    QString nomeprogetto;
    QString valuta;
    std::array<VoceFile, numeroVoci> voci;  // index 0 = row 1 (A)

    bool operator==(const ProgettoFile&) const = default;
};

// ---- Writing ---------------------------------------------------------------

struct EsitoScrittura {
    QByteArray contenuto;  // the whole file, when errore is empty
    QString errore;        // Italian description of what cannot be written
    bool riuscito() const { return errore.isEmpty(); }
};

// Builds the file's bytes. A straight double quote inside a text is written as
// the closing typographic quote ” (byte 0x94), since the layout has no escape
// for it. A character that Windows-1252 cannot hold, a line break or another
// control character, a text longer than lunghezzaMassimaCampo, or texts whose
// bytes would be taken for UTF-8 on reading make the whole file unwritable:
// the description names the row (or the project name or currency) and the
// fault.
EsitoScrittura scriviProgettoFile(const ProgettoFile& p);

// ---- Reading ---------------------------------------------------------------

struct ErroreLettura {
    int riga = 0;  // physical line (1-based) where the fault is, 0 when none applies
    QString descrizione;
    // "riga 7: la percentuale «150» non è un numero intero da 0 a 100"
    QString testo() const;
};

// Reads and checks the whole file. Fields are taken in sequence; a line end
// separates fields as a comma does, so a row split over two lines reads the
// same. CR LF and bare LF line ends are accepted. The file must hold exactly
// the 92 fields (blank lines at the end are allowed, anything else after
// the last field is refused), every percentage must be a whole number from 0
// to 100 (an empty field counts as 0), every reference number 0..18 or empty,
// no value may hold a control character (a tab aside) or be longer than
// lunghezzaMassimaCampo, and every byte must be a Windows-1252 character. A
// file that starts with the UTF-8 byte order mark, or whose bytes are valid
// UTF-8 and not plain ASCII, is read as UTF-8. The time taken grows linearly
// with the size of the file.
std::variant<ProgettoFile, ErroreLettura> leggiProgettoFile(const QByteArray& contenuto);

}  // namespace varimo
