#ifndef BLOCKPAINTER_H
#define BLOCKPAINTER_H

#include <QRect>

#include <vector>

class GraphicBlock;
class QBrush;
class QPainter;

// Paints a screenful of blocks with the pixels that drawing them one by one (black outline of
// width 0, each in turn) gives, at a fraction of the cost: the fills go in drawing order
// straight to the device without touching the painter's brush, the outlines follow in one
// call. The thick orange outlines of highlighted blocks are drawn last, over every block.
//
// The shortcut holds when the blocks form a grid (one size, positions a whole number of blocks
// apart), so that two blocks either coincide or share only outline pixels. Otherwise the
// blocks are drawn one by one. The brushes are borrowed: the store's lock must be held from
// add() to paint().
class BlockPainter
{
public:
    void clear();
    // rect is in device coordinates.
    void add(const QRect &rect, const QBrush &brush, const GraphicBlock *block, bool selected);
    // Draws the blocks of the cycle view, highlights last.
    void paintCycle(QPainter &painter) const;
    // Draws the blocks of the PC view (never highlighted).
    void paintPc(QPainter &painter) const;

    int size() const { return int(items.size()); }

private:
    struct Item
    {
        QRect rect;
        const QBrush *brush;
        const GraphicBlock *block;
        bool selected;
    };

    void fillsAndOutlines(QPainter &painter) const;
    void oneByOne(QPainter &painter) const;

    std::vector<Item> items;
    bool anySelected = false;
    bool grid = true;
    mutable std::vector<QRect> outlines; // reused from frame to frame
};

#endif
