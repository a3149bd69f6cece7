#include "core/graphicBlock.h"

#include "core/blockPool.h"

#include <QPainter>
#include <QPen>
#include <QRect>

#include <algorithm>
#include <climits>
#include <deque>
#include <mutex>
#include <unordered_map>

std::atomic<int> GraphicBlock::liveBlocks{0};

// What a block costs in the pool; the store's two indexes add theirs.
static_assert(sizeof(GraphicBlock) <= 48, "a block grew");

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

// The Apparences made so far. Blocks point at them for the process's life, so none is ever
// removed; the deque keeps their addresses.
class Apparences
{
public:
    const GraphicBlock::Apparence &trouver(const GraphicBlock::Apparence &valeur)
    {
        const size_t h = hache(valeur);
        std::lock_guard<std::mutex> lock(mutex);
        auto [premier, dernier] = index.equal_range(h);
        for (auto it = premier; it != dernier; ++it) {
            const GraphicBlock::Apparence &a = *it->second;
            if (a.largeurBlockTraceCycle == valeur.largeurBlockTraceCycle &&
                a.hauteurBlockTraceCycle == valeur.hauteurBlockTraceCycle &&
                a.largeurBlockTracePc == valeur.largeurBlockTracePc &&
                a.hauteurBlockTracePc == valeur.hauteurBlockTracePc && a.name == valeur.name &&
                a.brush == valeur.brush && a.brush.color() == valeur.brush.color() &&
                a.brush.transform() == valeur.brush.transform())
                return a;
        }
        stock.push_back(valeur);
        index.emplace(h, &stock.back());
        // The entry, its index node, the name's characters.
        octets.fetch_add(qint64(sizeof(GraphicBlock::Apparence)) + 48 + 2 * valeur.name.size(),
                         std::memory_order_relaxed);
        return stock.back();
    }

    qint64 taille() const { return octets.load(std::memory_order_relaxed); }

private:
    static size_t hache(const GraphicBlock::Apparence &a)
    {
        size_t h = qHash(a.name);
        for (const size_t v : {size_t(a.brush.style()), size_t(a.brush.color().rgba()),
                               size_t(a.largeurBlockTraceCycle), size_t(a.hauteurBlockTraceCycle),
                               size_t(a.largeurBlockTracePc), size_t(a.hauteurBlockTracePc)})
            h = (h ^ v) * 0x100000001b3ull;
        return h;
    }

    std::mutex mutex;
    std::atomic<qint64> octets{0};
    std::deque<GraphicBlock::Apparence> stock;
    std::unordered_multimap<size_t, const GraphicBlock::Apparence *> index;
};

// Never destroyed: a block may outlive every other static object.
Apparences &apparences()
{
    static Apparences *const instance = new Apparences;
    return *instance;
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

const GraphicBlock::Apparence &GraphicBlock::apparence(const QString &name, const QBrush &brush,
                                                       int largeurTraceCycle, int hauteurTraceCycle,
                                                       int largeurTracePc, int hauteurTracePc)
{
    return apparences().trouver(
        {name, brush, largeurTraceCycle, hauteurTraceCycle, largeurTracePc, hauteurTracePc});
}

qint64 GraphicBlock::octetsApparences()
{
    return apparences().taille();
}

GraphicBlock::GraphicBlock(QString name) : GraphicBlock(name, QBrush()) {}

GraphicBlock::GraphicBlock(QString name, const QBrush &brush)
    : look(&apparence(name, brush, 0, 0, 0, 0))
{
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

GraphicBlock::GraphicBlock(const Apparence &apparence) : look(&apparence)
{
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

GraphicBlock::GraphicBlock(const GraphicBlock &other)
    : GraphicElement(other), positionYTracePc(other.positionYTracePc), pc(other.pc),
      cycle(other.cycle), nbEvent(other.nbEvent), positionXTracePc(other.positionXTracePc),
      look(other.look)
{
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

GraphicBlock &GraphicBlock::operator=(const GraphicBlock &other)
{
    GraphicElement::operator=(other);
    positionYTracePc = other.positionYTracePc;
    pc = other.pc;
    cycle = other.cycle;
    nbEvent = other.nbEvent;
    positionXTracePc = other.positionXTracePc;
    look = other.look;
    return *this;
}

GraphicBlock::~GraphicBlock()
{
    Q_ASSERT_X(references == 0, "GraphicBlock", "deleted while a GraphicTrace still holds it");
    liveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

void GraphicBlock::setApparence(const QBrush &brush, int largeurTraceCycle, int hauteurTraceCycle,
                                int largeurTracePc, int hauteurTracePc)
{
    const Apparence &a = *look;
    if (a.largeurBlockTraceCycle == largeurTraceCycle &&
        a.hauteurBlockTraceCycle == hauteurTraceCycle && a.largeurBlockTracePc == largeurTracePc &&
        a.hauteurBlockTracePc == hauteurTracePc && &a.brush == &brush)
        return;
    look = &apparence(a.name, brush, largeurTraceCycle, hauteurTraceCycle, largeurTracePc,
                      hauteurTracePc);
}

const QPen &GraphicBlock::penSelection()
{
    static const QPen pen(QColor(255, 140, 0), 3, Qt::SolidLine);
    return pen;
}

void GraphicBlock::setPositionTraceCycle(const qint64 &x, const int &y)
{
    positionXTraceCycle = x;
    positionYTraceCycle = y;
}

void GraphicBlock::setSizeTraceCycle(const int &largeur, const int &hauteur)
{
    setApparence(look->brush, largeur, hauteur, look->largeurBlockTracePc,
                 look->hauteurBlockTracePc);
}

void GraphicBlock::setPositionTracePc(const qint64 &x, const int &y)
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
    setApparence(look->brush, look->largeurBlockTraceCycle, look->hauteurBlockTraceCycle, largeur,
                 hauteur);
}

void GraphicBlock::setBrush(const QBrush &brush)
{
    setApparence(QBrush(brush), look->largeurBlockTraceCycle, look->hauteurBlockTraceCycle,
                 look->largeurBlockTracePc, look->hauteurBlockTracePc);
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
    p->setBrush(look->brush);
    // Blocks beyond r are left to the painter's clipping; one far beyond any device is drawn
    // just as far out of sight, within the painter's int coordinates.
    p->drawRect(int(std::clamp<qint64>(positionXTraceCycle - r.left(), INT_MIN / 2, INT_MAX / 2)),
                positionYTraceCycle - r.top(), look->largeurBlockTraceCycle,
                look->hauteurBlockTraceCycle);
}

void GraphicBlock::drawItByPc(QPainter *p, QRect r, const bool &selected) const
{
    Q_UNUSED(selected) // blocks of the pc view are always outlined in black
    if (positionXTracePc < 0 || positionYTracePc < 0)
        return;
    p->setPen(plainPen());
    p->setBrush(look->brush);
    const qint64 dx = positionXTracePc - r.left();
    if (dx >= r.width())
        return;
    const int dy = positionYTracePc - r.top();
    if (dy >= r.height())
        return;
    p->drawRect(int(std::max<qint64>(dx, INT_MIN / 2)), dy, look->largeurBlockTracePc,
                look->hauteurBlockTracePc);
}
