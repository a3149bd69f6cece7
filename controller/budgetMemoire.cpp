#include "controller/budgetMemoire.h"

#include <QFileInfo>
#include <QSettings>

#include <unistd.h>

namespace BudgetMemoire {

namespace {

QString mio(qint64 octets)
{
    return QString::number((octets + (1 << 20) - 1) >> 20) + QStringLiteral(" MiB");
}

QString remedes()
{
    return QStringLiteral("Cut the trace into files of fewer cycles (Nb Cycles by File in the "
                          "parameters), or view it at a coarser zoom level. The budget is the "
                          "setting memoryBudgetMiB of Zelvar; by default it is half of the "
                          "machine's memory.");
}

} // namespace

qint64 budget()
{
    const QSettings settings(QStringLiteral("Zelvar"), QStringLiteral("Zelvar"));
    bool ok = false;
    const qint64 reglage = settings.value(QStringLiteral("memoryBudgetMiB")).toLongLong(&ok);
    if (ok && reglage > 0)
        return reglage << 20;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long taillePage = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || taillePage <= 0)
        return qint64(4) << 30; // a machine that does not say: a modest one
    return qint64(pages) * taillePage / 2;
}

qint64 estimation(qint64 tailleFichier)
{
    return tailleFichier / octetsFichierParBloc * octetsParBloc;
}

QString refus(const QString &name, qint64 budgetOctets)
{
    const QFileInfo info(name);
    if (!info.isFile() || budgetOctets <= 0)
        return QString(); // left to the parser, which says what it cannot open; no limit
    const qint64 estime = estimation(info.size());
    if (estime <= budgetOctets)
        return QString();
    return QStringLiteral("File ") + name + QStringLiteral(" (") + QString::number(info.size()) +
           QStringLiteral(" bytes) would take about ") + mio(estime) +
           QStringLiteral(" of memory, more than the memory budget of ") + mio(budgetOctets) +
           QStringLiteral("; it is not read. ") + remedes();
}

QString depassement(const QString &name, int cycle, qint64 budgetOctets)
{
    return QStringLiteral("File ") + name + QStringLiteral(" : at cycle ") +
           QString::number(cycle) +
           QStringLiteral(" the blocks read passed the memory budget of ") + mio(budgetOctets) +
           QStringLiteral("; the rest of the file is not read. ") + remedes();
}

} // namespace BudgetMemoire
