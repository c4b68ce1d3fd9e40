#pragma once

#include <QLabel>
#include <QWidget>
#include <array>

#include "app/suono.h"

namespace varimo {

// The splash window: shown at start with its jingle, and again as the
// farewell after a confirmed exit. A click opens the calculation window; a
// key press closes the splash (and with it the program, when nothing else is
// open).
class Saluto : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "frmSplash";
    static inline const QString kPresenta =
        QString(24, QLatin1Char(' ')) + QStringLiteral("presenta");
    static inline const QString kCongedo =
        QString(10, QLatin1Char(' ')) + QStringLiteral("elaborazione eseguita con");

    // The sound output of a splash: the system's, unless VARIMO_SUONO says
    // "nessuno" (no sound at all: machines without sound, tests) or "scarto"
    // (played into nothing, as fast as it can).
    static Suono::Uscita uscitaSuonoScelta();

    explicit Saluto(QWidget* parent = nullptr);
    ~Saluto() override;

    QLabel* etichetta(int i) const { return etichette_.at(static_cast<size_t>(i)); }
    Suono& suono() { return suono_; }

    // Farewell: resume the sound and show "elaborazione eseguita con".
    void congedo();

    void passaAlCalcolo();
    // A key on the splash leaves the program.
    void esciDalSaluto();

  protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void avviaSuono();

    std::array<QLabel*, 12> etichette_{};
    QLabel* immagine_ = nullptr;
    Suono suono_;
    bool suonoAvviato_ = false;    // open and play sent
    bool avvioPrenotato_ = false;  // sent at the first return to the event loop
};

}  // namespace varimo
