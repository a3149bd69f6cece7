#include "traceFixture.h"

#include "core/graphicBlock.h"
#include "core/graphicTrace.h"

#include <mutex>

namespace TraceFixture {

namespace {

const char *const names[] = {"commit", "decode", "execute", "fetch"};
const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::black};

int rowOf(const QString &event)
{
    for (int row = 0; row < 4; ++row) {
        if (event == QLatin1String(names[row]))
            return row;
    }
    return -1;
}

GraphicBlock *newBlock(const QString &event, int x)
{
    auto *block = new GraphicBlock(event);
    block->setBrush(QBrush(colourOf(event)));
    block->setPositionTraceCycle(x, rowOf(event) * 10);
    block->setSizeTraceCycle(10, 10);
    block->setSizeTracePc(12, 12);
    return block;
}

} // namespace

std::map<QString, ConfigEvent> tabConfig()
{
    std::map<QString, ConfigEvent> config;
    for (int row = 0; row < 4; ++row) {
        ConfigEvent event(row);
        event.setBrush(QBrush(colours[row]));
        config.emplace(QString::fromLatin1(names[row]), event);
    }
    return config;
}

QColor colourOf(const QString &event)
{
    return rowOf(event) >= 0 ? colours[rowOf(event)] : QColor(Qt::gray);
}

void addTraceBlock(GraphicTrace &trace, const QString &event, int cycle, int pc, int pcRowY)
{
    GraphicBlock *block = newBlock(event, cycle * 10);
    block->setPc(pc);
    block->setCycle(cycle);
    block->setPositionTracePc(cycle * 12, pcRowY);
    std::lock_guard<std::recursive_mutex> lock(trace.mutex());
    trace.addElement(cycle, *block);
    if (pcRowY >= 0)
        trace.addElementTabPc(pc, *block);
}

void addZoomBlock(GraphicTrace &trace, const QString &event, int cycle, int niveau, int nbEvent)
{
    GraphicBlock *block = newBlock(event, cycle / niveau * 10);
    block->setNbEvent(nbEvent);
    trace.addElement(cycle, *block);
}

} // namespace TraceFixture
