// One owner for every kind of handle: Unique<Traits> holds a handle and gives it back to the system with
// Traits::Close when it ends or is reset. Traits name the handle type, its empty value and how to close it;
// a trait whose Close does nothing makes a view of a handle that belongs to someone else.
#pragma once

#include <utility>

namespace fw {

template <class Traits> class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() = default;
    explicit Unique(Handle handle) : m_handle(handle) {}
    ~Unique() { Reset(); }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : m_handle(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return Traits::Valid(m_handle); }
    // Gives the handle away: the caller (or the system, e.g. SetWindowRgn) owns it from now on.
    Handle Release() { return std::exchange(m_handle, Traits::Empty()); }
    // Closes the handle held (unless it is the one given) and holds the one given.
    void Reset(Handle handle = Traits::Empty()) {
        if (Traits::Valid(m_handle) && m_handle != handle) {
            Traits::Close(m_handle);
        }
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Empty();
};

// Traits for handles whose empty value is null.
template <class H, auto CloseFunction> struct NullTraits {
    using Handle = H;
    static constexpr Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static void Close(Handle handle) { CloseFunction(handle); }
};

} // namespace fw

namespace fw {

// A COM interface pointer: released when it ends.
template <class Interface> struct ComTraits {
    using Handle = Interface*;
    static constexpr Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static void Close(Handle handle) { handle->Release(); }
};
template <class Interface> using ComRef = Unique<ComTraits<Interface>>;

} // namespace fw
