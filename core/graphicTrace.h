#ifndef GRAPHICTRACE_H
#define GRAPHICTRACE_H

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class GraphicBlock;
class GraphicElement;

// The loaded part of the trace, indexed twice: by cycle for the cycle view and by pc for
// the pc view. Keys ascend; within one list blocks keep the order in which they were added.
// A key with an empty list counts as present.
//
// Ownership: a block handed to addElement / addElementTabPc belongs to the store from then
// on. The store counts the index entries that refer to each block and deletes the block when
// the last one is dropped (the delete operations, clearTabCycle, clear, the destructor). A
// block that was never added stays its creator's to delete.
//
// Threads: parser threads add blocks while the GUI thread paints. Every operation below takes
// mutex() itself. A reader that iterates getTabCycle() / getTabPc(), or keeps a block pointer
// obtained from the store (including the pointers in a list returned by
// getTabElementTabCycle / getTabElementTabPc), must hold the lock for as long as it uses them,
// since another thread may drop and delete those blocks as soon as it is released:
//
//     std::lock_guard<std::recursive_mutex> lock(store->mutex());
//     for (const auto &entry : store->getTabCycle()) ...
//
// The same holds for a creator that keeps using a block after adding it. The mutex is
// recursive, so the store's own operations may be called while holding it. The indexes are
// handed out read-only: a key or a block added behind the store's back would escape the
// references it counts and the cycles it keeps beside the pc lists.
class GraphicTrace
{
public:
    typedef std::vector<GraphicElement *> ElementList;
    typedef std::map<int, ElementList> TabCycle;
    typedef std::map<int, ElementList> TabPc;

    GraphicTrace() = default;
    ~GraphicTrace();
    GraphicTrace(const GraphicTrace &) = delete;
    GraphicTrace &operator=(const GraphicTrace &) = delete;

    std::recursive_mutex &mutex() const { return lock; }

    // Hold mutex() while using the references.
    const TabCycle &getTabCycle() const { return tabCycle; }
    const TabPc &getTabPc() const { return tabPc; }

    int getSizeTabCycle() const;

    // Copies of one list; an absent key is added with an empty list.
    ElementList getTabElementTabCycle(const int &cycle);
    ElementList getTabElementTabPc(const int &pc);

    // Adds cycle with an empty list when absent; an existing list is kept.
    void addCycle(const int &cycle);
    // Append the block at the back of the list of cycle / pc, adding the key when absent. A
    // block's cycle must not change once it is in the pc table.
    void addElement(const int &cycle, GraphicBlock &element);
    void addElementTabPc(const int &pc, GraphicBlock &element);
    // Adds cycle when absent, then appends the blocks at the back of its list, in order: the
    // blocks of one cycle of a read at once.
    void addElements(const int &cycle, const std::vector<GraphicBlock *> &elements);
    // addElementTabPc for each (pc, block), in order, with one lock.
    void addElementsTabPc(const std::vector<std::pair<int, GraphicBlock *>> &elements);

    // Sets the pc-view y of every block of pc; an absent pc is added with an empty list.
    void updatePositionYTracePc(const int &pc, const int &y);

    // Row distance between two pcs in the pc view: the number of keys k of tabPc with
    // pc1 <= k < pc2. 0 when pc1 >= pc2, and when neither pc1 nor pc2 is a key: two pcs the
    // view has no row for are no rows apart.
    int calculerEcartPc(const int &pc1, const int &pc2) const;

    // Removes the cycles cycleDebut <= k < cycleFin with their lists.
    void deleteElementsTabCycle(const int &cycleDebut, const int &cycleFin);

    // Removes from every list of tabPc the blocks of cycles cycleDebut..cycleFin (inclusive),
    // but only when that range shares no cycle with the range cycleDebutPc..cycleFinPc
    // (inclusive) that the pc view shows; otherwise nothing is removed. Keys are kept.
    void deleteElementsTabPc(int cycleDebut, int cycleFin, const int &cycleDebutPc,
                             const int &cycleFinPc);

    void clearTabCycle();
    // Empties tabPc, then tabCycle.
    void clear();
    // Empties both tables like clear(), but moves their blocks into the store returned instead
    // of deleting them, so that the caller chooses when that cost is paid (by destroying it).
    std::unique_ptr<GraphicTrace> takeAll();

private:
    class Corbeille;

    // The lists of a pc in both tables, found again without two searches of the maps: blocks
    // come pc after pc from few instructions. Map values never move; a pc's entries leave
    // only with clear() and takeAll(), which forget these.
    struct RaccourciPc
    {
        int pc = 0;
        ElementList *liste = nullptr;
        std::vector<int> *cycles = nullptr;
    };
    RaccourciPc &raccourci(int pc);
    void oublierRaccourcis();

    static void retain(GraphicBlock &block);
    static void release(GraphicElement *element, Corbeille &corbeille);
    static void releaseAll(std::map<int, ElementList> &table);

    mutable std::recursive_mutex lock;
    TabCycle tabCycle;
    TabPc tabPc;
    // The cycle of each block of tabPc, list by list in the same order, with the same keys.
    std::map<int, std::vector<int>> cyclesPc;
    std::array<RaccourciPc, 64> raccourcis{};
};

#endif
