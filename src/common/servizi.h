#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "common/interazione.h"

namespace varimo {

// Opens a finished document file for the user, in the desktop's word
// processor; true when that succeeded.
using ApriDocumento = std::function<bool(const QString& percorso)>;

// What the program installs at start for every room to use: the dialogs
// through which it talks to the user, how a finished document is handed to
// the desktop, the folder the program runs from, and what must run before
// each message box. They belong to the application object made in main (or
// in a test's main): made at their first use after it, they end with it, so
// nothing installed outlives the program that installed it.
class Servizi final : public QObject {
    Q_OBJECT

  public:
    // The application's services, made on first use; nullptr while no
    // application object exists.
    static Servizi* dellApplicazione();
    // Those already made, without making them; nullptr when there are none.
    static Servizi* seEsistono();

    // The installed dialogs, or the silent ones (answers that agree to
    // nothing, cancelled dialogs) when none is installed.
    Interazione& interazione() { return interazione_ ? *interazione_ : silenziosa_; }
    void impostaInterazione(Interazione* i) { interazione_ = i; }

    ApriDocumento apriDocumento;
    QString cartellaProgramma;  // empty: the executable's own folder

    // Runs f before every message box from now on, as long as `proprietario`
    // lives.
    void primaDiOgniMessaggio(QObject* proprietario, std::function<void()> f);
    void preparaMessaggio() const;

  private:
    explicit Servizi(QObject* applicazione);

    class Silenziosa final : public Interazione {
      public:
        Risposta mostraMessaggio(const Messaggio& m) override {
            return rispostaPrudente(m.pulsanti);
        }
        std::optional<QString> chiediFile(const RichiestaFile&) override { return std::nullopt; }
        std::optional<quint32> chiediColore(quint32) override { return std::nullopt; }
    };

    struct Preparazione {
        QPointer<QObject> proprietario;
        std::function<void()> f;
    };

    Silenziosa silenziosa_;
    Interazione* interazione_ = nullptr;
    std::vector<Preparazione> preparazioni_;
};

}  // namespace varimo
