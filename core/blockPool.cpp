#include "core/blockPool.h"

#include <QtGlobal>

#include <cstdint>
#include <new>
#include <sys/mman.h>

struct BlockPool::FreeSlot
{
    FreeSlot *next;
};

struct BlockPool::Slab
{
    Slab *prev = nullptr;
    Slab *next = nullptr;
    FreeSlot *free = nullptr;
    size_t live = 0;
    size_t neverUsed = 0; // slots past this index have not been handed out yet
    bool listed = false;  // in the partial list
};

namespace {

constexpr size_t roundUp(size_t value, size_t multiple)
{
    return (value + multiple - 1) / multiple * multiple;
}

// mmap gives page alignment only: map twice the size and cut the slab out at its alignment,
// so that a slot finds its slab by masking its address.
void *mapAligned(size_t size)
{
    const size_t length = 2 * size;
    void *raw = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = roundUp(start, size);
    if (aligned > start)
        munmap(raw, aligned - start);
    const std::uintptr_t end = start + length;
    if (end > aligned + size)
        munmap(reinterpret_cast<void *>(aligned + size), end - (aligned + size));
    return reinterpret_cast<void *>(aligned);
}

} // namespace

BlockPool::BlockPool(size_t slotSize, size_t slotAlignment)
    : tailleSlot(
          roundUp(std::max(slotSize, sizeof(FreeSlot)), std::max(slotAlignment, alignof(FreeSlot))))
{
    premierSlot = roundUp(sizeof(Slab), std::max(slotAlignment, alignof(FreeSlot)));
    slotsParSlab = (slabSize - premierSlot) / tailleSlot;
    Q_ASSERT(slotsParSlab > 0);
}

BlockPool::~BlockPool()
{
    // Only the spare can be left: the pool lives as long as the process, after every object.
    if (spare)
        munmap(spare, slabSize);
}

BlockPool::Slab *BlockPool::newSlab()
{
    void *memory = mapAligned(slabSize);
    if (!memory)
        throw std::bad_alloc();
    ++slabs;
    return new (memory) Slab();
}

void BlockPool::unlink(Slab *slab)
{
    if (slab->prev)
        slab->prev->next = slab->next;
    else
        partial = slab->next;
    if (slab->next)
        slab->next->prev = slab->prev;
    slab->prev = slab->next = nullptr;
    slab->listed = false;
}

void BlockPool::pushFront(Slab *slab)
{
    slab->prev = nullptr;
    slab->next = partial;
    if (partial)
        partial->prev = slab;
    partial = slab;
    slab->listed = true;
}

void *BlockPool::allocate()
{
    std::lock_guard<std::mutex> lock(mutex);
    return prendre();
}

void BlockPool::allocateMany(void **places, size_t n)
{
    std::lock_guard<std::mutex> lock(mutex);
    size_t pris = 0;
    try {
        for (; pris < n; ++pris)
            places[pris] = prendre();
    } catch (...) {
        for (size_t i = 0; i < pris; ++i)
            rendre(places[i]);
        throw;
    }
}

void *BlockPool::prendre()
{
    Slab *slab = partial;
    if (!slab) {
        if (spare) {
            slab = spare;
            spare = nullptr;
        } else {
            slab = newSlab();
        }
        pushFront(slab);
    }
    void *slot;
    if (slab->free) {
        slot = slab->free;
        slab->free = slab->free->next;
    } else {
        slot = reinterpret_cast<char *>(slab) + premierSlot + slab->neverUsed * tailleSlot;
        ++slab->neverUsed;
    }
    ++slab->live;
    if (slab->live == slotsParSlab)
        unlink(slab);
    return slot;
}

void BlockPool::deallocate(void *slot)
{
    if (!slot)
        return;
    std::lock_guard<std::mutex> lock(mutex);
    rendre(slot);
}

void BlockPool::deallocateMany(void *const *places, size_t n)
{
    std::lock_guard<std::mutex> lock(mutex);
    for (size_t i = 0; i < n; ++i) {
        if (places[i])
            rendre(places[i]);
    }
}

void BlockPool::rendre(void *slot)
{
    auto *slab = reinterpret_cast<Slab *>(reinterpret_cast<std::uintptr_t>(slot) & ~(slabSize - 1));
    Q_ASSERT(slab->live > 0);
    auto *freed = static_cast<FreeSlot *>(slot);
    freed->next = slab->free;
    slab->free = freed;
    --slab->live;
    if (slab->live == 0) {
        if (slab->listed)
            unlink(slab);
        slab->free = nullptr;
        slab->neverUsed = 0;
        if (!spare) {
            spare = slab;
        } else {
            munmap(slab, slabSize);
            --slabs;
        }
    } else if (!slab->listed) {
        pushFront(slab);
    }
}

size_t BlockPool::slabCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return slabs;
}
