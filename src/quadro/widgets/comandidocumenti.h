#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <variant>

#include "quadro/rigacomando.h"

class QAction;
class QMenu;
class QWidget;

// The framework's documents as commands of its window: "Stampa"
// (`stampaquadro`, the administration's print handed to the word processor
// as a .docx file, as the classic reports are), "Esporta in PDF…"
// (`esportaquadropdf`, the same print as a PDF/A file) and "Esporta in foglio
// di calcolo…" (`esportaquadroxlsx`, the .xlsx with live formulas).

namespace varimo::quadro {

// The framework as the window holds it at the moment of a command, computed;
// or the reason it cannot be.
using QuadroCorrente = std::function<std::variant<QuadroCalcolato, QString>()>;

// Adds the three commands to menu; they act on what corrente() gives and
// tell the user through the program's dialogs. The actions, in order.
QList<QAction*> aggiungiComandiDocumenti(QWidget* finestra, QMenu* menu,
                                         const QuadroCorrente& corrente);

}  // namespace varimo::quadro
