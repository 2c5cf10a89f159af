#pragma once
// Doubly linked lists threaded through the objects they hold, so that joining
// and leaving a list allocates nothing and never fails. An object carries one
// ListHook per list it may be in; the hook knows whether it is linked, so
// leaving a list the object is not in does nothing and joining twice is
// refused. Which list a linked hook belongs to is the caller's to know (a
// content hook belongs to the list of the item's container). Main thread only.

#include <cstddef>

template <typename T>
struct ListHook {
    T* next = nullptr;
    T* prev = nullptr;
    bool linked = false;
};

template <typename T, ListHook<T> T::*Hook>
class IntrusiveList {
public:
    T* head() const { return m_head; }
    T* tail() const { return m_tail; }
    size_t size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    static bool isLinked(const T* object) { return (object->*Hook).linked; }
    static T* next(const T* object) { return (object->*Hook).next; }
    static T* prev(const T* object) { return (object->*Hook).prev; }

    // The newest end of the list is its head.
    void pushFront(T* object) { insertBefore(m_head, object); }
    void pushBack(T* object) { insertBefore(nullptr, object); }

    // Links `object` before `position`, or at the tail when `position` is
    // null. False when the object is already linked somewhere.
    bool insertBefore(T* position, T* object)
    {
        ListHook<T>& hook = object->*Hook;
        if (hook.linked)
            return false;
        hook.linked = true;
        hook.next = position;
        hook.prev = position ? (position->*Hook).prev : m_tail;
        if (hook.prev)
            (hook.prev->*Hook).next = object;
        else
            m_head = object;
        if (position)
            (position->*Hook).prev = object;
        else
            m_tail = object;
        ++m_size;
        return true;
    }

    void remove(T* object)
    {
        ListHook<T>& hook = object->*Hook;
        if (!hook.linked)
            return;
        if (hook.prev)
            (hook.prev->*Hook).next = hook.next;
        else
            m_head = hook.next;
        if (hook.next)
            (hook.next->*Hook).prev = hook.prev;
        else
            m_tail = hook.prev;
        hook = ListHook<T> {};
        --m_size;
    }

    // Forgets every member without touching them; only for lists whose
    // members are already gone or unlinked (start-up).
    void reset()
    {
        m_head = m_tail = nullptr;
        m_size = 0;
    }

private:
    T* m_head = nullptr;
    T* m_tail = nullptr;
    size_t m_size = 0;
};
