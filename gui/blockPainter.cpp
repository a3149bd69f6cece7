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

// How far a highlight's outline reaches beyond its block: half its width, rounded up.
int highlightReach()
{
    return (GraphicBlock::penSelection().width() + 1) / 2;
}

} // namespace

void BlockPainter::clear()
{
    items.clear();
    anySelected = false;
    grid = true;
    ordered = true;
}

void BlockPainter::add(const QRect &rect, const QBrush &brush, const GraphicBlock *block,
                       bool selected)
{
    if (!items.empty()) {
        const QRect &first = items.front().rect;
        grid = grid && rect.size() == first.size() && first.width() > 0 && first.height() > 0 &&
               (rect.x() - first.x()) % first.width() == 0 &&
               (rect.y() - first.y()) % first.height() == 0;
        ordered = ordered && rect.x() >= items.back().rect.x();
    }
    items.push_back({rect, &brush, block, selected});
    anySelected = anySelected || selected;
}

void BlockPainter::fillsAndOutlines(QPainter &painter) const
{
    outlines.clear();
    for (const Item &item : items) {
        if (item.selected)
            continue;
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

void BlockPainter::paintCycle(QPainter &painter, const QRect &r) const
{
    if (!grid || (anySelected && !ordered)) {
        for (const Item &item : items)
            item.block->drawItByCycle(&painter, r, item.selected);
        return;
    }
    fillsAndOutlines(painter);
    if (!anySelected)
        return;
    const int reach = highlightReach();
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].selected)
            continue;
        items[i].block->drawItByCycle(&painter, r, true);
        // Blocks drawn after this one cover part of its outline: draw them again on top.
        const QRect outline = items[i].rect.adjusted(-reach, -reach, reach, reach);
        for (size_t j = i + 1; j < items.size() && items[j].rect.x() <= outline.right(); ++j) {
            if (items[j].rect.adjusted(0, 0, 1, 1).intersects(outline))
                items[j].block->drawItByCycle(&painter, r, items[j].selected);
        }
    }
}

void BlockPainter::paintPc(QPainter &painter, const QRect &r) const
{
    if (!grid) {
        for (const Item &item : items)
            item.block->drawItByPc(&painter, r, false);
        return;
    }
    fillsAndOutlines(painter);
}
