#pragma once

#include <QtGlobal>

namespace varimo {

// Direct entry of a whole percentage from the keyboard while a percentage
// scroll bar has the focus: digits typed one soon after the other make one
// number (2 then 2 give 22). A digit that would take the number past 100,
// or one typed after a pause, starts a new number.
class CifrePercentuale {
  public:
    static constexpr int kMassimo = 100;
    static constexpr qint64 kPausaMs = 1500;

    // The percentage after typing `cifra` (0..9) at `istanteMs`.
    int cifra(int cifra, qint64 istanteMs);
    // Forgets the number being typed (the scroll bar lost the focus).
    void azzera() { valore_ = -1; }

  private:
    int valore_ = -1;
    qint64 ultimo_ = 0;
};

}  // namespace varimo
