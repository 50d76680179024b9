// The shared SMBus mutex. Windows hardware tools (monitoring programs reading sensors and SPD chips, lighting
// programs) follow one convention so that their transactions never interleave on the bus: a named mutex,
// Global\Access_SMBUS.HTP.Method, held around each bus access. Every call into the SMBus library can reach the bus,
// so the program takes this mutex around each call or group of calls that forms one command, and never holds it
// across messages. With sharing turned off ("SharedSmbusAccess" = 0) nothing is taken.
#pragma once

#include <windows.h>

#include <utility>

#include <optional>

#include "framework/Gdi.h"
#include "memory/BusGate.h"

inline constexpr wchar_t kBusMutexName[] = L"Global\\Access_SMBUS.HTP.Method";
// Where the global namespace cannot be reached (a restricted session), the name without its prefix.
inline constexpr wchar_t kBusMutexLocalName[] = L"Access_SMBUS.HTP.Method";

class CBusMutex {
public:
    // The bus held until it ends; false when the wait ran out.
    class Hold {
    public:
        Hold() = default;
        Hold(HANDLE mutex, bool held) : m_mutex(mutex), m_held(held) {}
        ~Hold() { Release(); }
        Hold(Hold&& other) noexcept : m_mutex(other.m_mutex), m_held(std::exchange(other.m_held, false)) {}
        Hold& operator=(Hold&&) = delete;
        Hold(const Hold&) = delete;
        explicit operator bool() const { return m_held; }
        void Release();

    private:
        HANDLE m_mutex = nullptr; // null: sharing off, nothing to release
        bool m_held = false;
    };

    // Sharing on (the default) or off; off closes the mutex.
    void SetShared(bool shared);
    bool Shared() const { return m_shared; }
    // Waits at most waitMs for the bus. An abandoned mutex (its holder ended without releasing it) counts as
    // taken. With sharing off, or when the mutex could be neither made nor opened, the hold is granted at once.
    Hold Take(DWORD waitMs);

private:
    HANDLE Mutex();

    bool m_shared = true;
    bool m_tried = false;
    fw::UniqueHandle m_mutex;
};

// The mutex as the portable code's gate: Take holds it until Give.
class CBusMutexGate : public BusGate {
public:
    explicit CBusMutexGate(CBusMutex& bus) : m_bus(bus) {}
    bool Take(unsigned long waitMs) override {
        m_hold.emplace(m_bus.Take(waitMs));
        return static_cast<bool>(*m_hold);
    }
    void Give() override { m_hold.reset(); }

private:
    CBusMutex& m_bus;
    std::optional<CBusMutex::Hold> m_hold;
};
