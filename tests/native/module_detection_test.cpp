// Module detection with the shared bus: each probe and each module read holds it, and a read that cannot get it
// passes that position over.
#include <gtest/gtest.h>

#include "memory/ModuleDetection.h"

namespace {

class CountingGate final : public BusGate {
public:
    explicit CountingGate(int refuseFrom) : m_refuseFrom(refuseFrom) {}
    bool Take(unsigned long) override {
        EXPECT_FALSE(m_held) << "taken twice";
        if (++m_takes >= m_refuseFrom) {
            return false;
        }
        m_held = true;
        return true;
    }
    void Give() override {
        EXPECT_TRUE(m_held);
        m_held = false;
    }
    int m_takes = 0;
    bool m_held = false;

private:
    int m_refuseFrom;
};

TEST(ModuleDetection, EachProbeAndReadHoldsTheBusAndARefusedReadPassesThePositionOver) {
    // Modules at positions (0, 0) and (0, 1); every byte reads 0x23 there, nothing elsewhere.
    int readsOutsideTheBus = 0;
    CountingGate* current = nullptr;
    auto read = [&](std::uint8_t first, std::uint8_t second, std::uint16_t) -> std::uint8_t {
        readsOutsideTheBus += current && !current->m_held ? 1 : 0;
        return first == 0 && second <= 1 ? kDdr4SpdFirstByte : 0xFF;
    };
    struct Case {
        int refuseFrom;
        int stored;
    };
    // Takes: probe (0,0), read (0,0), probe (0,1), read (0,1), then ten probes.
    for (const Case c : {Case{1000, 2}, Case{4, 1}, Case{2, 0}}) {
        CountingGate gate(c.refuseFrom);
        current = &gate;
        SpdImageStoreArray store{};
        EXPECT_EQ(DetectModules(read, store, &gate), c.stored) << c.refuseFrom;
        EXPECT_FALSE(gate.m_held);
    }
    EXPECT_EQ(readsOutsideTheBus, 0);
}

} // namespace
