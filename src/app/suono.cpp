#include "app/suono.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QObject>
#include <QThread>
#include <QThreadPool>
#include <mutex>

#include "app/motoremidi.h"
#include "common/percorsi.h"

namespace varimo {

// A background opening, shared by the control and the worker thread. The
// control lets go of it when closed or destroyed (ricevitore = nullptr); the
// worker then throws its result away.
struct Suono::Apertura {
    Suono* proprietario = nullptr;
    std::mutex mutex;
    QObject* ricevitore = nullptr;
    std::unique_ptr<MotoreMidi> motore;
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

void Suono::apri() {
    if (stato_ != Stato::Chiuso || uscita_ == Uscita::Nessuna) return;
    motore_ = creaMotoreMidi(uscita_, cerca(nomeFile_));
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
        auto motore = creaMotoreMidi(uscita, cerca(nome));
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
    std::unique_ptr<MotoreMidi> motore;
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
    if (motore_->suona()) stato_ = Stato::InRiproduzione;
}

void Suono::pausa() {
    if (stato_ == Stato::InApertura) {
        suonaAllApertura_ = false;
        return;
    }
    if (!motore_ || stato_ != Stato::InRiproduzione) return;
    motore_->pausa();
    stato_ = Stato::InPausa;
}

void Suono::chiudi() {
    if (apertura_) {
        std::unique_ptr<MotoreMidi> scartato;
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
