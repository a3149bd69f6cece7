#include "controller/zoomLevels.h"

#include <algorithm>

namespace ZoomLevels {

Table build(int largeurTraceCycle, int hauteurTraceCycle, const std::vector<int> &niveaux)
{
    Table table;
    table[1] = InfosZoom(largeurTraceCycle / 20 + 1, hauteurTraceCycle / 20 + 1, 20, 20);
    for (int niveau : niveaux) {
        if (niveau > 1)
            table[niveau] =
                InfosZoom(largeurTraceCycle / 20 + 1, hauteurTraceCycle / 10 + 1, 20, 10);
    }
    return table;
}

QColor calculerCouleur(const QColor &couleurEvent, const QColor &couleurTrace, int nbEvent,
                       int niveauZoom)
{
    if (niveauZoom <= 0)
        return couleurEvent;
    const long long n = std::clamp(nbEvent, 0, niveauZoom);
    const long long rest = niveauZoom - n;
    const auto channel = [&](int event, int trace) {
        return static_cast<int>((event * n + trace * rest) / niveauZoom);
    };
    return QColor(channel(couleurEvent.red(), couleurTrace.red()),
                  channel(couleurEvent.green(), couleurTrace.green()),
                  channel(couleurEvent.blue(), couleurTrace.blue()));
}

} // namespace ZoomLevels
