#pragma once

#include <QList>
#include <deque>
#include <functional>
#include <optional>

#include "common/interazione.h"

namespace varimo::test {

// Scripted stand-in for the user: records every message and dialog the program
// shows, and answers from queues. An empty queue answers "No"/"Ok" for
// messages and cancels dialogs. Installs itself on construction and restores
// the silent default on destruction.
class InterazioneFinta final : public Interazione {
  public:
    InterazioneFinta();
    ~InterazioneFinta() override;
    InterazioneFinta(const InterazioneFinta&) = delete;
    InterazioneFinta& operator=(const InterazioneFinta&) = delete;

    Risposta mostraMessaggio(const Messaggio& m) override;
    std::optional<QString> chiediFile(const RichiestaFile& r) override;
    std::optional<quint32> chiediColore(quint32 iniziale) override;

    // Queues.
    void rispondi(Risposta r) { risposte.push_back(r); }
    void scegliFile(std::optional<QString> f) { file.push_back(std::move(f)); }
    void scegliColore(std::optional<quint32> c) { colori.push_back(c); }

    // What was asked, in order.
    QList<Messaggio> messaggi;
    QList<RichiestaFile> richiesteFile;
    QList<quint32> richiesteColore;

    // Texts of the messages shown so far.
    QStringList testi() const;

    // Called for every message before it is answered (a test can look at the
    // windows while the "modal" box is up).
    std::function<void(const Messaggio&)> allaDomanda;

  private:
    std::deque<Risposta> risposte;
    std::deque<std::optional<QString>> file;
    std::deque<std::optional<quint32>> colori;
};

}  // namespace varimo::test
