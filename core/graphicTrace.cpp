#include "core/graphicTrace.h"

#include "core/graphicBlock.h"

#include <iterator>

typedef std::lock_guard<std::recursive_mutex> Locker;

// Blocks whose last reference went, deleted in groups: dropping a file frees a great many of
// them, and the pool takes its lock once per group instead of once per block.
class GraphicTrace::Corbeille
{
public:
    Corbeille() = default;
    Corbeille(const Corbeille &) = delete;
    Corbeille &operator=(const Corbeille &) = delete;
    ~Corbeille() { vider(); }

    void jeter(GraphicBlock *block)
    {
        blocks[n++] = block;
        if (n == taille)
            vider();
    }

private:
    void vider()
    {
        GraphicBlock::deleteMany(blocks, n);
        n = 0;
    }

    static constexpr size_t taille = 512;
    GraphicBlock *blocks[taille];
    size_t n = 0;
};

GraphicTrace::~GraphicTrace()
{
    clear();
}

int GraphicTrace::getSizeTabCycle() const
{
    Locker locker(lock);
    return int(tabCycle.size());
}

GraphicTrace::ElementList GraphicTrace::getTabElementTabCycle(const int &cycle)
{
    Locker locker(lock);
    return tabCycle[cycle];
}

GraphicTrace::ElementList GraphicTrace::getTabElementTabPc(const int &pc)
{
    Locker locker(lock);
    cyclesPc.try_emplace(pc);
    return tabPc[pc];
}

void GraphicTrace::addCycle(const int &cycle)
{
    Locker locker(lock);
    tabCycle.try_emplace(cycle);
}

void GraphicTrace::addElement(const int &cycle, GraphicBlock &element)
{
    Locker locker(lock);
    // A read adds its blocks cycle after cycle, mostly at the end of the table.
    const bool last = !tabCycle.empty() && tabCycle.rbegin()->first == cycle;
    ElementList &list = last ? tabCycle.rbegin()->second : tabCycle[cycle];
    if (list.empty())
        list.reserve(8); // the usual events of a cycle without growing through 1, 2 and 4
    list.push_back(&element);
    retain(element);
}

void GraphicTrace::addElements(const int &cycle, const std::vector<GraphicBlock *> &elements)
{
    Locker locker(lock);
    const bool last = !tabCycle.empty() && tabCycle.rbegin()->first == cycle;
    ElementList &list =
        last ? tabCycle.rbegin()->second : tabCycle.try_emplace(tabCycle.end(), cycle)->second;
    list.reserve(list.size() + elements.size());
    for (GraphicBlock *element : elements) {
        list.push_back(element);
        retain(*element);
    }
}

GraphicTrace::RaccourciPc &GraphicTrace::raccourci(int pc)
{
    RaccourciPc &r = raccourcis[size_t(quint32(pc) * 2654435761u) >> 26];
    if (!r.liste || r.pc != pc) {
        r.pc = pc;
        r.liste = &tabPc[pc];
        r.cycles = &cyclesPc[pc];
    }
    return r;
}

void GraphicTrace::oublierRaccourcis()
{
    raccourcis.fill(RaccourciPc());
}

void GraphicTrace::addElementTabPc(const int &pc, GraphicBlock &element)
{
    Locker locker(lock);
    RaccourciPc &r = raccourci(pc);
    r.liste->push_back(&element);
    r.cycles->push_back(element.getCycle());
    retain(element);
}

void GraphicTrace::addElementsTabPc(const std::vector<std::pair<int, GraphicBlock *>> &elements)
{
    Locker locker(lock);
    for (const auto &[pc, element] : elements) {
        RaccourciPc &r = raccourci(pc);
        r.liste->push_back(element);
        r.cycles->push_back(element->getCycle());
        retain(*element);
    }
}

