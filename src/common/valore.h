#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace varimo {

// One observable value of a control (a text, a caption, a scroll value, a list
// position). This is the program's single change-notification mechanism:
//
//  * imposta() with a value equal to the current one does nothing at all;
//  * with a different value it stores it, tells the views (so the widget shows
//    it), and then runs the change handler at once, synchronously, before
//    imposta() returns. A handler may write other values, or this one again:
//    those writes nest in the same way (re-entrant, depth first).
//
// User edits and writes by code go through the same imposta(), so both run
// the same handlers. Views never block signals: a view writes the value it
// shows into the model, and the model's echo is an equal value, which runs
// nothing.
template <typename T>
class Valore {
  public:
    using Azione = std::function<void()>;

    Valore() = default;
    explicit Valore(T iniziale) : valore_(std::move(iniziale)) {}

    const T& operator()() const { return valore_; }
    const T& get() const { return valore_; }

    // Returns true when the value changed (and so the handler ran).
    bool imposta(const T& nuovo) {
        if (nuovo == valore_) return false;
        valore_ = nuovo;
        for (const auto& v : viste_) v();
        if (gestore_) gestore_();
        return true;
    }

    // Puts back a value recorded earlier (undo and redo): stores it and tells
    // the views, but runs no handler. The value is restored together with
    // everything its handler once derived from it, so nothing is recomputed.
    // Returns true when the value changed.
    bool ripristina(const T& salvato) {
        if (salvato == valore_) return false;
        valore_ = salvato;
        for (const auto& v : viste_) v();
        return true;
    }

    // The window's change handler (applicaEtichetta and the like). One per value.
    void suCambio(Azione gestore) { gestore_ = std::move(gestore); }
    // A view that mirrors the value; runs before the handler.
    void allaVista(Azione vista) { viste_.push_back(std::move(vista)); }

  private:
    T valore_{};
    Azione gestore_;
    std::vector<Azione> viste_;
};

}  // namespace varimo
