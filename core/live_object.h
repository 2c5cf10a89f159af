#pragma once
// Validity of stored object pointers. Every object of a long-lived class tree
// (world objects, gumps) derives from LiveObject<Tree>, which enters the object
// in its tree's registry when constructed and takes it out when destroyed.
// "Is this pointer still valid" is then a membership test that never reads the
// object, so a pointer to a destroyed object is refused without touching freed
// memory. The live mark 0xFEEDBEEF is kept as a field as well (set while the
// object lives, 0 once its destruction began) and is checked after membership.
// Main thread only. LiveObject must be a non-virtual base, so that turning a
// stale derived pointer into a LiveObject pointer is plain address arithmetic.

#include <cstddef>
#include <cstdint>
#include <unordered_set>

inline constexpr uint32_t kLiveMark = 0xFEEDBEEF;

// The fill pattern a debugging allocator leaves in freed memory; a pointer
// equal to it is never valid.
inline const void* freedMarker() { return reinterpret_cast<const void*>(uintptr_t { 0xDDDDDDDD }); }

class LiveObjectRegistry {
public:
    void add(const void* object) { m_live.insert(object); }
    void remove(const void* object) { m_live.erase(object); }
    bool contains(const void* object) const { return m_live.count(object) != 0; }
    size_t size() const { return m_live.size(); }

private:
    std::unordered_set<const void*> m_live;
};

// Tree is a tag type naming the class tree (one registry per tree).
template <typename Tree>
class LiveObject {
public:
    static LiveObjectRegistry& registry()
    {
        static LiveObjectRegistry live;
        return live;
    }

    uint32_t liveMark() const { return m_liveMark; }

protected:
    LiveObject() { registry().add(this); }
    // A copy is a new object with a registry entry of its own.
    LiveObject(const LiveObject&)
        : LiveObject()
    {
    }
    LiveObject& operator=(const LiveObject&) { return *this; }
    ~LiveObject() { retire(); }
    // Leaves the registry before the destructor has run to its end, so that
    // code the rest of the destruction runs already sees the object as gone.
    // Repeating it (the base destructor does) changes nothing.
    void retire()
    {
        m_liveMark = 0;
        registry().remove(this);
    }

private:
    uint32_t m_liveMark = kLiveMark;
};

// True while the object pointed to is constructed and not yet destroyed.
template <typename Tree>
bool isLivePointer(const LiveObject<Tree>* object)
{
    return object && object != freedMarker() && LiveObject<Tree>::registry().contains(object);
}

// A live object whose mark is intact. The mark is read only after the
// registry has said the object lives.
template <typename Tree>
bool isValidObject(const LiveObject<Tree>* object)
{
    return isLivePointer(object) && object->liveMark() == kLiveMark;
}
