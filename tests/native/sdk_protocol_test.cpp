// The SDK protocol's portable side: packets reassembled across reads and refused at the limits, requests decoded
// or refused, the controller block at each version against bytes written out by hand, and the mode mapping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/SdkController.h"
#include "sdk/SdkProtocol.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Le32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Bytes PacketBytes(std::uint32_t device, std::uint32_t id, const Bytes& payload) {
    return Cat(
        {{'O', 'R', 'G', 'B'}, Le32(device), Le32(id), Le32(static_cast<std::uint32_t>(payload.size())), payload});
}

// ---- Reassembly ---------------------------------------------------------------------------------------------

TEST(SdkAssembler, ReassemblesPacketsSplitAnyWayAndSeveralInOneRead) {
    const Bytes stream = Cat({PacketBytes(0, 40, Le32(5)), PacketBytes(0, 0, {}), PacketBytes(0, 1, Le32(3))});
    for (std::size_t chunk : {std::size_t{1}, std::size_t{5}, std::size_t{17}, stream.size()}) {
        sdk::PacketAssembler assembler;
        std::vector<std::uint32_t> ids;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            assembler.Feed(std::span(stream).subspan(at, std::min(chunk, stream.size() - at)));
            sdk::Packet packet;
            while (assembler.Next(packet) == sdk::PacketAssembler::Status::Ready) {
                ids.push_back(packet.header.packetId);
            }
        }
        EXPECT_EQ(ids, (std::vector<std::uint32_t>{40, 0, 1})) << "chunk " << chunk;
        EXPECT_EQ(assembler.Buffered(), 0u);
    }
}

TEST(SdkAssembler, RefusesWrongMagicAndOversizedPayloadForGood) {
    Bytes wrongMagic = PacketBytes(0, 0, {});
    wrongMagic[0] = 'X';
    Bytes oversized = PacketBytes(0, 1050, {});
    const Bytes size = Le32(sdk::kMaxPayload + 1);
    std::copy(size.begin(), size.end(), oversized.begin() + 12);
    Bytes largest = PacketBytes(0, 201, Bytes(sdk::kMaxPayload, 0));
    for (const auto& [bytes, refused] : {std::pair{wrongMagic, true}, {oversized, true}, {largest, false}}) {
        sdk::PacketAssembler assembler;
        assembler.Feed(bytes);
        sdk::Packet packet;
        EXPECT_EQ(assembler.Next(packet) == sdk::PacketAssembler::Status::Refused, refused);
        assembler.Feed(PacketBytes(0, 0, {}));
        EXPECT_EQ(assembler.Next(packet) == sdk::PacketAssembler::Status::Refused, refused) << "stays refused";
    }
}

// ---- Requests -------------------------------------------------------------------------------------------------

sdk::Packet MakePacket(std::uint32_t device, std::uint32_t id, const Bytes& payload) {
    return {{device, id, static_cast<std::uint32_t>(payload.size())}, payload};
}

Bytes Colours(std::uint16_t count) {
    Bytes bytes = {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)};
    for (std::uint8_t i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i + 2), 9, 0});
    }
    return bytes;
}

// A mode block as a client sends it back: index, name, 9 or 12 numbers (speed at 6 or 8), colours.
Bytes ModeBlock(std::uint32_t index, std::uint32_t speed, std::uint16_t colours, bool brightness, int sizeAdjust = 0) {
    Bytes body = Cat({Le32(index), {3, 0, 'a', 'b', 0}});
    const int fields = brightness ? 12 : 9;
    for (int i = 0; i < fields; ++i) {
        body = Cat({body, Le32(i == (brightness ? 8 : 6) ? speed : 0)});
    }
    body = Cat({body, Colours(colours)});
    return Cat({Le32(static_cast<std::uint32_t>(static_cast<int>(body.size()) + 4 + sizeAdjust)), body});
}

struct DecodeCase {
    const char* what;
    sdk::Packet packet;
    std::uint32_t version;
    bool accepted;
    sdk::RequestKind kind;
};

