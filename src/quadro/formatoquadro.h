#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

#include "quadro/quadro.h"

// The .varimo file: a JSON document, {"formato": "varimo-quadro", "versione":
// 1, "intestazione": {...}, "voci": [...], "vincolo": {...}}. Amounts and
// percentages are strings with a point for decimals and no grouping. Keys this
// program does not know are kept and written back. docs/formato-varimo.md
// describes the format.

namespace varimo::quadro {

inline constexpr auto kFormato = "varimo-quadro";
inline constexpr int kVersione = 1;
inline constexpr auto kEstensione = ".varimo";
inline constexpr auto kTipoMime = "application/x-varimo-quadro";

// Limits that keep a damaged or hostile file from taking the program's memory
// or time: the file's size, the items, the depth of the tree, a text's length.
inline constexpr qint64 kDimensioneMassima = 16 * 1024 * 1024;
inline constexpr int kVociMassime = 20000;
inline constexpr int kProfonditaMassima = 32;
inline constexpr qsizetype kTestoMassimo = 10000;

// The bytes of the document: UTF-8, indented, keys in a fixed order, so that
// writing what was read writes the same bytes.
QByteArray scriviQuadro(const FileQuadro& f);

// Reads and checks the whole document; nothing is returned half-read. On
// failure an Italian message naming the place ("riga 4, colonna 7: ...", "voce
// «B.2» (voci › B › 2): la percentuale «120» non è tra 0 e 100"). The framework
// read is also checked with verifica().
std::variant<FileQuadro, QString> leggiQuadro(const QByteArray& dati);

// The same, from and to the disk. Saving is atomic (scriviFileCompleto): on
// failure the old file stays as it was and the reason is returned.
std::variant<FileQuadro, QString> apriFileQuadro(const QString& percorso);
std::optional<QString> salvaFileQuadro(const QString& percorso, const FileQuadro& f);

// The bytes of a .varimo file on disk, of any version, for its reader: a
// missing file, a folder or device, one beyond kDimensioneMassima and a read
// error give the Italian message instead.
std::variant<QByteArray, QString> leggiByteQuadro(const QString& percorso);

}  // namespace varimo::quadro
