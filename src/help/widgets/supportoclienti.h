#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace varimo {

// "Servizi di supporto ai clienti": how to reach the maker. "OK" hides it.
class Supportoclienti final : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kNome = "supportoclienti";
    Supportoclienti();

    // Label1..Label10 by number (nullptr for numbers the window does not have).
    QLabel* etichetta(int n) const;
    QPushButton* ok() const { return ok_; }

    void chiudi();

  private:
    QPushButton* ok_;
};

}  // namespace varimo