TEST(SdkRequests, DecodesWhatFitsAndRefusesWhatDoesNot) {
    const Bytes fiveLeds = Cat({Le32(4 + 2 + 20), Colours(5)});
    const Bytes oldSizeLeds = Cat({Le32(2 + 20), Colours(5)});
    const std::vector<DecodeCase> cases = {
        {"count", MakePacket(0, 0, {}), 5, true, sdk::RequestKind::ControllerCount},
        {"data at version 3", MakePacket(0, 1, Le32(3)), 5, true, sdk::RequestKind::ControllerData},
        {"data without a version", MakePacket(0, 1, {}), 5, true, sdk::RequestKind::ControllerData},
        {"data of device 1", MakePacket(1, 1, Le32(5)), 5, false, {}},
        {"data with 3 bytes", MakePacket(0, 1, {5, 0, 0}), 5, false, {}},
        {"version", MakePacket(0, 40, Le32(5)), 0, true, sdk::RequestKind::ProtocolVersion},
        {"client name", MakePacket(0, 50, {'x', 0}), 5, true, sdk::RequestKind::Accepted},
        {"profiles", MakePacket(0, 150, {}), 5, true, sdk::RequestKind::ProfileList},
        {"plugins", MakePacket(0, 200, {}), 5, true, sdk::RequestKind::PluginList},
        {"load profile", MakePacket(0, 152, {'p', 0}), 5, true, sdk::RequestKind::LoadProfile},
        {"save profile", MakePacket(0, 151, {0xE5, 0xB7, 0xA5, 0}), 2, true, sdk::RequestKind::SaveProfile},
        {"delete profile at 1", MakePacket(0, 153, {'p', 0}), 1, true, sdk::RequestKind::Accepted},
        {"profile name not terminated", MakePacket(0, 151, {'p'}), 5, false, {}},
        {"profile name not UTF-8", MakePacket(0, 151, {0xC0, 0x80, 0}), 5, false, {}},
        {"profile name with a backslash", MakePacket(0, 151, {'a', '\\', 0}), 5, false, {}},
        {"profile name of 65 characters", MakePacket(0, 151, Cat({Bytes(65, 'a'), {0}})), 5, false, {}},
        {"resize zone", MakePacket(0, 1000, Cat({Le32(0), Le32(9)})), 5, true, sdk::RequestKind::Accepted},
        {"five LEDs", MakePacket(0, 1050, fiveLeds), 5, true, sdk::RequestKind::UpdateLeds},
        {"five LEDs, old data_size", MakePacket(0, 1050, oldSizeLeds), 5, true, sdk::RequestKind::UpdateLeds},
        {"six LEDs", MakePacket(0, 1050, Cat({Le32(4 + 2 + 24), Colours(6)})), 5, false, {}},
        {"LEDs, data_size off", MakePacket(0, 1050, Cat({Le32(4 + 2 + 19), Colours(5)})), 5, false, {}},
        {"LEDs, truncated", MakePacket(0, 1050, Bytes(fiveLeds.begin(), fiveLeds.end() - 1)), 5, false, {}},
        {"LEDs of device 1", MakePacket(1, 1050, fiveLeds), 5, false, {}},
        {"zone 0", MakePacket(0, 1051, Cat({Le32(4 + 4 + 2 + 20), Le32(0), Colours(5)})), 5, true,
         sdk::RequestKind::UpdateLeds},
        {"zone 1", MakePacket(0, 1051, Cat({Le32(4 + 4 + 2 + 20), Le32(1), Colours(5)})), 5, false, {}},
        {"single LED 4", MakePacket(0, 1052, Cat({Le32(4), {1, 2, 3, 0}})), 5, true, sdk::RequestKind::UpdateLeds},
        {"single LED 5", MakePacket(0, 1052, Cat({Le32(5), {1, 2, 3, 0}})), 5, false, {}},
        {"custom mode", MakePacket(0, 1100, {}), 5, true, sdk::RequestKind::SetCustomMode},
        {"mode at 5", MakePacket(0, 1101, ModeBlock(2, 3, 1, true)), 5, true, sdk::RequestKind::UpdateMode},
        {"save mode at 1", MakePacket(0, 1102, ModeBlock(2, 3, 1, false)), 1, true, sdk::RequestKind::UpdateMode},
        {"mode at 1 in 5's layout", MakePacket(0, 1101, ModeBlock(2, 3, 1, true)), 1, false, {}},
        {"mode index 12", MakePacket(0, 1101, ModeBlock(12, 3, 0, true)), 5, false, {}},
        {"mode with two colours", MakePacket(0, 1101, ModeBlock(2, 3, 2, true)), 5, false, {}},
        {"mode, data_size off", MakePacket(0, 1101, ModeBlock(2, 3, 1, true, 1)), 5, false, {}},
    };
    for (const DecodeCase& c : cases) {
        sdk::Decoded decoded = sdk::DecodeRequest(c.packet, c.version, 12);
        ASSERT_EQ(decoded.request.has_value(), c.accepted) << c.what << ": " << decoded.refusal;
        if (c.accepted) {
            EXPECT_EQ(decoded.request->kind, c.kind) << c.what;
        } else {
            EXPECT_FALSE(decoded.refusal.empty()) << c.what;
        }
    }
}

