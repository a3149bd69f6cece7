#ifndef LOADCONTEXT_H
#define LOADCONTEXT_H

#include "core/configEvent.h"
#include "core/graphicBlock.h"

#include <QBrush>
#include <QColor>
#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

// Everything one read of one trace or zoom file needs on its parser's thread. The GUI thread
// fills it before the parser starts (a copy of the event table and of the geometry, so that a
// new start or a resize never changes what a running read uses); from then on the parser's
// callbacks alone use the build state, without a lock, since they all run on the parser's
// thread. The GUI thread looks at it again only once that thread has ended (which orders the
// read's writes before), to run the end step, unless the read was cancelled.
struct LoadContext
{
    enum class Kind {
        TraceCycle,  // a trace file for the cycle view (and the PC view)
        Zoom,        // a zoom file for the cycle view
        TracePcOnly, // a trace file for the PC view alone
    };

    LoadContext(Kind kind, int numero, const QString &filename)
        : kind(kind), numero(numero), filename(filename)
    {}
    ~LoadContext() { jeterLot(); }
    LoadContext(const LoadContext &) = delete;
    LoadContext &operator=(const LoadContext &) = delete;

    const Kind kind;
    const int numero; // first cycle of the file
    const QString filename;

    // GUI thread only: set when the read was stopped because its results are no longer wanted.
    bool cancelled = false;

    // Read-only once the parser runs.
    int niveauZoom = 1;
    int nbCycleParTrace = 1; // the file holds cycles numero .. numero + nbCycleParTrace - 1
    int largeurBlockTraceCycle = 0;
    int hauteurBlockTraceCycle = 0;
    int largeurBlockTracePc = 0;
    int hauteurBlockTracePc = 0;
    QColor couleurTrace;
    // Whether the blocks also join the store's PC table: decided when the read starts, for
    // this file, from the PC view's window (mustAddInTracePc).
    bool addInTracePc = false;

    // Guards erreurSignalee, as an error may be reported from another thread than the parser's.
    std::mutex mutex;
    // Stored (release) at the end of every callback, loaded (acquire) by the GUI thread when
    // the read has ended: hands the build state over without a lock per event.
    std::atomic<bool> publie{false};
    std::map<QString, ConfigEvent> tabConfig;
    // What the callbacks need of one event, worked out once per read: the parser hands every
    // occurrence of a name out as the same shared string, so a hit is a pointer comparison.
    struct Evenement
    {
        QString name; // holds the string's data, so its address cannot name another one
        int positionY = 0;
        QBrush brush;
        // Zoom brushes by count (clamped to 0 .. niveauZoom), made on first use and shared.
        std::vector<std::optional<QBrush>> brushesZoom;
    };
    std::vector<Evenement> evenements;
    size_t dernierEvenement = 0; // index of the last one found
    int cycleParse = 0;
    bool pcRecu = false;
    int pcCourant = -1;
    std::unique_ptr<GraphicBlock> graphicBlockCourant;
    // A zoom event was named in the file's cycles: its block comes with its count.
    bool blocZoomAttendu = false;
    // The blocks of the cycle being read, handed to the store together when the next cycle
    // starts or the read ends: one lock of the store per cycle instead of several per event.
    // lot owns them until then; lotPc names those that also join the PC table, by pc.
    std::vector<GraphicBlock *> lot;
    std::vector<std::pair<int, GraphicBlock *>> lotPc;
    // The cycle whose list receives lot (even empty, so that a cycle without events is
    // present too); a read for the PC view alone has none.
    int cleLot = 0;
    bool cleEnAttente = false;
    // Blocks still waiting in the batch never reached the store: they are still ours.
    void jeterLot()
    {
        for (GraphicBlock *block : lot)
            delete block;
        lot.clear();
        lotPc.clear();
        cleEnAttente = false;
    }
    int positionXTraceCycle = 0;
    int positionYTraceCycle = 0;
    int positionXTracePc = 0;
    int positionXTracePcOnly = 0;
    int positionYTracePcOnly = 0;
    int nbEventZoom = 0;
    QColor couleurZoom;
    bool erreurSignalee = false;
    // The cycle being read lies outside the file's cycles: its events are left out.
    bool horsTranche = false;
    bool horsTrancheSignale = false;
};

#endif
