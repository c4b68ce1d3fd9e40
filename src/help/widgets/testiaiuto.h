#pragma once

#include <QString>

namespace varimo {

// Texts of the guide and of the licence, kept as UTF-8 resources under
// ":/help/". The text without its final line ending; empty when missing.
QString testoAiuto(const QString& nome);

// Names of the resources.
inline constexpr const char* kTestoManuale = "manuale.txt";
inline constexpr const char* kTestoFunzionamento = "funzionamento.txt";
inline constexpr const char* kTestoCalcolo = "calcolo.txt";
inline constexpr const char* kTestoQuadro = "quadro.txt";
inline constexpr const char* kTestoLicenza = "licenza.txt";

}  // namespace varimo
