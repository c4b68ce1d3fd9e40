#include "quadro/documentiquadro.h"

namespace varimo::quadro {

void registraEsportatoriDocumenti() {
    registraEsportatore(QStringLiteral(".pdf"), esportaPdfQuadro);
    registraEsportatore(QStringLiteral(".docx"), esportaDocxQuadro);
    registraEsportatore(QStringLiteral(".xlsx"), esportaXlsxQuadro);
}

}  // namespace varimo::quadro
