#include "quadro/documentiquadro.h"

namespace varimo::quadro {

Esportatori formatiEsportazione() {
    Esportatori formati = formatiDiBase();
    formati.insert(QStringLiteral(".pdf"), esportaPdfQuadro);
    formati.insert(QStringLiteral(".docx"), esportaDocxQuadro);
    formati.insert(QStringLiteral(".xlsx"), esportaXlsxQuadro);
    return formati;
}

}  // namespace varimo::quadro