void GraphicTrace::updatePositionYTracePc(const int &pc, const int &y)
{
    Locker locker(lock);
    cyclesPc.try_emplace(pc);
    for (GraphicElement *element : tabPc[pc]) {
        if (element)
            static_cast<GraphicBlock *>(element)->setPositionYTracePc(y);
    }
}

int GraphicTrace::calculerEcartPc(const int &pc1, const int &pc2) const
{
    Locker locker(lock);
    if (pc1 >= pc2 || (tabPc.count(pc1) == 0 && tabPc.count(pc2) == 0))
        return 0;
    return int(std::distance(tabPc.lower_bound(pc1), tabPc.lower_bound(pc2)));
}

void GraphicTrace::deleteElementsTabCycle(const int &cycleDebut, const int &cycleFin)
{
    Locker locker(lock);
    if (cycleFin <= cycleDebut)
        return;
    const auto first = tabCycle.lower_bound(cycleDebut);
    const auto last = tabCycle.lower_bound(cycleFin);
    Corbeille corbeille;
    for (auto it = first; it != last; ++it) {
        for (GraphicElement *element : it->second)
            release(element, corbeille);
    }
    tabCycle.erase(first, last);
}

void GraphicTrace::deleteElementsTabPc(int cycleDebut, int cycleFin, const int &cycleDebutPc,
                                       const int &cycleFinPc)
{
    Locker locker(lock);
    // Both ranges include their ends: a range that merely touches the shown cycles shares one
    // of them, and the pc view still needs that cycle's blocks.
    const bool disjoint = cycleFinPc < cycleDebut || cycleFin < cycleDebutPc;
    const bool inside = cycleDebut >= cycleDebutPc && cycleFin <= cycleFinPc;
    if (inside || !disjoint)
        return;

    // The cycles are read from the copy kept beside each list: the blocks of one pc lie far
    // apart in memory, and looking into each would wait for memory block after block.
    Q_ASSERT(cyclesPc.size() == tabPc.size());
    Corbeille corbeille;
    auto cycles = cyclesPc.begin();
    for (auto &entry : tabPc) {
        Q_ASSERT(cycles->first == entry.first && cycles->second.size() == entry.second.size());
        ElementList &list = entry.second;
        std::vector<int> &cyclesList = cycles->second;
        size_t kept = 0;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] && cycleDebut <= cyclesList[i] && cyclesList[i] <= cycleFin) {
                release(list[i], corbeille);
                continue;
            }
            list[kept] = list[i];
            cyclesList[kept] = cyclesList[i];
            ++kept;
        }
        list.resize(kept);
        cyclesList.resize(kept);
        ++cycles;
    }
}

void GraphicTrace::clearTabCycle()
{
    Locker locker(lock);
    releaseAll(tabCycle);
}

void GraphicTrace::clear()
{
    Locker locker(lock);
    oublierRaccourcis();
    releaseAll(tabPc);
    cyclesPc.clear();
    releaseAll(tabCycle);
}

std::unique_ptr<GraphicTrace> GraphicTrace::takeAll()
{
    auto taken = std::make_unique<GraphicTrace>();
    Locker locker(lock);
    oublierRaccourcis();
    taken->tabCycle.swap(tabCycle);
    taken->tabPc.swap(tabPc);
    taken->cyclesPc.swap(cyclesPc);
    return taken;
}

void GraphicTrace::retain(GraphicBlock &block)
{
    ++block.references;
}

void GraphicTrace::release(GraphicElement *element, Corbeille &corbeille)
{
    if (!element)
        return;
    auto *block = static_cast<GraphicBlock *>(element);
    Q_ASSERT(block->references > 0);
    if (--block->references == 0)
        corbeille.jeter(block);
}

void GraphicTrace::releaseAll(std::map<int, ElementList> &table)
{
    Corbeille corbeille;
    for (auto &entry : table) {
        for (GraphicElement *element : entry.second)
            release(element, corbeille);
    }
    table.clear();
}
