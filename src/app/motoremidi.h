#pragma once

#include <QString>
#include <memory>

#include "app/suono.h"

namespace varimo {

// The system's MIDI player behind the splash sound: FluidSynth with a General
// MIDI soundfont (motoremidi_posix.cpp), or the multimedia control interface
// of Windows with the system's synthesizer (motoremidi_win.cpp).
class MotoreMidi {
  public:
    virtual ~MotoreMidi() = default;
    virtual bool suona() = 0;  // starts, or resumes after a pause
    virtual void pausa() = 0;

    QString file;  // the file it plays
};

// A player ready to play `file` through the output asked for; nothing when
// the file is no MIDI file or the system has no synthesizer or no output
// (the sound then stays silent). Safe on any thread.
std::unique_ptr<MotoreMidi> creaMotoreMidi(Suono::Uscita uscita, const QString& file);

}  // namespace varimo
