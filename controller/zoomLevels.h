#ifndef ZOOMLEVELS_H
#define ZOOMLEVELS_H

#include "core/infosZoom.h"

#include <QColor>

#include <map>
#include <vector>

// The zoom levels of the cycle view and the colour of a block that counts events.
namespace ZoomLevels {

typedef std::map<int, InfosZoom> Table;

// Level -> block geometry for a cycle view of the given drawing size: level 1 shows single
// cycles in 20 x 20 blocks, each coarser level (10 unless a trace folder says which it has)
// its groups of cycles in 20 x 10 blocks.
Table build(int largeurTraceCycle, int hauteurTraceCycle, const std::vector<int> &niveaux = {10});

// Colour of a block whose event occurred in nbEvent of the niveauZoom cycles it stands for:
// couleurTrace for none, the event's colour for all, linear in between (channels truncated).
// Counts outside 0..niveauZoom are clamped, so a bad zoom file cannot give an invalid colour.
QColor calculerCouleur(const QColor &couleurEvent, const QColor &couleurTrace, int nbEvent,
                       int niveauZoom);

} // namespace ZoomLevels

#endif
