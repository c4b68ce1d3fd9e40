#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QObject;

namespace varimo {

// Everything the program asks of the user goes through this facade: message
// boxes, the file dialog and the colour dialog. The program installs the
// implementation that shows real Qt dialogs; tests install a scripted one that
// records what was asked and hands back queued answers.

enum class Icona { Nessuna, Informazione, Esclamazione, Domanda, Critica };
enum class Pulsanti { Ok, SiNo, SiNoAnnulla };
enum class Risposta { Ok, Si, No, Annulla };

// The answer that agrees to nothing: No to a question, Annulla where it can
// be cancelled, OK to a plain message.
Risposta rispostaPrudente(Pulsanti p);

struct Messaggio {
    QString testo;  // lines joined by "\r" (character 13), as the program states them
    QString titolo;
    Icona icona = Icona::Informazione;
    Pulsanti pulsanti = Pulsanti::Ok;
    Risposta predefinita = Risposta::Ok;
};

// One description/pattern pair of a file dialog filter, for example
// {"Tutti i file (*.*)", "*.*"}.
struct FiltroFile {
    QString descrizione;
    QString modello;
};

struct RichiestaFile {
    QString titolo;
    QList<FiltroFile> filtri;
    int filtroScelto = 0;      // index into filtri
    QString nomeFile;          // shown in the name field
    bool salvataggio = false;  // save dialog (true) or open dialog (false)
};

class Interazione {
  public:
    virtual ~Interazione() = default;
    virtual Risposta mostraMessaggio(const Messaggio& m) = 0;
    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> chiediFile(const RichiestaFile& r) = 0;
    // The chosen colour as 0xRRGGBB, or nothing when cancelled.
    virtual std::optional<quint32> chiediColore(quint32 iniziale) = 0;

    // A message that does not stop the user: shown without taking the
    // keyboard from the box being typed into. By default it is shown as any
    // other message.
    virtual void mostraAvviso(const Messaggio& m) { mostraMessaggio(m); }
    // Installs the facade used from now on among the application's services;
    // nullptr restores the silent default (answers Ok/No, cancels dialogs).
    static void imposta(Interazione* i);
};

// Runs f before every message box from now on, as long as `proprietario`
// lives. A view that shows its state's values only when an operation ends
// uses it to bring its widgets up to date first, so that the window behind a
// message shows what the operation has done so far.
void primaDiOgniMessaggio(QObject* proprietario, std::function<void()> f);

// Shorthand for the common case; runs the hooks above first.
Risposta messaggio(const QString& testo, const QString& titolo, Icona icona = Icona::Informazione,
                   Pulsanti pulsanti = Pulsanti::Ok, Risposta predefinita = Risposta::Ok);
// A warning with an OK button that leaves the keyboard where it is
// (Interazione::mostraAvviso); runs the hooks above first.
void avviso(const QString& testo, const QString& titolo, Icona icona = Icona::Informazione);
// The file and colour dialogs of the installed facade.
std::optional<QString> chiediFile(const RichiestaFile& r);
std::optional<quint32> chiediColore(quint32 iniziale);

// The question every save and export asks before it replaces a file: true
// when nothing exists at `percorso` (a folder is left to the writer, which
// refuses it), or when the user agreed to replace what is there.
bool consentiSostituzione(const QString& percorso, const QString& titolo);

}  // namespace varimo
