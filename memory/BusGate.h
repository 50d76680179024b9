// The shared SMBus, as the portable code reaches it: held around the library calls that form one command or one
// module read, and let go after them. Hardware tools share the bus by one convention (the named mutex in
// BusMutex_win32.h); the Win32 side adapts that mutex to this interface.
#pragma once

// How long start-up waits for the bus before each library call or module read; a bus that stays busy past it is a
// tool that hung holding it.
inline constexpr unsigned long kStartBusWaitMs = 2000;
// How long a lighting command waits for the bus before it is left pending: the window answers again well within
// 100 ms. An animation frame waits at most kFrameBusWaitMs, and never more than half its period.
inline constexpr unsigned long kCommandBusWaitMs = 50;
inline constexpr unsigned long kFrameBusWaitMs = 40;

class BusGate {
public:
    virtual ~BusGate() = default;
    // Whether the bus was got within waitMs; false: nothing may be sent now.
    virtual bool Take(unsigned long waitMs) = 0;
    // Lets the bus go after a Take that answered true.
    virtual void Give() = 0;
};
