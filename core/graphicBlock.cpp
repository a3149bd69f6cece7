#include "core/graphicBlock.h"

#include <QPainter>
#include <QPen>
#include <QRect>

std::atomic<int> GraphicBlock::liveBlocks{0};

namespace {

const QPen &plainPen()
{
    static const QPen pen(QColor(Qt::black), 0);
    return pen;
}

} // namespace

GraphicBlock::GraphicBlock(QString name) : name(std::move(name))
{
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

GraphicBlock::GraphicBlock(const GraphicBlock &other)
    : GraphicElement(other), name(other.name), pc(other.pc), cycle(other.cycle),
      nbEvent(other.nbEvent), largeurBlockTraceCycle(other.largeurBlockTraceCycle),
      hauteurBlockTraceCycle(other.hauteurBlockTraceCycle),
      largeurBlockTracePc(other.largeurBlockTracePc),
      hauteurBlockTracePc(other.hauteurBlockTracePc), positionXTracePc(other.positionXTracePc),
      positionYTracePc(other.positionYTracePc), brush(other.brush)
{
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

GraphicBlock &GraphicBlock::operator=(const GraphicBlock &other)
{
    const int ownReferences = references;
    GraphicElement::operator=(other);
    name = other.name;
    pc = other.pc;
    cycle = other.cycle;
    nbEvent = other.nbEvent;
    largeurBlockTraceCycle = other.largeurBlockTraceCycle;
    hauteurBlockTraceCycle = other.hauteurBlockTraceCycle;
    largeurBlockTracePc = other.largeurBlockTracePc;
    hauteurBlockTracePc = other.hauteurBlockTracePc;
    positionXTracePc = other.positionXTracePc;
    positionYTracePc = other.positionYTracePc;
    brush = other.brush;
    references = ownReferences;
    return *this;
}

GraphicBlock::~GraphicBlock()
{
    Q_ASSERT_X(references == 0, "GraphicBlock", "deleted while a GraphicTrace still holds it");
    liveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

const QPen &GraphicBlock::penSelection()
{
    static const QPen pen(QColor(255, 140, 0), 3, Qt::SolidLine);
    return pen;
}

void GraphicBlock::setPositionTraceCycle(const int &x, const int &y)
{
    positionXTraceCycle = x;
    positionYTraceCycle = y;
}

void GraphicBlock::setSizeTraceCycle(const int &largeur, const int &hauteur)
{
    largeurBlockTraceCycle = largeur;
    hauteurBlockTraceCycle = hauteur;
}

void GraphicBlock::setPositionTracePc(const int &x, const int &y)
{
    positionXTracePc = x;
    positionYTracePc = y;
}

void GraphicBlock::setPositionYTracePc(const int &y)
{
    positionYTracePc = y;
}

void GraphicBlock::setSizeTracePc(const int &largeur, const int &hauteur)
{
    largeurBlockTracePc = largeur;
    hauteurBlockTracePc = hauteur;
}

void GraphicBlock::setBrush(const QBrush &brush)
{
    this->brush = brush;
}

void GraphicBlock::setPc(int pc)
{
    this->pc = pc;
}

void GraphicBlock::setCycle(const int &cycle)
{
    this->cycle = cycle;
}

void GraphicBlock::setNbEvent(const int &nbEvent)
{
    this->nbEvent = nbEvent;
}

void GraphicBlock::drawItByCycle(QPainter *p, QRect r, const bool &selected) const
{
    if (positionXTraceCycle < 0 || positionYTraceCycle < 0)
        return;
    p->setPen(selected ? penSelection() : plainPen());
    p->setBrush(brush);
    // Blocks beyond r are left to the painter's clipping.
    p->drawRect(positionXTraceCycle - r.left(), positionYTraceCycle - r.top(),
                largeurBlockTraceCycle, hauteurBlockTraceCycle);
}

void GraphicBlock::drawItByPc(QPainter *p, QRect r, const bool &selected) const
{
    Q_UNUSED(selected) // blocks of the pc view are always outlined in black
    if (positionXTracePc < 0 || positionYTracePc < 0)
        return;
    p->setPen(plainPen());
    p->setBrush(brush);
    const int dx = positionXTracePc - r.left();
    if (dx >= r.width())
        return;
    const int dy = positionYTracePc - r.top();
    if (dy >= r.height())
        return;
    p->drawRect(dx, dy, largeurBlockTracePc, hauteurBlockTracePc);
}
