#include "gui/blockPainter.h"

#include "core/graphicBlock.h"

#include <QPainter>
#include <QPen>

namespace {

const QPen &outlinePen()
{
    static const QPen pen(QColor(Qt::black), 0);
    return pen;
}

} // namespace

void BlockPainter::clear()
{
    items.clear();
    anySelected = false;
    grid = true;
}

void BlockPainter::add(const QRect &rect, const QBrush &brush, const GraphicBlock *block,
                       bool selected)
{
    if (!items.empty()) {
        const QRect &first = items.front().rect;
        grid = grid && rect.size() == first.size() && first.width() > 0 && first.height() > 0 &&
               (rect.x() - first.x()) % first.width() == 0 &&
               (rect.y() - first.y()) % first.height() == 0;
    }
    items.push_back({rect, &brush, block, selected});
    anySelected = anySelected || selected;
}

void BlockPainter::fillsAndOutlines(QPainter &painter) const
{
    outlines.clear();
    for (const Item &item : items) {
        // A plain colour takes the device's solid fill at once; a brush is set up per call.
        if (item.brush->style() == Qt::SolidPattern)
            painter.fillRect(item.rect, item.brush->color());
        else if (item.brush->style() != Qt::NoBrush)
            painter.fillRect(item.rect, *item.brush);
        outlines.push_back(item.rect);
    }
    painter.setPen(outlinePen());
    painter.setBrush(Qt::NoBrush);
    if (!outlines.empty())
        painter.drawRects(outlines.data(), int(outlines.size()));
}

// What drawItByCycle and drawItByPc do for each block, with the device rectangle the views
// already worked out (in 64-bit arithmetic: view pixels may lie beyond int).
void BlockPainter::oneByOne(QPainter &painter) const
{
    painter.setPen(outlinePen());
    for (const Item &item : items) {
        painter.setBrush(*item.brush);
        painter.drawRect(item.rect);
    }
}

void BlockPainter::paintCycle(QPainter &painter) const
{
    if (grid)
        fillsAndOutlines(painter);
    else
        oneByOne(painter);
    if (!anySelected)
        return;
    // The highlights go over every block: a block drawn after a highlighted one, beside it or
    // in the same cell, would otherwise cover part of its outline.
    painter.setPen(GraphicBlock::penSelection());
    painter.setBrush(Qt::NoBrush);
    for (const Item &item : items) {
        if (item.selected)
            painter.drawRect(item.rect);
    }
}

void BlockPainter::paintPc(QPainter &painter) const
{
    if (grid)
        fillsAndOutlines(painter);
    else
        oneByOne(painter);
}
