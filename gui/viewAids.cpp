#include "gui/viewAids.h"

#include <algorithm>
#include <climits>

namespace ViewAids {

int cycleSous(int x, int position, int step, int largeurBlock)
{
    if (largeurBlock <= 0 || step <= 0)
        return position;
    const qint64 cycle = qint64(position) + qint64(std::max(x, 0)) * step / largeurBlock;
    return int(std::min<qint64>(cycle, INT_MAX));
}

qint64 xMarqueur(int cycle, int position, int step, int largeurBlock)
{
    if (step <= 0)
        return -1;
    return ((qint64(cycle) - position) * 2 + 1) * largeurBlock / (2 * qint64(step));
}

void basculerMarqueur(std::vector<int> &marqueurs, int cycle)
{
    const auto deja = std::find(marqueurs.begin(), marqueurs.end(), cycle);
    if (deja != marqueurs.end()) {
        marqueurs.erase(deja);
        return;
    }
    if (marqueurs.size() == 2)
        marqueurs.erase(marqueurs.begin());
    marqueurs.push_back(cycle);
}

Plage cyclesAffiches(int position, int step, int largeurBlock, int largeur, int nbCycleTotal)
{
    if (largeurBlock <= 0 || step <= 0 || largeur <= 0 || nbCycleTotal <= position)
        return Plage();
    const qint64 colonnes = (qint64(largeur) + largeurBlock - 1) / largeurBlock;
    const qint64 dernier = std::min<qint64>(position + colonnes * step, nbCycleTotal) - 1;
    return {position, int(dernier)};
}

int colonnesEntieres(int largeur, int largeurBlock)
{
    return largeurBlock > 0 ? std::max(1, largeur / largeurBlock) : 1;
}

int cibleHorizontale(qint64 cible, int minimum, int maximum, int step)
{
    const qint64 dansLaBarre = std::clamp<qint64>(cible, minimum, std::max(minimum, maximum));
    if (step <= 1)
        return int(dansLaBarre);
    return int(std::max<qint64>(minimum, dansLaBarre / step * step));
}

int crans(int &reste, int delta)
{
    reste += delta;
    const int n = reste / 120;
    reste -= n * 120;
    return n;
}

TraceGeometry::FrameLayout avecColonneNoms(TraceGeometry::FrameLayout layout, int largeurNoms)
{
    layout.infoBar.setLeft(layout.infoBar.left() + largeurNoms);
    layout.surface.setLeft(layout.surface.left() + largeurNoms);
    return layout;
}

QString infobulle(const QStringList &lignes)
{
    QStringList echappees;
    for (const QString &ligne : lignes)
        echappees << ligne.toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>") + echappees.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

QString enteteCellule(int cycle, int step, const QString &event)
{
    const QString cycles = step > 1
                               ? QStringLiteral("Cycles %1-%2").arg(cycle).arg(cycle + step - 1)
                               : QStringLiteral("Cycle %1").arg(cycle);
    return cycles + QStringLiteral(", ") + event;
}

} // namespace ViewAids
