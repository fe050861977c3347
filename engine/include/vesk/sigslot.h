#pragma once

// Single-threaded signals and slots for the talk engine's events. Raise one with send() or
// operator() (not emit(), which Qt reserves as a macro).
//
// A signal keeps a list of connections to member functions of objects derived from has_slots;
// each has_slots object keeps the set of signals it is connected to. Destroying either side
// disconnects it from the other, so neither ever calls into a dead object.
//
// Every node of those containers is allocated through one process-wide pair of functions
// (set_allocator), which the program points at the engine's exported allocator entry points:
// nodes created on one side of the library boundary and freed on the other then always come
// from the same heap.

#include <cstddef>
#include <cstdlib>
#include <list>
#include <new>
#include <set>

namespace sigslot {

using alloc_function = void *(*)(std::size_t);
using free_function = void (*)(void *);

namespace detail {

inline void *default_alloc(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

inline void default_free(void *p)
{
    std::free(p);
}

struct allocator_hooks
{
    alloc_function alloc = &default_alloc;
    free_function free = &default_free;
};

inline allocator_hooks &hooks()
{
    static allocator_hooks h;
    return h;
}

} // namespace detail

// Points every later node allocation at the given pair; null restores malloc/free. Call it
// before the first connection (nodes already allocated are freed through the pair in force
// when they go, so both pairs must share one heap).
inline void set_allocator(alloc_function alloc, free_function release)
{
    detail::hooks().alloc = alloc ? alloc : &detail::default_alloc;
    detail::hooks().free = release ? release : &detail::default_free;
}

inline void *allocate(std::size_t size)
{
    void *p = detail::hooks().alloc(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

inline void deallocate(void *p)
{
    if (p)
        detail::hooks().free(p);
}

// Standard allocator over the hooks, for the connection lists.
template <class T> struct hook_allocator
{
    using value_type = T;
    hook_allocator() noexcept = default;
    template <class U> hook_allocator(const hook_allocator<U> &) noexcept { }
    T *allocate(std::size_t n) { return static_cast<T *>(sigslot::allocate(n * sizeof(T))); }
    void deallocate(T *p, std::size_t) noexcept { sigslot::deallocate(p); }
    template <class U> bool operator==(const hook_allocator<U> &) const noexcept { return true; }
    template <class U> bool operator!=(const hook_allocator<U> &) const noexcept { return false; }
};

// The engine raises every signal on the thread that runs its event loop, so the only policy is
// the single-threaded one; it exists to keep the familiar template signature.
class single_threaded
{
public:
    void lock() { }
    void unlock() { }
};

template <class mt_policy> class lock_block
{
public:
    explicit lock_block(mt_policy *mtx) : m_mutex(mtx) { m_mutex->lock(); }
    ~lock_block() { m_mutex->unlock(); }

private:
    mt_policy *m_mutex;
};

template <class mt_policy> class has_slots;

template <class mt_policy> class signal_base : public mt_policy
{
public:
    virtual ~signal_base() = default;
    virtual void slot_disconnect(has_slots<mt_policy> *pslot) = 0;
};

template <class mt_policy = single_threaded> class has_slots : public mt_policy
{
public:
    has_slots() = default;
    // A copy is a new receiver: it is connected to nothing.
    has_slots(const has_slots &) : mt_policy() { }
    has_slots &operator=(const has_slots &) { return *this; }

    virtual ~has_slots() { disconnect_all(); }

    void signal_connect(signal_base<mt_policy> *sender)
    {
        lock_block<mt_policy> lock(this);
        m_senders.insert(sender);
    }

    void signal_disconnect(signal_base<mt_policy> *sender)
    {
        lock_block<mt_policy> lock(this);
        m_senders.erase(sender);
    }

    void disconnect_all()
    {
        lock_block<mt_policy> lock(this);
        while (!m_senders.empty()) {
            signal_base<mt_policy> *sender = *m_senders.begin();
            m_senders.erase(m_senders.begin());
            sender->slot_disconnect(this);
        }
    }

    std::size_t sender_count() const { return m_senders.size(); }

private:
    using sender_set = std::set<signal_base<mt_policy> *, std::less<signal_base<mt_policy> *>,
        hook_allocator<signal_base<mt_policy> *>>;
    sender_set m_senders;
};

namespace detail {

template <class mt_policy, class... Args> class connection_base
{
public:
    virtual ~connection_base() = default;
    virtual has_slots<mt_policy> *getdest() const = 0;
    virtual void call(Args... args) = 0;
};

template <class dest_type, class mt_policy, class... Args>
class member_connection final : public connection_base<mt_policy, Args...>
{
public:
    member_connection(dest_type *object, void (dest_type::*pmemfun)(Args...))
        : m_object(object), m_pmemfun(pmemfun)
    { }
    has_slots<mt_policy> *getdest() const override { return m_object; }
    void call(Args... args) override { (m_object->*m_pmemfun)(args...); }

private:
    dest_type *m_object;
    void (dest_type::*m_pmemfun)(Args...);
};

// Connection objects are polymorphic, so they are built in hook memory with placement new.
template <class T, class... CtorArgs> T *create_node(CtorArgs &&...args)
{
    void *mem = sigslot::allocate(sizeof(T));
    try {
        return new (mem) T(static_cast<CtorArgs &&>(args)...);
    } catch (...) {
        sigslot::deallocate(mem);
        throw;
    }
}

template <class T> void destroy_node(T *node)
{
    if (!node)
        return;
    node->~T();
    sigslot::deallocate(node);
}

} // namespace detail

template <class mt_policy, class... Args> class signal_n : public signal_base<mt_policy>
{
public:
    using connection = detail::connection_base<mt_policy, Args...>;

    signal_n() = default;
    // Copying a signal does not copy its connections.
    signal_n(const signal_n &) : signal_base<mt_policy>() { }
    signal_n &operator=(const signal_n &) { return *this; }

    ~signal_n() override { disconnect_all(); }

    template <class dest_type> void connect(dest_type *pclass, void (dest_type::*pmemfun)(Args...))
    {
        lock_block<mt_policy> lock(this);
        connection *conn
            = detail::create_node<detail::member_connection<dest_type, mt_policy, Args...>>(pclass, pmemfun);
        try {
            m_connections.push_back(conn);
        } catch (...) {
            detail::destroy_node(conn);
            throw;
        }
        pclass->signal_connect(this);
    }

    // Removes every connection of pclass to this signal.
    void disconnect(has_slots<mt_policy> *pclass)
    {
        lock_block<mt_policy> lock(this);
        bool found = false;
        for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
            if (*it && (*it)->getdest() == pclass) {
                drop(it);
                found = true;
            }
        }
        if (found) {
            pclass->signal_disconnect(this);
            purge();
        }
    }

    void disconnect_all()
    {
        lock_block<mt_policy> lock(this);
        for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
            if (*it) {
                has_slots<mt_policy> *dest = (*it)->getdest();
                drop(it);
                dest->signal_disconnect(this);
            }
        }
        purge();
    }

    // Called by a dying has_slots object.
    void slot_disconnect(has_slots<mt_policy> *pslot) override
    {
        lock_block<mt_policy> lock(this);
        for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
            if (*it && (*it)->getdest() == pslot)
                drop(it);
        }
        purge();
    }

