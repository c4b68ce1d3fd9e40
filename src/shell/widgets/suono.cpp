#include "shell/widgets/suono.h"

#include <fluidsynth.h>

#include <QDir>
#include <QFileInfo>

#include "shell/percorsi.h"

namespace varimo {

struct Suono::Motore {
    fluid_settings_t* impostazioni = nullptr;
    fluid_synth_t* sintetizzatore = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    fluid_player_t* lettore = nullptr;

    ~Motore() {
        if (lettore) {
            fluid_player_stop(lettore);
            delete_fluid_player(lettore);
        }
        if (driver) delete_fluid_audio_driver(driver);
        if (sintetizzatore) delete_fluid_synth(sintetizzatore);
        if (impostazioni) delete_fluid_settings(impostazioni);
    }
};

namespace {
// FluidSynth reports every missing device on the terminal; the program treats
// those as a silent splash, so its messages are not wanted.
void silenzia() {
    static bool fatto = false;
    if (fatto) return;
    fatto = true;
    for (int livello : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(livello, nullptr, nullptr);
}
}  // namespace

Suono::Suono(Uscita uscita) : uscita_(uscita) {}

Suono::~Suono() = default;

QString Suono::cerca(const QString& nome) {
    if (nome.isEmpty()) return {};
    const QFileInfo qui(QDir::current(), nome);
    if (qui.isFile()) return qui.absoluteFilePath();
    return trovaDato(nome);
}

QString Suono::soundfont() {
    const char* candidati[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                               "/usr/share/sounds/sf2/default-GM.sf2",
                               "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
    for (const char* c : candidati)
        if (QFileInfo(QString::fromLatin1(c)).isFile()) return QString::fromLatin1(c);
    return {};
}

void Suono::apri() {
    if (stato_ != Stato::Chiuso || uscita_ == Uscita::Nessuna) return;
    const QString file = cerca(nomeFile_);
    const QString sf = soundfont();
    if (file.isEmpty() || sf.isEmpty()) return;
    const QByteArray percorso = QFile::encodeName(file);
    if (!fluid_is_midifile(percorso.constData())) return;
    silenzia();

    auto m = std::make_unique<Motore>();
    m->impostazioni = new_fluid_settings();
    if (!m->impostazioni) return;
    if (uscita_ == Uscita::Scarto) {
        fluid_settings_setstr(m->impostazioni, "audio.driver", "file");
        fluid_settings_setstr(m->impostazioni, "audio.file.name", "/dev/null");
        fluid_settings_setstr(m->impostazioni, "audio.file.type", "raw");
    }
    m->sintetizzatore = new_fluid_synth(m->impostazioni);
    if (!m->sintetizzatore) return;
    if (fluid_synth_sfload(m->sintetizzatore, QFile::encodeName(sf).constData(), 1) == FLUID_FAILED)
        return;
    m->driver = new_fluid_audio_driver(m->impostazioni, m->sintetizzatore);
    if (!m->driver) return;
    m->lettore = new_fluid_player(m->sintetizzatore);
    if (!m->lettore || fluid_player_add(m->lettore, percorso.constData()) != FLUID_OK) return;
    motore_ = std::move(m);
    fileAperto_ = file;
    stato_ = Stato::Aperto;
}

void Suono::suona() {
    if (!motore_ || stato_ == Stato::InRiproduzione) return;
    // After a pause the player goes on from where it stopped.
    if (fluid_player_play(motore_->lettore) == FLUID_OK) stato_ = Stato::InRiproduzione;
}

void Suono::pausa() {
    if (!motore_ || stato_ != Stato::InRiproduzione) return;
    fluid_player_stop(motore_->lettore);
    fluid_synth_all_notes_off(motore_->sintetizzatore, -1);
    stato_ = Stato::InPausa;
}

void Suono::chiudi() {
    motore_.reset();
    fileAperto_.clear();
    stato_ = Stato::Chiuso;
}

Suono::Stato Suono::stato() const {
    return stato_;
}

}  // namespace varimo
