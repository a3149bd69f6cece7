#ifndef FICHIERS_H
#define FICHIERS_H

#include "controller/budgetMemoire.h"

#include <QLoggingCategory>
#include <QString>

// The controller's log (quiet by default): each file it starts reading, "reading <name>".
Q_DECLARE_LOGGING_CATEGORY(lcController)

// What the controller says of the input files it cannot read.
namespace Fichiers {

inline QString manquant(const QString &name)
{
    return QStringLiteral("File ") + name + QStringLiteral(" doesn't exist");
}

// A file whose blocks would not fit the memory budget is refused before any reading, with
// the numbers and the remedies (see BudgetMemoire). A directory is left to the parser, which
// cannot open it.
inline QString refus(const QString &name)
{
    return BudgetMemoire::refus(name, BudgetMemoire::budget());
}

} // namespace Fichiers

#endif
