#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace varimo {

// Owns the one instance of every window kind.
//
// A window class declares `static constexpr const char* kNome` (its name, also
// its objectName) and does its load work in its constructor. The registry
// creates it on first reference, shows it non-modally, and forgets it when it
// is closed (its instance is discarded: the next showing builds a fresh one
// that runs its load work again). Hiding keeps the instance and its state.
//
// The program ends when no window is loaded any more: nessunaFinestra() is
// emitted when the last loaded window goes away. A window loaded but hidden
// (the framework window after a start with a project file, a help window put
// away with its own button) must not keep an invisible program running: when
// a window is closed or put away, finestraTolta() is emitted, and the program
// answers it (queued) with chiudiSeNessunaVisibile().
class Finestre : public QObject {
    Q_OBJECT
  public:
    explicit Finestre(QObject* parent = nullptr) : QObject(parent) {}
    // The application's collection (made on first use, a child of the
    // application object).
    static Finestre& istanza();

    // The loaded instance, or nullptr.
    template <class W>
    W* trova() const {
        return dynamic_cast<W*>(finestra(QString::fromLatin1(W::kNome)));
    }
    // Creates the instance if there is none (running its load work) without
    // showing it.
    template <class W>
    W* carica() {
        if (W* w = trova<W>()) return w;
        W* w = new W();
        registra(w, QString::fromLatin1(W::kNome));
        if (allaCreazione_) allaCreazione_(w);
        return w;
    }
    // Creates if needed, shows, brings to the front.
    template <class W>
    W* mostra() {
        W* w = carica<W>();
        porta(w);
        return w;
    }
    template <class W>
    void chiudi() {
        chiudi(QString::fromLatin1(W::kNome));
    }

    // Windows reached by name (from the shell, which does not know their
    // classes): each kind registers how it is built.
    template <class W>
    void registraFabbrica() {
        fabbriche_.insert(QString::fromLatin1(W::kNome),
                          [this]() -> QWidget* { return carica<W>(); });
    }
    // Creates (if needed) without showing / creates and shows, by name; nullptr
    // when no such kind is registered.
    QWidget* carica(const QString& nome);
    QWidget* mostra(const QString& nome);

    // Runs for every window the registry builds, right after its load work
    // (the program gives the main windows their menus and commands here).
    void impostaAllaCreazione(std::function<void(QWidget*)> f) { allaCreazione_ = std::move(f); }

    QWidget* finestra(const QString& nome) const;
    bool caricata(const QString& nome) const { return finestra(nome) != nullptr; }
    // Closes (unloads) the window of that name if it is loaded. A close by the
    // program asks nothing: the guard below is not consulted.
    void chiudi(const QString& nome);

    // A window kind whose close by the user (its frame's close box) may be
    // refused: the guard runs first and may ask the user; false keeps the
    // window open and untouched.
    void impostaGuardiaChiusura(const QString& nome, const std::function<bool()>& guardia) {
        guardie_.insert(nome, guardia);
    }
    // The program's exit (its confirmation, then every window closed in
    // order): set by the program, run by any window that offers the exit.
    void impostaUscita(std::function<void()> f) { uscita_ = std::move(f); }
    void esci() const {
        if (uscita_) uscita_();
    }
    int numeroCaricate() const;
    QStringList nomiCaricate() const;
    // Shows a window and brings it to the front, moved inside the available
    // screen area if any part of it would lie outside.
    static void porta(QWidget* w);

    // Registers a window built elsewhere under its name.
    void registra(QWidget* w, const QString& nome);

    // When no loaded window is on screen and no exit is under way, closes the
    // hidden ones, each through its own close, so that the program can end.
    // A window that refuses its close is shown again.
    void chiudiSeNessunaVisibile();
    // Marks the exit sequence, during which windows are closed one by one
    // before the farewell is shown: nothing is closed on its behalf then.
    class UscitaInCorso {
      public:
        UscitaInCorso() { ++istanza().uscite_; }
        ~UscitaInCorso() { --istanza().uscite_; }
        UscitaInCorso(const UscitaInCorso&) = delete;
        UscitaInCorso& operator=(const UscitaInCorso&) = delete;
    };

  signals:
    void nessunaFinestra();
    // A loaded window has just been closed, or hidden by the program.
    void finestraTolta();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void dimentica(const QString& nome, QObject* w);
    QHash<QString, QPointer<QWidget>> finestre_;
    QHash<QString, std::function<QWidget*()>> fabbriche_;
    std::function<void(QWidget*)> allaCreazione_;
    QHash<QString, std::function<bool()>> guardie_;
    std::function<void()> uscita_;
    int chiusuraDelProgramma_ = 0;  // inside chiudi()
    int uscite_ = 0;
};

}  // namespace varimo
