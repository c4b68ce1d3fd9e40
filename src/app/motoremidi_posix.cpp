#include <dlfcn.h>
#include <mutex>
#include <cstdio>
#include <fluidsynth.h>

#include <QFile>
#include <QFileInfo>
#include <optional>

#include "app/motoremidi.h"

namespace varimo {

namespace {

// FluidSynth and the many libraries it brings along (audio servers, sound
// files, its own glib) are loaded only when the sound is opened, on the
// worker thread, not when the program starts. The functions used, with the
// types the header declares.
struct Fluid {
    decltype(&::fluid_is_midifile) is_midifile = nullptr;
    decltype(&::fluid_set_log_function) set_log_function = nullptr;
    decltype(&::new_fluid_settings) new_settings = nullptr;
    decltype(&::delete_fluid_settings) delete_settings = nullptr;
    decltype(&::fluid_settings_setstr) settings_setstr = nullptr;
    decltype(&::new_fluid_synth) new_synth = nullptr;
    decltype(&::delete_fluid_synth) delete_synth = nullptr;
    decltype(&::fluid_synth_sfload) synth_sfload = nullptr;
    decltype(&::fluid_synth_all_notes_off) synth_all_notes_off = nullptr;
    decltype(&::new_fluid_audio_driver) new_audio_driver = nullptr;
    decltype(&::delete_fluid_audio_driver) delete_audio_driver = nullptr;
    decltype(&::new_fluid_player) new_player = nullptr;
    decltype(&::delete_fluid_player) delete_player = nullptr;
    decltype(&::fluid_player_add) player_add = nullptr;
    decltype(&::fluid_player_play) player_play = nullptr;
    decltype(&::fluid_player_stop) player_stop = nullptr;
};

template <typename F>
bool prendi(void* libreria, const char* nome, F& f) {
    f = reinterpret_cast<F>(dlsym(libreria, nome));
    return f != nullptr;
}

// The library, loaded once and kept; nothing when it is not installed or
// lacks a function (the sound then stays silent). Its messages about missing
// devices are silenced: the program treats those as a silent splash.
const Fluid* fluid() {
    static const std::optional<Fluid> caricata = []() -> std::optional<Fluid> {
        void* lib = dlopen(VARIMO_FLUIDSYNTH_LIBRERIA, RTLD_NOW | RTLD_LOCAL);
        if (!lib) return std::nullopt;
        Fluid f;
        const bool tutte = prendi(lib, "fluid_is_midifile", f.is_midifile) &&
                           prendi(lib, "fluid_set_log_function", f.set_log_function) &&
                           prendi(lib, "new_fluid_settings", f.new_settings) &&
                           prendi(lib, "delete_fluid_settings", f.delete_settings) &&
                           prendi(lib, "fluid_settings_setstr", f.settings_setstr) &&
                           prendi(lib, "new_fluid_synth", f.new_synth) &&
                           prendi(lib, "delete_fluid_synth", f.delete_synth) &&
                           prendi(lib, "fluid_synth_sfload", f.synth_sfload) &&
                           prendi(lib, "fluid_synth_all_notes_off", f.synth_all_notes_off) &&
                           prendi(lib, "new_fluid_audio_driver", f.new_audio_driver) &&
                           prendi(lib, "delete_fluid_audio_driver", f.delete_audio_driver) &&
                           prendi(lib, "new_fluid_player", f.new_player) &&
                           prendi(lib, "delete_fluid_player", f.delete_player) &&
                           prendi(lib, "fluid_player_add", f.player_add) &&
                           prendi(lib, "fluid_player_play", f.player_play) &&
                           prendi(lib, "fluid_player_stop", f.player_stop);
        if (!tutte) return std::nullopt;
        for (int livello : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            f.set_log_function(livello, nullptr, nullptr);
        return f;
    }();
    return caricata ? &*caricata : nullptr;
}

// The sound library under FluidSynth (ALSA) writes its own notes on
// standard error when the machine has no sound device; they say nothing to a
// user. Its handler of notes is replaced by one that drops them, when the
// library is loaded.
void taciAlsa(const char*, int, const char*, int, const char*, ...) {}

void taciLibreriaAudio() {
    using Gestore = void (*)(const char*, int, const char*, int, const char*, ...);
    using ImpostaGestore = int (*)(Gestore);
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (!alsa) return;
    if (auto imposta =
            reinterpret_cast<ImpostaGestore>(dlsym(alsa, "snd_lib_error_set_handler")))
        imposta(&taciAlsa);
    dlclose(alsa);
}

struct MotoreFluid final : MotoreMidi {
    fluid_settings_t* impostazioni = nullptr;
    fluid_synth_t* sintetizzatore = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    fluid_player_t* lettore = nullptr;

    // The audio output goes first: its thread renders the synthesizer, and
    // the player's timer lives in the synthesizer, so neither may go away
    // while that thread still runs.
    ~MotoreFluid() override {
        const Fluid* f = fluid();  // loaded: this engine was made with it
        if (driver) f->delete_audio_driver(driver);
        if (lettore) {
            f->player_stop(lettore);
            f->delete_player(lettore);
        }
        if (sintetizzatore) f->delete_synth(sintetizzatore);
        if (impostazioni) f->delete_settings(impostazioni);
    }

    bool suona() override { return fluid()->player_play(lettore) == FLUID_OK; }
    void pausa() override {
        fluid()->player_stop(lettore);
        fluid()->synth_all_notes_off(sintetizzatore, -1);
    }
};

}  // namespace

QString Suono::soundfont() {
    const char* candidati[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                               "/usr/share/sounds/sf2/default-GM.sf2",
                               "/usr/share/sounds/sf2/FluidR3_GM.sf2"};
    for (const char* c : candidati)
        if (QFileInfo(QString::fromLatin1(c)).isFile()) return QString::fromLatin1(c);
    return {};
}

// The synthesizer with the soundfont, the audio output and the player with the
// file; nothing when any of them fails.
std::unique_ptr<MotoreMidi> creaMotoreMidi(Suono::Uscita uscita, const QString& file) {
    const QString sf = Suono::soundfont();
    if (file.isEmpty() || sf.isEmpty()) return nullptr;
    const Fluid* f = fluid();
    if (!f) return nullptr;
    const QByteArray percorso = QFile::encodeName(file);
    if (!f->is_midifile(percorso.constData())) return nullptr;

    auto m = std::make_unique<MotoreFluid>();
    m->impostazioni = f->new_settings();
    if (!m->impostazioni) return nullptr;
    if (uscita == Suono::Uscita::Scarto) {
        f->settings_setstr(m->impostazioni, "audio.driver", "file");
        f->settings_setstr(m->impostazioni, "audio.file.name", "/dev/null");
        f->settings_setstr(m->impostazioni, "audio.file.type", "raw");
    }
    m->sintetizzatore = f->new_synth(m->impostazioni);
    if (!m->sintetizzatore) return nullptr;
    if (f->synth_sfload(m->sintetizzatore, QFile::encodeName(sf).constData(), 1) == FLUID_FAILED)
        return nullptr;
    // The player before the audio output, so that the output's thread never
    // runs while the player sets itself up inside the synthesizer.
    m->lettore = f->new_player(m->sintetizzatore);
    if (!m->lettore || f->player_add(m->lettore, percorso.constData()) != FLUID_OK) return nullptr;
    taciLibreriaAudio();
    m->driver = f->new_audio_driver(m->impostazioni, m->sintetizzatore);
    if (!m->driver) {
        // Said once a run, in the program's language: the splash stays silent.
        static std::once_flag detto;
        std::call_once(detto, [] {
            std::fputs("Varimo: nessuna uscita audio disponibile, la musica iniziale non "
                       "suona.\n",
                       stderr);
        });
        return nullptr;
    }
    m->file = file;
    return m;
}

}  // namespace varimo
