#include "lighting/CommandSender.h"

#include <algorithm>

CommandSender::Scope::~Scope() {
    if (--m_sender.m_depth == 0) {
        m_sender.EndCommand();
    }
}

void CommandSender::RgbI2cMode(std::uint8_t command, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    m_batch.push_back({false, command, a, b, c, 0, 0});
}

void CommandSender::SetZorvaEffect(std::uint8_t mode, std::uint16_t speed, std::uint8_t zero, std::uint32_t argb) {
    m_batch.push_back({true, mode, zero, 0, 0, speed, argb});
}

void CommandSender::StartLightingTimer(std::int32_t periodMs) {
    m_timers.SetTimer(kLightingTimerId, static_cast<unsigned>(periodMs));
}

void CommandSender::StopLightingTimer() {
    m_timers.KillTimer(kLightingTimerId);
}

void CommandSender::SendCalls(const std::vector<BusCall>& calls) {
    for (const BusCall& call : calls) {
        if (call.effect) {
            m_library.SetZorvaEffect(call.a, call.speed, call.b, call.argb);
        } else {
            m_library.RgbI2cMode(call.a, call.b, call.c, call.d);
        }
    }
}

void CommandSender::EndCommand() {
    if (m_batch.empty()) {
        return;
    }
    MergePending(m_pending, m_batch);
    m_batch.clear();
    SendPending();
}

void CommandSender::SendPending() {
    if (m_pending.empty()) {
        m_timers.KillTimer(kBusRetryTimerId);
        return;
    }
    if (m_bus.Take(kCommandBusWaitMs)) {
        SendCalls(m_pending);
        m_bus.Give();
        m_pending.clear();
        m_timers.KillTimer(kBusRetryTimerId);
        return;
    }
    // The bus is busy: the window goes on answering, and the command goes out as soon as the bus is free.
    m_timers.SetTimer(kBusRetryTimerId, kBusRetryPeriodMs);
}

void CommandSender::SendFrame(std::int32_t periodMs) {
    const auto wait = static_cast<unsigned long>(std::clamp<std::int32_t>(periodMs / 2, 1, kFrameBusWaitMs));
    if (!m_batch.empty() && m_bus.Take(wait)) {
        SendCalls(m_batch);
        m_bus.Give();
    }
    m_batch.clear();
}

bool CommandSender::OfferDirectFrame() {
    if (m_directTimerRunning) {
        m_directFrameWaiting = true;
        return false;
    }
    m_timers.SetTimer(kDirectFrameTimerId, static_cast<unsigned>(kDirectFramePeriodMs));
    m_directTimerRunning = true;
    m_directFrameWaiting = false;
    return true;
}

bool CommandSender::DirectFrameDue() {
    if (m_directFrameWaiting) {
        m_directFrameWaiting = false;
        return true;
    }
    StopDirectFrames();
    return false;
}

void CommandSender::StopDirectFrames() {
    if (m_directTimerRunning) {
        m_timers.KillTimer(kDirectFrameTimerId);
        m_directTimerRunning = false;
    }
    m_directFrameWaiting = false;
}