TEST(SdkRequests, CarryTheColoursSpeedAndVersionAsked) {
    auto leds = sdk::DecodeRequest(MakePacket(0, 1050, Cat({Le32(26), Colours(5)})), 5, 12).request;
    ASSERT_TRUE(leds);
    EXPECT_EQ(leds->ledCount, 5);
    EXPECT_EQ(leds->leds[4], (sdk::Rgb{5, 6, 9}));
    auto single = sdk::DecodeRequest(MakePacket(0, 1052, Cat({Le32(3), {7, 8, 9, 0}})), 5, 12).request;
    ASSERT_TRUE(single);
    EXPECT_EQ(single->firstLed, 3);
    EXPECT_EQ(single->ledCount, 1);
    EXPECT_EQ(single->leds[3], (sdk::Rgb{7, 8, 9}));
    auto mode = sdk::DecodeRequest(MakePacket(0, 1101, ModeBlock(2, 4, 1, false)), 2, 12).request;
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->mode.index, 2u);
    EXPECT_EQ(mode->mode.speed, 4u);
    EXPECT_EQ(mode->mode.colour, (sdk::Rgb{1, 2, 9}));
    auto data = sdk::DecodeRequest(MakePacket(0, 1, Le32(9)), 5, 12).request;
    ASSERT_TRUE(data);
    EXPECT_EQ(data->version, sdk::kServerVersion) << "a newer client gets the server's highest";
}

// ---- The controller block -----------------------------------------------------------------------------------

sdk::ControllerDescription OneModeController() {
    sdk::ControllerDescription controller;
    controller.name = "N";
    controller.vendor = "V";
    controller.description = "D";
    controller.location = "L";
    controller.zoneName = "Z";
    sdk::ModeDescription mode;
    mode.name = "B";
    mode.value = 2;
    mode.flags = sdk::kModeHasSpeed | sdk::kModeHasModeSpecificColour;
    mode.speedMin = 1;
    mode.speedMax = 5;
    mode.coloursMin = 1;
    mode.coloursMax = 1;
    mode.speed = 3;
    mode.colourMode = sdk::kColourModeSpecific;
    mode.colours = {{0x11, 0x22, 0x33}};
    controller.modes = {mode};
    controller.activeMode = 0;
    controller.leds = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}}};
    return controller;
}

Bytes Expected(std::uint32_t version) {
    const Bytes type = {1, 0, 0, 0};
    const Bytes name = {2, 0, 'N', 0};
    const Bytes vendor = version >= 1 ? Bytes{2, 0, 'V', 0} : Bytes{};
    const Bytes strings = {2, 0, 'D', 0, 1, 0, 0, 1, 0, 0, 2, 0, 'L', 0};
    const Bytes modeCount = {1, 0, 0, 0, 0, 0};
    const Bytes modeHead = {2, 0, 'B', 0, 2, 0, 0, 0, 0x41, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0};
    const Bytes brightnessRange = version >= 3 ? Bytes(8, 0) : Bytes{};
    const Bytes coloursSpeed = {1, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0};
    const Bytes brightness = version >= 3 ? Bytes(4, 0) : Bytes{};
    const Bytes modeTail = {0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0x11, 0x22, 0x33, 0};
    const Bytes zone = {1, 0, 2, 0, 'Z', 0, 1, 0, 0, 0, 5, 0, 0, 0, 5, 0, 0, 0, 5, 0, 0, 0, 0, 0};
    const Bytes segments = version >= 4 ? Bytes{0, 0} : Bytes{};
    const Bytes zoneFlags = version >= 5 ? Bytes{0, 0, 0, 0} : Bytes{};
    Bytes leds = {5, 0};
    for (std::uint8_t k = 0; k < 5; ++k) {
        leds = Cat({leds, {6, 0, 'L', 'E', 'D', ' ', static_cast<std::uint8_t>('0' + k), 0}, Le32(k)});
    }
    const Bytes colours = {5, 0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0, 13, 14, 15, 0};
    const Bytes tail = version >= 5 ? Bytes{0, 0, 0, 0, 0, 0} : Bytes{};
    Bytes body = Cat({type, name, vendor, strings, modeCount, modeHead, brightnessRange, coloursSpeed, brightness,
                      modeTail, zone, segments, zoneFlags, leds, colours, tail});
    return Cat({Le32(static_cast<std::uint32_t>(body.size() + 4)), body});
}

TEST(SdkController, SerialisesEachVersionAsItLaysTheBlockOut) {
    for (std::uint32_t version = 0; version <= sdk::kServerVersion; ++version) {
        EXPECT_EQ(sdk::SerializeController(OneModeController(), version), Expected(version)) << "version " << version;
    }
}

