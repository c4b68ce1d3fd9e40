#include "common/cifrepercentuale.h"

namespace varimo {

int CifrePercentuale::cifra(int cifra, qint64 istanteMs) {
    const bool seguito = valore_ >= 0 && istanteMs >= ultimo_ && istanteMs - ultimo_ <= kPausaMs;
    if (seguito && valore_ * 10 + cifra <= kMassimo)
        valore_ = valore_ * 10 + cifra;
    else
        valore_ = cifra;
    ultimo_ = istanteMs;
    return valore_;
}

}  // namespace varimo
