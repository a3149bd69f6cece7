#ifndef TRACEFIXTURE_H
#define TRACEFIXTURE_H

#include "core/configEvent.h"
#include "core/graphicBlock.h"
#include "core/graphicTrace.h"

#include <map>
#include <mutex>

// A store filled by hand as the controller fills it, for events "commit", "decode",
// "execute", "fetch" on rows 0..3 in solid red, green, blue and black. Cycle-view blocks are
// 10 x 10 at (cycle * 10, row * 10); pc-view blocks 12 x 12 at (cycle * 12, pcRowY).
namespace TraceFixture {

inline const QStringList names{"commit", "decode", "execute", "fetch"};
inline const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::black};

inline std::map<QString, ConfigEvent> tabConfig()
{
    std::map<QString, ConfigEvent> config;
    for (int row = 0; row < 4; ++row) {
        ConfigEvent event(row);
        event.setBrush(QBrush(colours[row]));
        config.emplace(names[row], event);
    }
    return config;
}

inline QColor colourOf(const QString &event)
{
    return colours.value(names.indexOf(event), Qt::gray);
}

inline GraphicBlock *newBlock(const QString &event, qint64 x)
{
    auto *block = new GraphicBlock(event);
    block->setBrush(QBrush(colourOf(event)));
    block->setPositionTraceCycle(x, names.indexOf(event) * 10);
    block->setSizeTraceCycle(10, 10);
    block->setSizeTracePc(12, 12);
    return block;
}

// A trace block, in both indexes; pcRowY < 0 keeps it out of the pc index.
inline void addTraceBlock(GraphicTrace &trace, const QString &event, int cycle, int pc,
                          int pcRowY = -1)
{
    GraphicBlock *block = newBlock(event, qint64(cycle) * 10);
    block->setPc(pc);
    block->setCycle(cycle);
    block->setPositionTracePc(qint64(cycle) * 12, pcRowY);
    std::lock_guard<std::recursive_mutex> lock(trace.mutex());
    trace.addElement(cycle, *block);
    if (pcRowY >= 0)
        trace.addElementTabPc(pc, *block);
}

} // namespace TraceFixture

#endif
