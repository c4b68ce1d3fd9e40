#include "shell/widgets/suono.h"

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

struct Suono::Motore {
    fluid_settings_t* impostazioni = nullptr;
    fluid_synth_t* sintetizzatore = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    fluid_player_t* lettore = nullptr;
    QString file;

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

// A background opening, shared by the control and the worker thread. The
// control lets go of it when closed or destroyed (ricevitore = nullptr); the
// worker then throws its result away.
struct Suono::Apertura {
    Suono* proprietario = nullptr;
    std::mutex mutex;
    QObject* ricevitore = nullptr;
    std::unique_ptr<Motore> motore;
};

namespace {
// FluidSynth reports every missing device on the terminal; the program treats
// those as a silent splash, so its messages are not wanted.
void silenzia() {
    static std::once_flag fatto;
    std::call_once(fatto, [] {
        for (int livello : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(livello, nullptr, nullptr);
    });
}

}  // namespace

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
    const QByteArray percorso = QFile::encodeName(file);
    if (!fluid_is_midifile(percorso.constData())) return nullptr;
    silenzia();

    auto m = std::make_unique<Motore>();
    m->impostazioni = new_fluid_settings();
    if (!m->impostazioni) return nullptr;
    if (uscita == Uscita::Scarto) {
        fluid_settings_setstr(m->impostazioni, "audio.driver", "file");
        fluid_settings_setstr(m->impostazioni, "audio.file.name", "/dev/null");
        fluid_settings_setstr(m->impostazioni, "audio.file.type", "raw");
    }
    m->sintetizzatore = new_fluid_synth(m->impostazioni);
    if (!m->sintetizzatore) return nullptr;
    if (fluid_synth_sfload(m->sintetizzatore, QFile::encodeName(sf).constData(), 1) == FLUID_FAILED)
        return nullptr;
    m->driver = new_fluid_audio_driver(m->impostazioni, m->sintetizzatore);
    if (!m->driver) return nullptr;
    m->lettore = new_fluid_player(m->sintetizzatore);
    if (!m->lettore || fluid_player_add(m->lettore, percorso.constData()) != FLUID_OK)
        return nullptr;
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
    if (fluid_player_play(motore_->lettore) == FLUID_OK) stato_ = Stato::InRiproduzione;
}

void Suono::pausa() {
    if (stato_ == Stato::InApertura) {
        suonaAllApertura_ = false;
        return;
    }
    if (!motore_ || stato_ != Stato::InRiproduzione) return;
    fluid_player_stop(motore_->lettore);
    fluid_synth_all_notes_off(motore_->sintetizzatore, -1);
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
