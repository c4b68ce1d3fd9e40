#include "shell/widgets/suono.h"

#include <dlfcn.h>
#include <fluidsynth.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <mutex>

#include "shell/percorsi.h"

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
    static const Fluid* caricata = []() -> const Fluid* {
        void* lib = dlopen(VARIMO_FLUIDSYNTH_LIBRERIA, RTLD_NOW | RTLD_LOCAL);
        if (!lib) return nullptr;
        static Fluid f;
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
        if (!tutte) return nullptr;
        for (int livello : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            f.set_log_function(livello, nullptr, nullptr);
        return &f;
    }();
    return caricata;
}

}  // namespace

struct Suono::Motore {
    fluid_settings_t* impostazioni = nullptr;
    fluid_synth_t* sintetizzatore = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    fluid_player_t* lettore = nullptr;
    QString file;

    // The audio output goes first: its thread renders the synthesizer, and
    // the player's timer lives in the synthesizer, so neither may go away
    // while that thread still runs.
    ~Motore() {
        const Fluid* f = fluid();  // loaded: this engine was made with it
        if (driver) f->delete_audio_driver(driver);
        if (lettore) {
            f->player_stop(lettore);
            f->delete_player(lettore);
        }
        if (sintetizzatore) f->delete_synth(sintetizzatore);
        if (impostazioni) f->delete_settings(impostazioni);
    }
};

// A background opening, shared by the control and the worker thread. The
// control lets go of it when closed or destroyed (ricevitore = nullptr); the
// worker then throws its result away.
struct Suono::Apertura {
    Suono* proprietario = nullptr;
    std::mutex mutex;
    QObject* ricevitore = nullptr;
    std::unique_ptr<Motore> motore;
};

Suono::Suono(Uscita uscita) : uscita_(uscita) {}

Suono::~Suono() {
    chiudi();
}

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

// The synthesizer with the soundfont, the audio output and the player with the
// file; nothing when any of them fails. Safe on any thread.
std::unique_ptr<Suono::Motore> Suono::creaMotore(Uscita uscita, const QString& file,
                                                 const QString& sf) {
    if (file.isEmpty() || sf.isEmpty()) return nullptr;
    const Fluid* f = fluid();
    if (!f) return nullptr;
    const QByteArray percorso = QFile::encodeName(file);
    if (!f->is_midifile(percorso.constData())) return nullptr;

    auto m = std::make_unique<Motore>();
    m->impostazioni = f->new_settings();
    if (!m->impostazioni) return nullptr;
    if (uscita == Uscita::Scarto) {
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
    m->driver = f->new_audio_driver(m->impostazioni, m->sintetizzatore);
    if (!m->driver) return nullptr;
    m->file = file;
    return m;
}

void Suono::apri() {
    if (stato_ != Stato::Chiuso || uscita_ == Uscita::Nessuna) return;
    motore_ = creaMotore(uscita_, cerca(nomeFile_), soundfont());
    if (!motore_) return;
    fileAperto_ = motore_->file;
    stato_ = Stato::Aperto;
}

void Suono::apriInSottofondo() {
    if (stato_ != Stato::Chiuso || uscita_ == Uscita::Nessuna) return;
    if (!ricevitore_) ricevitore_ = std::make_unique<QObject>();
    auto apertura = std::make_shared<Apertura>();
    apertura->proprietario = this;
    apertura->ricevitore = ricevitore_.get();
    apertura_ = apertura;
    stato_ = Stato::InApertura;
    suonaAllApertura_ = false;
    const Uscita uscita = uscita_;
    const QString nome = nomeFile_;
    QThreadPool::globalInstance()->start([apertura, uscita, nome] {
        auto motore = creaMotore(uscita, cerca(nome), soundfont());
        const std::lock_guard<std::mutex> chiave(apertura->mutex);
        if (!apertura->ricevitore) return;  // closed meanwhile: dropped here
        apertura->motore = std::move(motore);
        // Runs on the control's thread, unless the control (and with it the
        // receiver) is gone by then.
        QMetaObject::invokeMethod(
            apertura->ricevitore, [apertura] { apertura->proprietario->ricevi(apertura); },
            Qt::QueuedConnection);
    });
}

void Suono::ricevi(const std::shared_ptr<Apertura>& apertura) {
    if (apertura != apertura_) return;  // an opening given up before
    std::unique_ptr<Motore> motore;
    {
        const std::lock_guard<std::mutex> chiave(apertura->mutex);
        motore = std::move(apertura->motore);
    }
    apertura_.reset();
    const bool suonare = suonaAllApertura_;
    suonaAllApertura_ = false;
    if (!motore) {
        stato_ = Stato::Chiuso;
        return;
    }
    motore_ = std::move(motore);
    fileAperto_ = motore_->file;
    stato_ = Stato::Aperto;
    if (suonare) suona();
}

bool Suono::attendi(int millisecondi) {
    QElapsedTimer t;
    t.start();
    while (stato_ == Stato::InApertura && !t.hasExpired(millisecondi)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return stato_ != Stato::InApertura;
}

void Suono::suona() {
    if (stato_ == Stato::InApertura) {
        suonaAllApertura_ = true;
        return;
    }
    if (!motore_ || stato_ == Stato::InRiproduzione) return;
    // After a pause the player goes on from where it stopped.
    if (fluid()->player_play(motore_->lettore) == FLUID_OK) stato_ = Stato::InRiproduzione;
}

void Suono::pausa() {
    if (stato_ == Stato::InApertura) {
        suonaAllApertura_ = false;
        return;
    }
    if (!motore_ || stato_ != Stato::InRiproduzione) return;
    fluid()->player_stop(motore_->lettore);
    fluid()->synth_all_notes_off(motore_->sintetizzatore, -1);
    stato_ = Stato::InPausa;
}

void Suono::chiudi() {
    if (apertura_) {
        std::unique_ptr<Motore> scartato;
        {
            const std::lock_guard<std::mutex> chiave(apertura_->mutex);
            apertura_->ricevitore = nullptr;
            scartato = std::move(apertura_->motore);
        }
        apertura_.reset();
    }
    motore_.reset();
    fileAperto_.clear();
    stato_ = Stato::Chiuso;
    suonaAllApertura_ = false;
}

Suono::Stato Suono::stato() const {
    return stato_;
}

}  // namespace varimo
