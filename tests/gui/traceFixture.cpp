#include "traceFixture.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"

#include <mutex>

namespace TraceFixture {

namespace {

struct EventDef
{
    const char *name;
    int row;
    QColor colour;
};

const EventDef events[] = {{"commit", 0, QColor(255, 0, 0)},
                           {"decode", 1, QColor(0, 255, 0)},
                           {"execute", 2, QColor(0, 0, 255)},
                           {"fetch", 3, QColor(0, 0, 0)}};

const EventDef *find(const QString &name)
{
    for (const EventDef &def : events) {
        if (name == QLatin1String(def.name))
            return &def;
    }
    return nullptr;
}

} // namespace

std::map<QString, ConfigEvent> tabConfig()
{
    std::map<QString, ConfigEvent> config;
    for (const EventDef &def : events) {
        ConfigEvent event(def.row);
        event.setBrush(QBrush(def.colour));
        config.emplace(QString::fromLatin1(def.name), event);
    }
    return config;
}

QColor colourOf(const QString &event)
{
    const EventDef *def = find(event);
    return def ? def->colour : QColor();
}

void addTraceBlock(GraphicTrace &trace, const QString &event, int cycle, int pc, int pcRowY,
                   const Geometry &g)
{
    const EventDef *def = find(event);
    auto *block = new GraphicBlock(event);
    block->setPc(pc);
    block->setCycle(cycle);
    block->setBrush(QBrush(def ? def->colour : QColor(Qt::gray)));
    block->setPositionTraceCycle(cycle * g.largeurCycle, (def ? def->row : 0) * g.hauteurCycle);
    block->setSizeTraceCycle(g.largeurCycle, g.hauteurCycle);
    block->setSizeTracePc(g.rowHeight, g.rowHeight);
    block->setPositionTracePc(cycle * g.rowHeight, pcRowY);
    std::lock_guard<std::recursive_mutex> lock(trace.mutex());
    trace.addElement(cycle, *block);
    if (pcRowY >= 0)
        trace.addElementTabPc(pc, *block);
}

void addZoomBlock(GraphicTrace &trace, const QString &event, int cycle, int niveau, int nbEvent,
                  const Geometry &g)
{
    const EventDef *def = find(event);
    auto *block = new GraphicBlock(event);
    block->setNbEvent(nbEvent);
    block->setBrush(QBrush(def ? def->colour : QColor(Qt::gray)));
    block->setPositionTraceCycle(cycle / niveau * g.largeurCycle,
                                 (def ? def->row : 0) * g.hauteurCycle);
    block->setSizeTraceCycle(g.largeurCycle, g.hauteurCycle);
    trace.addElement(cycle, *block);
}

} // namespace TraceFixture
