#ifndef TRACEFIXTURE_H
#define TRACEFIXTURE_H

#include "core/configEvent.h"

#include <QBrush>
#include <QString>

#include <map>

class GraphicTrace;

// A store filled by hand the way the controller fills it: cycle-view blocks at
// (cycle * width, row * height), pc-view blocks at (cycle * width, y of the pc's row).
namespace TraceFixture {

struct Geometry
{
    int largeurCycle = 10;
    int hauteurCycle = 10;
    int rowHeight = 12; // table row height: pc-view block width and height
};

// Events "commit", "decode", "execute", "fetch" on rows 0..3, solid red, green, blue, black.
std::map<QString, ConfigEvent> tabConfig();
QColor colourOf(const QString &event);

// Adds a trace block of `event` at `cycle` and `pc` to both indexes; `pcRowY` < 0 leaves it
// out of the pc view.
void addTraceBlock(GraphicTrace &trace, const QString &event, int cycle, int pc, int pcRowY,
                   const Geometry &g = Geometry());
// Adds a zoom block (pc -1, counted) at column `cycle / niveau`.
void addZoomBlock(GraphicTrace &trace, const QString &event, int cycle, int niveau, int nbEvent,
                  const Geometry &g = Geometry());

} // namespace TraceFixture

#endif
