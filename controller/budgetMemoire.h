#ifndef BUDGETMEMOIRE_H
#define BUDGETMEMOIRE_H

#include <QString>
#include <QtGlobal>

// How much memory the blocks of the trace may take, and what a file's blocks will take. A file
// is read when its estimate fits the budget; a read whose blocks outgrow it all the same (a
// file denser than usual, or one still growing) stops there. Either way the user is told the
// numbers and the remedies, once.
namespace BudgetMemoire {

// Memory one block takes with its entries in both indexes, as the benchmark measures it.
constexpr qint64 octetsParBloc = 80;
// File bytes per block in the trace files the simulator writes (an event's element, and its
// share of its cycle's), as the benchmark measures them.
constexpr qint64 octetsFichierParBloc = 79;

// The budget in bytes: the setting "memoryBudgetMiB" of the organisation "Zelvar" (QSettings)
// when it is a positive number, else half of the machine's physical memory.
qint64 budget();
// The memory the blocks of a file of this size will take.
qint64 estimation(qint64 tailleFichier);

// The message refusing the file before any reading, or an empty string when it fits (a budget
// of 0 or less sets no limit).
QString refus(const QString &name, qint64 budgetOctets);
// The message stopping a read whose blocks passed the budget at `cycle`.
QString depassement(const QString &name, int cycle, qint64 budgetOctets);

} // namespace BudgetMemoire

#endif
