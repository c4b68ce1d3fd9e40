#include "shell/widgets/registro_finestre.h"

#include "shell/widgets/finestre.h"
#include "shell/widgets/frmsplash.h"

namespace varimo {

void registraFinestre() {
    Finestre& r = Finestre::istanza();
    r.registraFabbrica<FrmSplash>();
}

}  // namespace varimo
