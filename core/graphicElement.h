#ifndef GRAPHICELEMENT_H
#define GRAPHICELEMENT_H

#include <QtGlobal>

// Base of GraphicBlock: the block's position in the cycle view. A negative position means
// the block is not placed in that view. No virtual operations: the store keeps pointers to
// GraphicElement that always point at GraphicBlocks, and deletes them as such.
//
// x is 64 bits wide: at the finest level a trace of 10^9 cycles runs to some 10^10 pixels.
class GraphicElement
{
public:
    GraphicElement() = default;
    GraphicElement(const GraphicElement &) = default;
    GraphicElement &operator=(const GraphicElement &) = default;

    qint64 getPositionXTraceCycle() const { return positionXTraceCycle; }
    int getPositionYTraceCycle() const { return positionYTraceCycle; }

protected:
    ~GraphicElement() = default;

    qint64 positionXTraceCycle = -1;
    int positionYTraceCycle = -1;
};

#endif