    bool is_empty() const
    {
        for (connection *c : m_connections) {
            if (c)
                return false;
        }
        return true;
    }

    std::size_t connection_count() const
    {
        std::size_t n = 0;
        for (connection *c : m_connections) {
            if (c)
                ++n;
        }
        return n;
    }

    // Calls every slot connected before the emission began, in connection order. A slot may
    // connect or disconnect (itself or others) while it runs: disconnected slots are skipped,
    // slots connected during the emission wait for the next one.
    void send(Args... args)
    {
        lock_block<mt_policy> lock(this);
        ++m_emitting;
        auto end = m_connections.end();
        if (!m_connections.empty()) {
            auto last = std::prev(end);
            for (auto it = m_connections.begin();; ++it) {
                if (*it)
                    (*it)->call(args...);
                if (it == last)
                    break;
            }
        }
        --m_emitting;
        purge();
    }

    void operator()(Args... args) { send(args...); }

private:
    using connection_list = std::list<connection *, hook_allocator<connection *>>;

    // While emitting, a dropped entry stays in the list as null so that no iterator goes stale.
    void drop(typename connection_list::iterator it)
    {
        detail::destroy_node(*it);
        *it = nullptr;
    }

    void purge()
    {
        if (m_emitting)
            return;
        m_connections.remove(nullptr);
    }

    connection_list m_connections;
    int m_emitting = 0;
};

template <class mt_policy = single_threaded> using signal0 = signal_n<mt_policy>;

template <class A1, class mt_policy = single_threaded> using signal1 = signal_n<mt_policy, A1>;

template <class A1, class A2, class mt_policy = single_threaded> using signal2 = signal_n<mt_policy, A1, A2>;

template <class A1, class A2, class A3, class mt_policy = single_threaded>
using signal3 = signal_n<mt_policy, A1, A2, A3>;

} // namespace sigslot
