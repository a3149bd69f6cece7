#ifndef BLOCKPOOL_H
#define BLOCKPOOL_H

#include <cstddef>
#include <mutex>

// Fixed-size storage for the many small objects of one type (the GraphicBlocks): slots carved
// from large aligned slabs, so that an object costs its own size and nothing more, objects
// created together lie together, and freeing one is a push onto its slab's free list. A slab
// whose last object goes back to the system, except one kept for the next load; so memory
// follows the number of objects alive and does not creep up as files come and go.
//
// Threads: allocate and deallocate may be called from any thread; one mutex guards the lists.
class BlockPool
{
public:
    BlockPool(size_t slotSize, size_t slotAlignment);
    ~BlockPool();
    BlockPool(const BlockPool &) = delete;
    BlockPool &operator=(const BlockPool &) = delete;

    // Never null: throws std::bad_alloc like operator new.
    void *allocate();
    // n slots at once, with one lock, into places; all or none (std::bad_alloc).
    void allocateMany(void **places, size_t n);
    void deallocate(void *slot);
    // The same for n slots, with one lock.
    void deallocateMany(void *const *places, size_t n);

    // For tests and the benchmark: slabs held (in use or kept), slots per slab.
    size_t slabCount() const;
    size_t slotsPerSlab() const { return slotsParSlab; }

    static constexpr size_t slabSize = 256 * 1024;

private:
    struct Slab;
    struct FreeSlot;

    Slab *newSlab();
    void unlink(Slab *slab);
    void pushFront(Slab *slab);
    void *prendre();          // allocate with the lock held
    void rendre(void *slot); // deallocate with the lock held

    const size_t tailleSlot;
    size_t premierSlot = 0; // offset of the first slot in a slab
    size_t slotsParSlab = 0;

    mutable std::mutex mutex; // guards everything below and every slab's free list
    Slab *partial = nullptr;  // slabs with at least one free slot, most recent first
    Slab *spare = nullptr;    // one empty slab kept for the next allocation
    size_t slabs = 0;
};

#endif
