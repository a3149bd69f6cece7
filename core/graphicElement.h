#ifndef GRAPHICELEMENT_H
#define GRAPHICELEMENT_H

// Base of GraphicBlock: the block's position in the cycle view. A negative position means
// the block is not placed in that view. No virtual operations: the store keeps pointers to
// GraphicElement that always point at GraphicBlocks, and deletes them as such.
class GraphicElement
{
public:
    GraphicElement() = default;
    GraphicElement(const GraphicElement &) = default;
    GraphicElement &operator=(const GraphicElement &) = default;

    int getPositionXTraceCycle() const { return positionXTraceCycle; }
    int getPositionYTraceCycle() const { return positionYTraceCycle; }

protected:
    ~GraphicElement() = default;

    int positionXTraceCycle = -1;
    int positionYTraceCycle = -1;
};

#endif
