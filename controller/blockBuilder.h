#ifndef BLOCKBUILDER_H
#define BLOCKBUILDER_H

#include "core/configEvent.h"
#include "core/graphicBlock.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QBrush>
#include <QColor>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class GraphicTrace;
class PcRows;

// Turns the reports of one read of one trace or zoom file into blocks placed in the store.
//
// Threads. The reports arrive on the parser's thread, which alone uses the build state below,
// without a lock; every report ends by publishing its writes (release), and the GUI thread
// acquires them in terminer() once the thread has ended. The blocks of one cycle are handed to
// the store together when the next cycle starts: one lock of the store per cycle rather than
// several per event. Which of the store's tables receive them (cibles) may be narrowed by the
// GUI thread while the read runs, under the store's lock, which the hand-over takes too.
class BlockBuilder final : public ParserTrace::Recepteur, public ParserZoom::Recepteur
{
public:
    enum Cible { CibleCycle = 1, CiblePc = 2 };

    // What a read needs of the controller's state, copied when it starts so that a new start
    // or a resize never changes what a running read uses.
    struct Reglages
    {
        int niveauZoom = 1;
        int nbCycleParTrace = 1;
        int largeurBlockTraceCycle = 0;
        int hauteurBlockTraceCycle = 0;
        int largeurBlockTracePc = 0;
        int hauteurBlockTracePc = 0;
        QColor couleurTrace;
        std::map<QString, ConfigEvent> tabConfig;
        // Memory the blocks of the whole trace may take (see BudgetMemoire); 0: no limit.
        qint64 budgetOctets = 0;
    };

    // A zoom read (niveauZoom > 1) gives cycle-view blocks only; a trace read gives blocks
    // placed in both views, stored in the tables of `cibles`.
    BlockBuilder(int numero, const QString &filename, const Reglages &reglages, GraphicTrace &store,
                 PcRows &rows, std::function<void(const QString &)> alerte, int cibles);
    ~BlockBuilder();
    BlockBuilder(const BlockBuilder &) = delete;
    BlockBuilder &operator=(const BlockBuilder &) = delete;

    int numero() const { return numeroFichier; }
    const QString &filename() const { return nomFichier; }
    bool zoom() const { return reglages.niveauZoom != 1; }

    // Any thread.
    int cibles() const { return ciblesActives.load(); }
    // The highest cycle read so far, below numero() while none.
    int dernierCycle() const { return cycleMax.load(); }
    // The store's lock must be held: the blocks of this read stop going to that table. The
    // caller then removes what they already put there.
    void retirerCible(Cible cible) { ciblesActives.fetch_and(~int(cible)); }

    // GUI thread, once the parser's thread has ended: hands over the last cycle's blocks, or
    // drops them when the read's results are no longer wanted.
    void terminer();
    void abandonner();

    // Parser thread.
    void addCycleTrace(int cycle) override;
    void newEventTrace(const QString &name) override;
    void pcTrace(int pc) override;
    void addEventTrace() override;
    void addCycleZoom(int cycle) override { addCycleTrace(cycle); }
    void newEventZoom(const QString &name) override { newEventTrace(name); }
    void setNbEventZoom(const QString &name, int count) override;
    void addEventZoom() override;
    // Parser thread: the blocks passed the memory budget; the read must stop, and reports
    // that still come are ignored.
    bool arretVoulu() const { return budgetDepasse; }

private:
    // What the reports need of one event, worked out once per read: the parser hands every
    // occurrence of a name out as the same shared string, so a hit is a pointer comparison.
    struct Evenement
    {
        QString name; // holds the string's data, so its address cannot name another one
        int positionY = 0;
        QBrush brush;
        // The look of its blocks: at level 1 one; at a zoom level one per count (clamped to
        // 0 .. niveauZoom), made on first use.
        const GraphicBlock::Apparence *apparence = nullptr;
        std::vector<const GraphicBlock::Apparence *> apparencesZoom;
    };
    const GraphicBlock::Apparence &apparence(const Evenement &event, const QBrush &brush) const;
    class Publication;

    Evenement &evenement(const QString &name);
    bool horsTranche(int cycle);
    bool depasseBudget(int cycle);
    void ajouterLot();
    void jeterLot();

    const int numeroFichier;
    const QString nomFichier;
    const Reglages reglages;
    GraphicTrace &store;
    PcRows &rows;
    const std::function<void(const QString &)> alerte;
    std::atomic<int> ciblesActives;
    std::atomic<int> cycleMax;
    std::atomic<bool> publie{false};

    std::map<QString, ConfigEvent> tabConfig; // grows with names the configuration lacks
    std::vector<Evenement> evenements;
    size_t dernierEvenement = 0;
    int cycleParse = 0;
    qint64 positionXTraceCycle = 0;
    qint64 positionXTracePc = 0;
    int positionYTraceCycle = 0;
    bool pcRecu = false;
    int pcCourant = -1;
    std::unique_ptr<GraphicBlock> graphicBlockCourant;
    // A zoom event was named: its block comes with its count, whose shade it takes.
    bool blocZoomAttendu = false;
    // The blocks of the cycle being read, owned here until they reach the store; lotPc names
    // those that have an instruction.
    std::vector<GraphicBlock *> lot;
    std::vector<std::pair<int, GraphicBlock *>> lotPc;
    // The cycle whose list receives lot, even empty, so that a cycle without events is
    // present too.
    int cleLot = 0;
    bool cleEnAttente = false;
    // The cycle being read lies outside the file's cycles: its events are left out.
    bool dehors = false;
    bool dehorsSignale = false;
    bool budgetDepasse = false;
};

#endif
