#pragma once

#include <QString>
#include <memory>

namespace varimo {

// The splash sound: a MIDI file played through FluidSynth with a General MIDI
// soundfont, driven like a multimedia control with the commands open, play,
// pause and close. Every failure (missing file, no soundfont, no audio
// device) leaves the control closed and silent; the commands then do nothing.
class Suono {
  public:
    enum class Stato { Chiuso, Aperto, InRiproduzione, InPausa };

    // Which audio output to use: the desktop's default, none at all (as on a
    // machine without sound), or a sink that discards the samples (tests).
    enum class Uscita { Predefinita, Nessuna, Scarto };

    explicit Suono(Uscita uscita = Uscita::Predefinita);
    ~Suono();
    Suono(const Suono&) = delete;
    Suono& operator=(const Suono&) = delete;

    void impostaNomeFile(const QString& nome) { nomeFile_ = nome; }
    QString nomeFile() const { return nomeFile_; }

    void apri();
    void suona();  // starts, or resumes after a pause
    void pausa();
    void chiudi();

    Stato stato() const;
    // The file actually opened (after the lookup), empty when closed.
    QString fileAperto() const { return fileAperto_; }

    // Where a bare name is looked for: the working folder first, then beside
    // the program and in its installed data folder.
    static QString cerca(const QString& nome);
    // The General MIDI soundfont used, or empty when none is installed.
    static QString soundfont();

  private:
    struct Motore;
    Uscita uscita_;
    QString nomeFile_;
    QString fileAperto_;
    std::unique_ptr<Motore> motore_;
    Stato stato_ = Stato::Chiuso;
};

}  // namespace varimo
