#include "controller/blockBuilder.h"

#include "controller/assemblyListing.h"
#include "controller/budgetMemoire.h"
#include "controller/zoomLevels.h"
#include "core/graphicTrace.h"

#include <algorithm>
#include <mutex>

// Every report ends by publishing its writes for the GUI thread (see terminer()).
class BlockBuilder::Publication
{
public:
    explicit Publication(BlockBuilder &builder) : builder(builder) {}
    ~Publication() { builder.publie.store(true, std::memory_order_release); }
    Publication(const Publication &) = delete;
    Publication &operator=(const Publication &) = delete;

private:
    BlockBuilder &builder;
};

BlockBuilder::BlockBuilder(int numero, const QString &filename, const Reglages &reglages,
                           GraphicTrace &store, PcRows &rows,
                           std::function<void(const QString &)> alerte, int cibles)
    : numeroFichier(numero), nomFichier(filename), reglages(reglages), store(store), rows(rows),
      alerte(std::move(alerte)),
      ciblesActives(reglages.niveauZoom != 1 ? cibles & CibleCycle : cibles), cycleMax(numero - 1),
      tabConfig(reglages.tabConfig)
{}

BlockBuilder::~BlockBuilder()
{
    jeterLot();
}

void BlockBuilder::terminer()
{
    (void)publie.load(std::memory_order_acquire);
    graphicBlockCourant.reset();
    ajouterLot();
}

void BlockBuilder::abandonner()
{
    (void)publie.load(std::memory_order_acquire);
    graphicBlockCourant.reset();
    jeterLot();
}

// The entry of an event in the read's table; an unknown name joins the table with the default
// settings, as a plain lookup would.
BlockBuilder::Evenement &BlockBuilder::evenement(const QString &name)
{
    // A zoom event names itself twice (name, then count): the last one is tried first.
    const auto memeTexte = [&](const Evenement &e) {
        return e.name.constData() == name.constData() && e.name.size() == name.size();
    };
    if (dernierEvenement < evenements.size() && memeTexte(evenements[dernierEvenement]))
        return evenements[dernierEvenement];
    for (size_t i = 0; i < evenements.size(); ++i) {
        if (memeTexte(evenements[i])) {
            dernierEvenement = i;
            return evenements[i];
        }
    }
    // The same name in another string (past the parser's shared names): compared once.
    for (size_t i = 0; i < evenements.size(); ++i) {
        if (evenements[i].name == name) {
            evenements[i].name = name; // later calls with this string hit at once
            dernierEvenement = i;
            return evenements[i];
        }
    }
    const ConfigEvent &event = tabConfig[name];
    Evenement e;
    e.name = name;
    e.positionY = event.getPosition() * reglages.hauteurBlockTraceCycle;
    e.brush = event.getBrush();
    if (!zoom())
        e.apparence = &apparence(e, e.brush);
    evenements.push_back(std::move(e));
    dernierEvenement = evenements.size() - 1;
    return evenements.back();
}

// Every block of a read has the sizes of the read's level, in both views (a block without an
// instruction is simply never placed in the PC view).
const GraphicBlock::Apparence &BlockBuilder::apparence(const Evenement &event,
                                                       const QBrush &brush) const
{
    return GraphicBlock::apparence(event.name, brush, reglages.largeurBlockTraceCycle,
                                   reglages.hauteurBlockTraceCycle, reglages.largeurBlockTracePc,
                                   reglages.hauteurBlockTracePc);
}

// A file holds the cycles of its slice only. A cycle outside it (a damaged or foreign file)
// would be stored where no drop of the window ever reaches it: its events are left out, and
// the file is named once.
bool BlockBuilder::horsTranche(int c)
{
    const int nb = reglages.nbCycleParTrace;
    dehors = c < numeroFichier || c - numeroFichier >= nb;
    if (dehors && !dehorsSignale) {
        dehorsSignale = true;
        alerte(QStringLiteral("File ") + nomFichier + QStringLiteral(" : cycle ") +
               QString::number(c) + QStringLiteral(" is outside its cycles ") +
               QString::number(numeroFichier) + QStringLiteral(" to ") +
               QString::number(numeroFichier + nb - 1) +
               QStringLiteral("; the events of such cycles are not shown"));
    }
    return dehors;
}

// Checked once per cycle: the blocks of every read, those still waiting to be freed and the
// looks they share, against the budget. Past it the rest of the file is left out, said once.
bool BlockBuilder::depasseBudget(int c)
{
    if (reglages.budgetOctets <= 0 ||
        qint64(GraphicBlock::liveCount()) * BudgetMemoire::octetsParBloc +
                GraphicBlock::octetsApparences() <=
            reglages.budgetOctets)
        return false;
    budgetDepasse = true;
    dehors = true; // the events of this cycle are left out too
    alerte(BudgetMemoire::depassement(nomFichier, c, reglages.budgetOctets));
    return true;
}

