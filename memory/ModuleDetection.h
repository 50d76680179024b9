// Finding the modules: twelve bus positions probed in order, the whole SPD of each module that answers copied into
// the store. Portable: the bus is reached through a one-byte read function.
#pragma once

#include <cstdint>
#include <functional>

#include "memory/BusGate.h"
#include "memory/SpdImage.h"

// A position on the bus: first index 0-1 (varies slowest), second index 0-5.
inline constexpr int kFirstIndexCount = 2;
inline constexpr int kSecondIndexCount = 6;
// The first byte of a DDR4 SPD (384 bytes used, 512 in all).
inline constexpr std::uint8_t kDdr4SpdFirstByte = 0x23;

// One SPD byte of the module at (first, second): what ReadSPD answers in its low byte.
using SpdByteReader = std::function<std::uint8_t(std::uint8_t first, std::uint8_t second, std::uint16_t offset)>;

// Each probe and each module read holds the shared bus through the gate, waiting at most kStartBusWaitMs; a position
// whose read cannot get the bus is passed over.

// Probes the twelve positions and copies each module found into store, in the order found; returns how many were
// stored. Probing stops once the store is full, so nothing is ever written past its eighth image and no bus time is
// spent on modules that could not be kept.
int DetectModules(const SpdByteReader& read, SpdImageStoreArray& store, BusGate* gate = nullptr);
