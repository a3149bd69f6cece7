#ifndef TRACEFIXTURE_H
#define TRACEFIXTURE_H

#include "core/configEvent.h"

#include <QString>

#include <map>

class GraphicTrace;

// A store filled by hand as the controller fills it, for events "commit", "decode",
// "execute", "fetch" on rows 0..3 in solid red, green, blue and black. Cycle-view blocks are
// 10 x 10 at (cycle / niveau * 10, row * 10); pc-view blocks 12 x 12 at (cycle * 12, pcRowY).
namespace TraceFixture {

std::map<QString, ConfigEvent> tabConfig();
QColor colourOf(const QString &event);

// A trace block, in both indexes; pcRowY < 0 keeps it out of the pc index.
void addTraceBlock(GraphicTrace &trace, const QString &event, int cycle, int pc, int pcRowY = -1);
// A zoom block: no pc, counting nbEvent of the niveau cycles from `cycle`.
void addZoomBlock(GraphicTrace &trace, const QString &event, int cycle, int niveau, int nbEvent);

} // namespace TraceFixture

#endif
