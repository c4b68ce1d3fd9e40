#pragma once

#include <QString>
#include <memory>

class QObject;

namespace varimo {

class MotoreMidi;

// The splash sound: a MIDI file played through the system's MIDI player
// (motoremidi.h), driven like a multimedia control with the commands open,
// play, pause and close. Every failure (missing file, no soundfont, no audio
// device) leaves the control closed and silent; the commands then do nothing.
//
// Creating the synthesizer (and loading its soundfont) takes a while, so the
// control can also be opened in the background (apriInSottofondo): the
// commands given meanwhile are kept, and when the sound is ready it plays if
// the last of them asked for it; a close discards it.
class Suono {
  public:
    enum class Stato { Chiuso, InApertura, Aperto, InRiproduzione, InPausa };

    // Which audio output to use: the desktop's default, none at all (as on a
    // machine without sound), or a sink that discards the samples (tests).
    enum class Uscita { Predefinita, Nessuna, Scarto };

    explicit Suono(Uscita uscita = Uscita::Predefinita);
    ~Suono();
    Suono(const Suono&) = delete;
    Suono& operator=(const Suono&) = delete;

    void impostaNomeFile(const QString& nome) { nomeFile_ = nome; }
    QString nomeFile() const { return nomeFile_; }

    void apri();  // opens at once, waiting for the synthesizer
    // Opens on a worker thread; the outcome arrives through the event loop of
    // the thread that asked (which must run one).
    void apriInSottofondo();
    void suona();  // starts, or resumes after a pause
    void pausa();
    void chiudi();

    Stato stato() const;
    // Runs the event loop until a background opening has ended (or the time
    // is up); true when it has.
    bool attendi(int millisecondi);
    // The file actually opened (after the lookup), empty when closed.
    QString fileAperto() const { return fileAperto_; }

    // Where a bare name is looked for: the working folder first, then beside
    // the program and in its installed data folder.
    static QString cerca(const QString& nome);
    // The General MIDI soundfont used, or empty when none is installed (or
    // the system's player needs none).
    static QString soundfont();

  private:
    struct Apertura;
    void ricevi(const std::shared_ptr<Apertura>& apertura);

    Uscita uscita_;
    QString nomeFile_;
    QString fileAperto_;
    std::unique_ptr<MotoreMidi> motore_;
    std::shared_ptr<Apertura> apertura_;  // the background opening under way
    std::unique_ptr<QObject> ricevitore_;
    Stato stato_ = Stato::Chiuso;
    bool suonaAllApertura_ = false;
};

}  // namespace varimo