// Columns come from the cycle numbers, so that a file whose cycles repeat, skip or come out
// of order still draws every event in its own column.
void BlockBuilder::addCycleTrace(int c)
{
    const Publication publication(*this);
    ajouterLot();
    if (budgetDepasse || depasseBudget(c) || horsTranche(c))
        return;
    cycleParse = c;
    positionXTraceCycle = qint64(c / reglages.niveauZoom) * reglages.largeurBlockTraceCycle;
    positionXTracePc = qint64(c) * reglages.largeurBlockTracePc;
    cleLot = c;
    cleEnAttente = true;
    if (c > cycleMax.load(std::memory_order_relaxed))
        cycleMax.store(c);
}

// A pc belongs to the event it is read in: one left over from an event that was left out
// (outside the file's cycles) must not give the next event a row.
void BlockBuilder::newEventTrace(const QString &name)
{
    const Publication publication(*this);
    graphicBlockCourant.reset();
    pcRecu = false;
    blocZoomAttendu = false;
    if (dehors)
        return;
    const Evenement &event = evenement(name);
    positionYTraceCycle = event.positionY;
    if (zoom()) {
        blocZoomAttendu = true;
        return;
    }
    graphicBlockCourant = std::make_unique<GraphicBlock>(*event.apparence);
    GraphicBlock &block = *graphicBlockCourant;
    block.setCycle(cycleParse);
    block.setPositionTraceCycle(positionXTraceCycle, positionYTraceCycle);
}

// A negative pc names no instruction: the block stays out of the PC view, like one without pc.
void BlockBuilder::pcTrace(int pc)
{
    const Publication publication(*this);
    if (pc < 0 || !graphicBlockCourant)
        return;
    pcCourant = pc;
    graphicBlockCourant->setPc(pc);
    pcRecu = true;
}

void BlockBuilder::addEventTrace()
{
    const Publication publication(*this);
    if (!graphicBlockCourant)
        return;
    GraphicBlock *block = graphicBlockCourant.release(); // the batch owns it now
    lot.push_back(block);
    if (pcRecu) {
        // The row is known only when the block joins the store.
        block->setPositionTracePc(positionXTracePc, -reglages.hauteurBlockTracePc);
        lotPc.emplace_back(pcCourant, block);
        pcRecu = false;
    }
}

void BlockBuilder::setNbEventZoom(const QString &name, int n)
{
    const Publication publication(*this);
    Evenement &event = evenement(name);
    // The colour depends on the count only within 0 .. niveauZoom, so one look per count
    // there serves every block.
    const int niveau = reglages.niveauZoom;
    const size_t index = niveau <= 0 ? 0 : size_t(std::clamp(n, 0, niveau));
    if (event.apparencesZoom.size() <= index)
        event.apparencesZoom.resize(index + 1);
    const GraphicBlock::Apparence *&look = event.apparencesZoom[index];
    if (!look)
        look = &apparence(event, QBrush(ZoomLevels::calculerCouleur(
                                            event.brush.color(), reglages.couleurTrace, n, niveau),
                                        event.brush.style()));
    if (!blocZoomAttendu)
        return;
    blocZoomAttendu = false;
    graphicBlockCourant = std::make_unique<GraphicBlock>(*look);
    GraphicBlock &block = *graphicBlockCourant;
    block.setCycle(cycleParse);
    block.setPositionTraceCycle(positionXTraceCycle, positionYTraceCycle);
    block.setNbEvent(n);
}

void BlockBuilder::addEventZoom()
{
    const Publication publication(*this);
    if (graphicBlockCourant)
        lot.push_back(graphicBlockCourant.release()); // the batch owns it now
}

// Hands the batch of the cycle just read to the tables that still want this read's blocks,
// with one lock of the store and one of the pc rows; a block no table takes is deleted.
void BlockBuilder::ajouterLot()
{
    if (lot.empty() && !cleEnAttente)
        return;
    {
        std::lock_guard<std::recursive_mutex> storeLock(store.mutex());
        const int cibles = ciblesActives.load();
        if ((cibles & CibleCycle) && cleEnAttente)
            store.addElements(cleLot, lot);
        if ((cibles & CiblePc) && !lotPc.empty()) {
            std::lock_guard<std::mutex> rowsLock(rows.mutex());
            for (const auto &[pc, block] : lotPc) {
                // A pc whose listing is not loaded stays out of sight until it is: giving it
                // a row here would pin it to row 0 for good.
                if (const std::optional<int> y = rows.ligne(pc))
                    block->setPositionYTracePc(*y);
            }
            store.addElementsTabPc(lotPc);
        }
        // What no table took is still ours. (A block with a pc that only the PC table took
        // is the store's: such blocks are exactly the ones of lotPc.)
        if (!(cibles & CibleCycle) || !cleEnAttente) {
            const bool pcPrises = (cibles & CiblePc) != 0;
            size_t k = 0;
            for (GraphicBlock *block : lot) {
                const bool prise = pcPrises && k < lotPc.size() && lotPc[k].second == block;
                if (prise)
                    ++k;
                else
                    delete block;
            }
        }
    }
    lot.clear();
    lotPc.clear();
    cleEnAttente = false;
}

void BlockBuilder::jeterLot()
{
    for (GraphicBlock *block : lot)
        delete block;
    lot.clear();
    lotPc.clear();
    cleEnAttente = false;
}
