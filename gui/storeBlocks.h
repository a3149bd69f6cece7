#ifndef STOREBLOCKS_H
#define STOREBLOCKS_H

#include "core/graphicBlock.h"

// The store's indexes hold GraphicElement handles that always refer to GraphicBlocks; this
// gives the block behind one, or null for an empty handle. Valid only while the store's
// mutex is held.
template<class Handle> const GraphicBlock *blockOf(const Handle &handle)
{
    if (!handle)
        return nullptr;
    return static_cast<const GraphicBlock *>(&*handle);
}

#endif
