// The road from the command sequences to the modules. The library calls of one command (an Apply, Reset or power
// toggle sequence, a resend, a client's frame) are gathered and sent together with the shared bus held; a command
// that cannot get the bus waits as the pending command and is tried again on a timer, and what comes later wins.
// Animation frames never wait long for the bus, and a client's Direct frames are paced. Portable: the library's
// calls, the bus and the window's timers come in as interfaces.
#pragma once

#include <cstdint>
#include <vector>

#include "lighting/BusBatch.h"
#include "lighting/LightingSequences.h"
#include "memory/BusGate.h"

// The window's timers, by id.
class LightingTimers {
public:
    virtual ~LightingTimers() = default;
    virtual void SetTimer(unsigned id, unsigned periodMs) = 0;
    virtual void KillTimer(unsigned id) = 0;
};

class CommandSender final : public LightingPort {
public:
    CommandSender(SmbusLightingCalls& library, BusGate& bus, LightingTimers& timers)
        : m_library(library), m_bus(bus), m_timers(timers) {}

    // The calls of the sequences that run while a scope is open go out as one command when the outermost scope
    // ends: at once with the bus held (waiting at most kCommandBusWaitMs), or else as the pending command, which
    // replaces the one pending before (MergePending) and is tried again every kBusRetryPeriodMs.
    class Scope {
    public:
        explicit Scope(CommandSender& sender) : m_sender(sender) { ++m_sender.m_depth; }
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CommandSender& m_sender;
    };

    // An animation frame may be built only while no command waits: the command must go out first.
    bool FrameMayGo() const { return m_pending.empty(); }
    // Sends the frame built since (outside any scope), holding the bus; a frame that cannot get the bus within
    // half its period (at most kFrameBusWaitMs) is dropped.
    void SendFrame(std::int32_t periodMs);
    // The retry timer's tick: the pending command again.
    void RetryPending() { SendPending(); }
    bool Pending() const { return !m_pending.empty(); }

    // A client's Direct frame is ready: true when it goes out now (no frame went within the last
    // kDirectFramePeriodMs; the frame timer starts), false when it waits for the frame timer.
    bool OfferDirectFrame();
    // The frame timer's tick: true when a frame waits and must go out now; false stops the timer.
    bool DirectFrameDue();
    // The client's frames end (a user's click, or another mode): nothing waits any more.
    void StopDirectFrames();

    // LightingPort: the sequences' calls join the command being gathered; the lighting timer is the window's.
    void RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) override;
    void SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) override;
    void StartLightingTimer(std::int32_t periodMs) override;
    void StopLightingTimer() override;

private:
    void EndCommand();
    void SendPending();
    void SendCalls(const std::vector<BusCall>& calls);

    SmbusLightingCalls& m_library;
    BusGate& m_bus;
    LightingTimers& m_timers;
    int m_depth = 0;
    std::vector<BusCall> m_batch;   // the calls of the command (or frame) being gathered
    std::vector<BusCall> m_pending; // a command still waiting for the bus
    bool m_directTimerRunning = false;
    bool m_directFrameWaiting = false;
};
