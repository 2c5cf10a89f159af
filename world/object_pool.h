#pragma once
// A pool of objects of one class, grown in blocks and never returned to the
// system: the world creates and destroys statics and items in large numbers
// as the view moves. An object is constructed in a free slot when taken and
// destroyed (its destructor run) when given back, so a pooled object lives
// exactly as long as any other: it enters the live-object registry when taken
// and leaves it when given back. Under AddressSanitizer a free slot is
// poisoned, so a stale pointer into the pool is reported at its first use.
// Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VARDUN_POISON_SLOT(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define VARDUN_UNPOISON_SLOT(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define VARDUN_POISON_SLOT(address, size) ((void)(address), (void)(size))
#define VARDUN_UNPOISON_SLOT(address, size) ((void)(address), (void)(size))
#endif

template <typename T, size_t BlockSize>
class ObjectPool {
public:
    ObjectPool() = default;
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;

    template <typename... Args>
    T* allocate(Args&&... args)
    {
        if (!m_free)
            addBlock();
        Slot* slot = m_free;
        VARDUN_UNPOISON_SLOT(slot, sizeof(Slot));
        m_free = slot->next;
        ++m_inUse;
        return new (slot->storage) T(std::forward<Args>(args)...);
    }

    // `object` must have come from this pool and be of exactly class T.
    void release(T* object)
    {
        object->~T();
        Slot* slot = reinterpret_cast<Slot*>(object);
        slot->next = m_free;
        m_free = slot;
        --m_inUse;
        VARDUN_POISON_SLOT(slot, sizeof(Slot));
    }

    size_t inUse() const { return m_inUse; }
    // Slots of every block made so far; it grows by BlockSize and never falls.
    size_t total() const { return m_blocks.size() * BlockSize; }

private:
    union Slot {
        Slot* next;
        alignas(T) unsigned char storage[sizeof(T)];
    };

    void addBlock()
    {
        m_blocks.push_back(std::make_unique<Slot[]>(BlockSize));
        Slot* block = m_blocks.back().get();
        // Handed out from the block's start: the newest block's first slot
        // is the next one taken.
        for (size_t i = BlockSize; i-- > 0;) {
            block[i].next = m_free;
            m_free = &block[i];
            VARDUN_POISON_SLOT(&block[i], sizeof(Slot));
        }
    }

    std::vector<std::unique_ptr<Slot[]>> m_blocks;
    Slot* m_free = nullptr;
    size_t m_inUse = 0;
};
