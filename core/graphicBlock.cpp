#include "core/graphicBlock.h"

#include "core/blockPool.h"

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

#if defined(__SANITIZE_ADDRESS__)
#define ZELVAR_BLOCK_POOL 0 // let the address sanitizer see every block on its own
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELVAR_BLOCK_POOL 0
#endif
#endif
#ifndef ZELVAR_BLOCK_POOL
#define ZELVAR_BLOCK_POOL 1
#endif

// Never destroyed: a block may outlive every other static object.
BlockPool &pool()
{
    static BlockPool *const instance = new BlockPool(sizeof(GraphicBlock), alignof(GraphicBlock));
    return *instance;
}

const void *identity(const QBrush &brush)
{
    return const_cast<QBrush &>(brush).data_ptr().get();
}

// The blocks of a read take their brushes from a few event colours, or a few shades of them at
// a zoom level, and the brush handed in is often a fresh one per block: blocks share one brush
// per colour and style instead, kept in a small direct-mapped cache of the building thread.
// A second cache maps the brushes handed in to their shared one by address, so that a caller
// that already shares its brushes pays no colour comparison; it keeps those brushes alive, so
// an address in it cannot be reused by another brush.
void assignShared(QBrush &target, const QBrush &brush)
{
    constexpr int bits = 6;
    constexpr quintptr masque = (1 << bits) - 1;
    thread_local QBrush cache[1 << bits];
    struct Vu
    {
        QBrush source;
        QBrush partage;
    };
    thread_local Vu vus[1 << bits];
    const void *const id = identity(brush);
    if (identity(target) == id)
        return;
    Vu &vu = vus[(reinterpret_cast<quintptr>(id) >> 4) & masque];
    if (identity(vu.source) == id) {
        target = vu.partage;
        return;
    }
    const Qt::BrushStyle style = brush.style();
    if (style == Qt::NoBrush || style > Qt::DiagCrossPattern || !brush.transform().isIdentity()) {
        target = brush;
        return;
    }
    const QColor &colour = brush.color();
    const quint32 key = (colour.rgba() ^ quint32(style) * 0x9e3779b9u) * 2654435761u;
    QBrush &known = cache[key >> (32 - bits)];
    if (known.style() != style || known.color() != colour || !known.transform().isIdentity())
        known = brush;
    target = known;
    vu.source = brush;
    vu.partage = known;
}

// Slots taken from the pool a group at a time by the thread that makes blocks (a parser's), so
// that the pool's lock is taken once per group rather than once per block. What is left goes
// back when the thread ends.
struct Reserve
{
    static constexpr size_t taille = 32;
    void *places[taille];
    size_t n = 0;
    ~Reserve() { pool().deallocateMany(places, n); }
};
thread_local Reserve reserve;

} // namespace

void *GraphicBlock::operator new(size_t size)
{
    if (!ZELVAR_BLOCK_POOL || size != sizeof(GraphicBlock))
        return ::operator new(size);
    Reserve &r = reserve;
    if (r.n == 0) {
        pool().allocateMany(r.places, Reserve::taille);
        r.n = Reserve::taille;
    }
    return r.places[--r.n];
}

void GraphicBlock::operator delete(void *block, size_t size)
{
    if (!ZELVAR_BLOCK_POOL || size != sizeof(GraphicBlock))
        ::operator delete(block);
    else
        pool().deallocate(block);
}

void GraphicBlock::deleteMany(GraphicBlock *const *blocks, size_t n)
{
    if (!ZELVAR_BLOCK_POOL) {
        for (size_t i = 0; i < n; ++i)
            delete blocks[i];
        return;
    }
    constexpr size_t groupe = 256;
    void *places[groupe];
    size_t k = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!blocks[i])
            continue;
        blocks[i]->~GraphicBlock();
        places[k++] = blocks[i];
        if (k == groupe) {
            pool().deallocateMany(places, k);
            k = 0;
        }
    }
    pool().deallocateMany(places, k);
}

size_t GraphicBlock::poolBytes()
{
    return ZELVAR_BLOCK_POOL ? pool().slabCount() * BlockPool::slabSize : 0;
}

GraphicBlock::GraphicBlock(QString name) : name(std::move(name))
{
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

GraphicBlock::GraphicBlock(QString name, const QBrush &brush) : name(std::move(name)), brush(brush)
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
    assignShared(this->brush, brush);
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
