#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "quadro/fasi.h"
#include "quadro/quadro.h"

// The commands that run without a window:
//   varimo --esporta IN OUT     computes IN (.varimo or classic data file) and
//                               writes OUT in the format of its extension
//   varimo --esporta IN OUT.json --anac   the phase's data for ANAC
//   varimo --converti IN OUT.varimo   converts a classic data file
//   varimo --help, varimo --version
// Exit status 0 on success; otherwise a message on standard error, a non-zero
// status and OUT untouched.

namespace varimo::quadro {

// A framework computed for export: its file (header and items, the absorbing
// item set) and its evaluation.
struct QuadroCalcolato {
    FileQuadro file;
    Valutazione valutazione;
    // A phase of a file: its kind as the window names it and the figures its
    // print carries (datiDellaFase); empty for a framework on its own.
    QString tipoFase;
    QList<DatoDellaFase> datiFase;
    // An award after its discount: the contract amount and the economies,
    // which its .csv writes on lines of their own; the discount, whether the
    // labour is discounted too and the project's amounts before it, which
    // its spreadsheet turns into formulas of a discount cell.
    std::optional<Centesimi> contratto, economie;
    std::optional<Millesimi> ribasso;
    bool ribassaManodopera = false;
    QHash<QString, Centesimi> primaDelRibasso;
    // The name its export dialogs propose (a path without extension), when
    // the project has a file.
    QString nomeProposto;
};

// Writes the export to `percorso` (atomically); nothing on success, else the
// reason in Italian.
using Esportatore =
    std::function<std::optional<QString>(const QuadroCalcolato&, const QString& percorso)>;

// The writers by extension (lower case, with the point: ".csv").
using Esportatori = QMap<QString, Esportatore>;
// The formats this layer writes itself: the .csv.
Esportatori formatiDiBase();
// The message for an extension none of `formati` writes.
QString formatoSconosciuto(const QString& percorso, const Esportatori& formati);
// The writer for percorso's extension in `formati`, or nullptr.
const Esportatore* esportatorePer(const Esportatori& formati, const QString& percorso);

// The .csv export: UTF-8 with a byte order mark, ';' between fields, a header
// line "codice;etichetta;regola;importo", one line per item in reading order,
// amounts with a decimal comma and no grouping, the project total last with
// the code TOTALE.
QByteArray csvQuadro(const QuadroCalcolato& q);
// One field of a .csv line: quoted when it holds ';', a quote or a line end; a
// text a spreadsheet would take for a formula gets a leading apostrophe.
QString campoCsv(QString s);

// Reads IN as a .varimo file or, failing its signature, as a classic data
// file (converted), and computes it.
std::variant<QuadroCalcolato, QString> leggiEcalcola(const QString& percorso);

// Reads IN as a .varimo file of version 1 or 2 or, failing its signature, as
// a classic data file (converted), which makes one phase.
std::variant<FileFasi, QString> leggiFasiOClassico(const QString& percorso);

// What the program's command line (argv[1] on) asks, read by one parser
// (QCommandLineParser) for the windows and the commands alike.
struct RigaComando {
    enum class Azione {
        Finestre,  // the program with its windows; `file`: at most a project to open
        Aiuto,     // -h, --help: the usage on standard output, status 0
        Versione,  // -v, --version: the version on standard output, status 0
        Esporta,   // --esporta IN OUT [--confronto | --fase NOME] [--ribasso P] [--anac]
        Converti,  // --converti FILE-CLASSICO OUT.varimo
        Errore,    // an unknown option or misplaced argument: usage, status 2
    };
    Azione azione = Azione::Finestre;
    QStringList file;
    bool confronto = false;
    bool anac = false;  // the phase's data for ANAC, as a .json
    std::optional<QString> fase;
    std::optional<QString> ribasso;
    QString errore;  // Errore, or a command's arguments that do not fit it
};
RigaComando leggiRigaComando(const QStringList& argomenti);
// The usage, in Italian, as --help prints it.
QString testoUso();

// Whether the arguments (argv[1] on) ask for a command without a window.
bool comandoSenzaFinestra(const QStringList& argomenti);
// Runs it, writing exports in the given formats; messages go to `errori`
// (standard error in the program). The exit status: 0 done, 1 failed, 2 an
// argument the command line does not know.
int eseguiComando(const QStringList& argomenti, QString* errori,
                  const Esportatori& formati = formatiDiBase());
int eseguiComando(const RigaComando& riga, QString* errori,
                  const Esportatori& formati = formatiDiBase());

}  // namespace varimo::quadro