TEST(SdkController, FixedRepliesEchoTheRequest) {
    EXPECT_EQ(sdk::ReplyPacket({0, 150, 0}, sdk::EmptyListPayload()),
              Cat({{'O', 'R', 'G', 'B'}, Le32(0), Le32(150), Le32(6), {6, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(sdk::ReplyPacket({0, 40, 4}, sdk::VersionPayload()),
              Cat({{'O', 'R', 'G', 'B'}, Le32(0), Le32(40), Le32(4), Le32(5)}));
    EXPECT_EQ(sdk::CountPayload(), Le32(1));
}

// ---- The modules as a controller ------------------------------------------------------------------------------

TEST(SdkController, TheSnapshotIsWhatWasAppliedAndSaysWhenTheLibraryDidNotStart) {
    LightingState state;
    EXPECT_EQ(sdk::SnapshotOf(state, {}, true).mode, kModePrismel) << "before any Apply: the chosen mode";
    state.CurrentMode = kModeStatic;
    state.SpeedValue = 1;
    state.CurrentColor = 0x00FF453D;
    state.Shown = {kModeMeteor, 0, {1, 2, 3}, 0x00030201}; // chosen since, not applied
    const sdk::LightingSnapshot snapshot = sdk::SnapshotOf(state, {true, false}, true);
    EXPECT_EQ(snapshot.mode, kModeStatic);
    EXPECT_EQ(snapshot.speedIndex, 3);
    EXPECT_EQ(snapshot.colour, 0x00FF453Du);
    EXPECT_EQ(sdk::DescribeController(snapshot).description, "RGB DDR4 memory modules");
    EXPECT_EQ(sdk::DescribeController(sdk::SnapshotOf(state, {}, false)).description,
              "RGB DDR4 memory modules: the SMBus library did not start");
}

TEST(SdkController, OffersDirectOnlyWithCommandSetModulesAndShowsThePage) {
    sdk::LightingSnapshot lighting;
    lighting.flags = {true, true};
    lighting.mode = kModeBreathing;
    lighting.speedIndex = 2;
    lighting.colour = 0x00CC8844;
    sdk::ControllerDescription both = sdk::DescribeController(lighting);
    ASSERT_EQ(both.modes.size(), 12u);
    EXPECT_EQ(both.modes.front().name, "Direct");
    EXPECT_EQ(both.modes[2].name, "Breathing");
    EXPECT_EQ(both.modes[2].speed, 3u);
    EXPECT_EQ(both.modes[2].colours, (std::vector<sdk::Rgb>{{0x44, 0x88, 0xCC}}));
    EXPECT_TRUE(both.modes[6].colours.empty()) << "Prismel carries no colour";
    EXPECT_EQ(both.modes[6].flags, 0u) << "Prismel has no speed";
    EXPECT_EQ(both.modes.back().name, "Off");
    EXPECT_EQ(both.activeMode, 2);

    lighting.flags = {false, true};
    lighting.powerOn = false;
    sdk::ControllerDescription effects = sdk::DescribeController(lighting);
    ASSERT_EQ(effects.modes.size(), 11u);
    EXPECT_EQ(effects.modes.front().name, "Static");
    EXPECT_EQ(effects.activeMode, 10);
    for (const sdk::ModeDescription& mode : effects.modes) {
        EXPECT_EQ(mode.colours.empty(), (mode.flags & sdk::kModeHasModeSpecificColour) == 0) << mode.name;
    }
}

TEST(SdkController, MapsModeIndexesToThePagesChoices) {
    using Kind = sdk::ModeTarget::Kind;
    struct Case {
        SmbusFlags flags;
        sdk::ModeRequest request;
        sdk::ModeTarget target;
    };
    const Case cases[] = {
        {{true, true}, {0, 5, {}}, {Kind::Direct, kModeNone, 0, {}}},
        {{true, true}, {2, 4, sdk::Rgb{1, 2, 3}}, {Kind::Mode, kModeBreathing, 3, 0x030201}},
        {{true, true}, {2, 99, {}}, {Kind::Mode, kModeBreathing, 4, {}}},
        {{true, true}, {1, 5, sdk::Rgb{1, 2, 3}}, {Kind::Mode, kModeStatic, 1, 0x030201}},
        {{true, true}, {7, 0, {}}, {Kind::Mode, kModeMeteor, 0, {}}},
        {{true, true}, {11, 0, {}}, {Kind::Off, kModeNone, 0, {}}},
        {{false, true}, {0, 1, sdk::Rgb{9, 9, 9}}, {Kind::Mode, kModeStatic, 1, 0x090909}},
        {{false, true}, {10, 0, {}}, {Kind::Off, kModeNone, 0, {}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sdk::TargetOf(c.flags, c.request, 1), c.target) << "index " << c.request.index;
    }
}

TEST(SdkController, StoredPortFallsBackToTheDefault) {
    EXPECT_EQ(sdk::PortFromSetting(std::nullopt), sdk::kDefaultPort);
    EXPECT_EQ(sdk::PortFromSetting(0), sdk::kDefaultPort);
    EXPECT_EQ(sdk::PortFromSetting(65536), sdk::kDefaultPort);
    EXPECT_EQ(sdk::PortFromSetting(16742), 16742);
}

} // namespace
