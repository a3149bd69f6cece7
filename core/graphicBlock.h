#ifndef GRAPHICBLOCK_H
#define GRAPHICBLOCK_H

#include "core/graphicElement.h"

#include <QBrush>
#include <QString>

#include <atomic>

class GraphicTrace;
class QPainter;
class QPen;
class QRect;

// One drawable rectangle: an event occurrence, or an event counted over a group of cycles
// at a coarse zoom level. Positions are pixels of the whole view; negative means "not placed
// in that view". Kept small on purpose: a large trace holds millions of these.
//
// What many blocks have in common, their name, brush and four sizes (one event at one level
// reads the same in every block), lives once in an Apparence that the blocks point at. The
// setters of those fields move the block to the Apparence with the new value.
class GraphicBlock : public GraphicElement
{
public:
    struct Apparence
    {
        QString name;
        QBrush brush;
        int largeurBlockTraceCycle = 0;
        int hauteurBlockTraceCycle = 0;
        int largeurBlockTracePc = 0;
        int hauteurBlockTracePc = 0;
    };
    // The one Apparence of these values, made on first use and kept for the process's life (a
    // session sees a few per event and level). Any thread; takes a lock: callers that make many
    // blocks look it up once and hand it to the constructor below.
    static const Apparence &apparence(const QString &name, const QBrush &brush,
                                      int largeurTraceCycle, int hauteurTraceCycle,
                                      int largeurTracePc, int hauteurTracePc);
    // Memory the Apparences made so far take. They are never freed, so a file naming ever new
    // events grows it: whoever bounds the blocks' memory counts it too.
    static qint64 octetsApparences();

    explicit GraphicBlock(QString name);
    explicit GraphicBlock(const Apparence &apparence);
    GraphicBlock(QString name, const QBrush &brush);
    GraphicBlock(const GraphicBlock &other);
    GraphicBlock &operator=(const GraphicBlock &other);
    ~GraphicBlock();

    void setPositionTraceCycle(const qint64 &x, const int &y);
    void setSizeTraceCycle(const int &largeur, const int &hauteur);
    void setPositionTracePc(const qint64 &x, const int &y);
    void setPositionYTracePc(const int &y);
    void setSizeTracePc(const int &largeur, const int &hauteur);
    void setBrush(const QBrush &brush);
    void setPc(int pc);
    void setCycle(const int &cycle);
    void setNbEvent(const int &nbEvent);

    qint64 getPositionXTracePc() const { return positionXTracePc; }
    int getPositionYTracePc() const { return positionYTracePc; }
    int getLargeurBlockTraceCycle() const { return look->largeurBlockTraceCycle; }
    int getHauteurBlockTraceCycle() const { return look->hauteurBlockTraceCycle; }
    int getLargeurBlockTracePc() const { return look->largeurBlockTracePc; }
    int getHauteurBlockTracePc() const { return look->hauteurBlockTracePc; }
    QString getName() const { return look->name; }
    int getPc() const { return pc; }
    int getCycle() const { return cycle; }
    int getNbEvent() const { return nbEvent; }
    const QBrush &getBrush() const { return look->brush; }

    // r is the part of the view, in view pixels, that the painter's device shows; its
    // top-left corner is the device's (0, 0).
    void drawItByCycle(QPainter *p, QRect r, const bool &selected) const;
    void drawItByPc(QPainter *p, QRect r, const bool &selected) const;

    // Outline of a highlighted block, shared by all blocks: orange (255, 140, 0), width 3.
    static const QPen &penSelection();

    // Number of blocks alive in the process, to prove that loading and dropping trace
    // windows leaves none behind.
    static int liveCount() { return liveBlocks.load(std::memory_order_relaxed); }

    // Blocks live in a pool of their own (see BlockPool): no allocator overhead per block and
    // cheap reclaiming when a file's blocks are dropped together.
    static void *operator new(size_t size);
    static void operator delete(void *block, size_t size);
    // Deletes n blocks (null ones skipped), returning their memory to the pool at once.
    static void deleteMany(GraphicBlock *const *blocks, size_t n);
    // Bytes held by the pool, for the benchmark.
    static size_t poolBytes();

private:
    friend class GraphicTrace;

    void setApparence(const QBrush &brush, int largeurTraceCycle, int hauteurTraceCycle,
                      int largeurTracePc, int hauteurTracePc);

    int positionYTracePc = -1; // first, so that it may fill the base's tail padding
    int pc = -1;
    int cycle = 0;
    int nbEvent = 0;
    // How many index entries of the GraphicTrace holding the block refer to it; guarded by
    // that store's mutex. Never copied: it belongs to this object, not to its value.
    int references = 0;
    qint64 positionXTracePc = -1;
    const Apparence *look;

    static std::atomic<int> liveBlocks;
};

#endif
