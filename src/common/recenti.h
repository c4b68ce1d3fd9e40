#pragma once

#include <QString>
#include <QStringList>

namespace varimo {

// The project files last opened or saved, most recent first, kept between
// runs in the user's settings (QSettings, organisation "Veladio", program
// "Varimo"). Paths are stored absolute and clean; one path appears once.
namespace recenti {

constexpr int kMassimo = 8;

QStringList elenco();
// Puts the path first (moving it up if already listed), keeping kMassimo.
void aggiungi(const QString& percorso);
// Takes the path off the list.
void togli(const QString& percorso);

}  // namespace recenti

}  // namespace varimo
