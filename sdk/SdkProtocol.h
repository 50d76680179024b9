// The lighting SDK's network protocol as this program serves it: packets reassembled from a byte stream with their
// limits, requests decoded into plain values or refused, and the replies' bytes. No socket and no window here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sdk {

inline constexpr std::array<std::uint8_t, 4> kMagic = {'O', 'R', 'G', 'B'};
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::uint32_t kMaxPayload = 64 * 1024;
inline constexpr std::uint32_t kServerVersion = 5;
// The first version with profiles (list, save, load and delete).
inline constexpr std::uint32_t kProfilesVersion = 2;
inline constexpr std::uint16_t kDefaultPort = 6742;
inline constexpr std::size_t kMaxClients = 8;
inline constexpr std::size_t kMaxUnsentBytes = 1024 * 1024;
inline constexpr std::uint32_t kControllerCount = 1;
inline constexpr std::uint16_t kZoneLedCount = 5;
inline constexpr std::uint16_t kMaxModeColours = 1;

enum PacketId : std::uint32_t {
    kRequestControllerCount = 0,
    kRequestControllerData = 1,
    kRequestProtocolVersion = 40,
    kSetClientName = 50,
    kDeviceListUpdated = 100,
    kRequestRescan = 140,
    kRequestProfileList = 150,
    kSaveProfile = 151,
    kLoadProfile = 152,
    kDeleteProfile = 153,
    kRequestPluginList = 200,
    kPluginSpecific = 201,
    kResizeZone = 1000,
    kClearSegments = 1001,
    kAddSegment = 1002,
    kUpdateLeds = 1050,
    kUpdateZoneLeds = 1051,
    kUpdateSingleLed = 1052,
    kSetCustomMode = 1100,
    kUpdateMode = 1101,
    kSaveMode = 1102,
};

struct Header {
    std::uint32_t deviceIndex = 0;
    std::uint32_t packetId = 0;
    std::uint32_t payloadSize = 0;
};

struct Packet {
    Header header;
    std::vector<std::uint8_t> payload;
};

// Collects a connection's bytes and hands out whole packets. A header with the wrong magic or a payload over
// kMaxPayload refuses the stream for good; what is buffered never exceeds one packet plus the last bytes fed.
class PacketAssembler {
public:
    enum class Status { NeedMore, Ready, Refused };

    void Feed(std::span<const std::uint8_t> bytes);
    // The next whole packet, if the bytes so far hold one.
    Status Next(Packet& packet);
    std::size_t Buffered() const { return m_buffer.size() - m_start; }

private:
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_start = 0;
    bool m_refused = false;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class RequestKind {
    ControllerCount,
    ControllerData,
    ProtocolVersion,
    ProfileList,
    SaveProfile,   // name: the profile's name
    LoadProfile,   // name
    DeleteProfile, // name
    PluginList,
    Accepted, // a packet that is answered by nothing and changes nothing
    UpdateLeds,
    SetCustomMode,
    UpdateMode,
};

// A client's mode block: which mode, and the speed and colour it asks for.
struct ModeRequest {
    std::uint32_t index = 0;
    std::uint32_t speed = 0;
    std::optional<Rgb> colour;
};

struct Request {
    RequestKind kind = RequestKind::Accepted;
    Header header;
    std::uint32_t version = 0; // ControllerData: the layout asked for; ProtocolVersion: the client's highest
    std::uint16_t firstLed = 0;
    std::uint16_t ledCount = 0;
    std::array<Rgb, kZoneLedCount> leds{};
    ModeRequest mode;
    std::u16string name; // a profile's name, checked against the name rules
};

struct Decoded {
    std::optional<Request> request;
    std::string_view refusal; // why the packet was refused, when there is no request
};

// Decodes a packet of a connection that speaks `version` (mode blocks differ from version 3), for a controller
// with modeCount modes.
Decoded DecodeRequest(const Packet& packet, std::uint32_t version, std::uint32_t modeCount);

// The version a connection speaks after telling its highest: the lower of the two.
inline std::uint32_t NegotiatedVersion(std::uint32_t clientHighest) {
    return clientHighest < kServerVersion ? clientHighest : kServerVersion;
}

// ---- The controller and the replies ---------------------------------------------------------------------------

enum ModeFlag : std::uint32_t {
    kModeHasSpeed = 1u << 0,
    kModeHasPerLedColour = 1u << 5,
    kModeHasModeSpecificColour = 1u << 6,
};
enum ColourMode : std::uint32_t {
    kColourModeNone = 0,
    kColourModePerLed = 1,
    kColourModeSpecific = 2,
};
inline constexpr std::int32_t kDeviceTypeDram = 1;
inline constexpr std::int32_t kZoneTypeLinear = 1;

struct ModeDescription {
    std::string name;
    std::int32_t value = 0;
    std::uint32_t flags = 0;
    std::uint32_t speedMin = 0;
    std::uint32_t speedMax = 0;
    std::uint32_t coloursMin = 0;
    std::uint32_t coloursMax = 0;
    std::uint32_t speed = 0;
    std::uint32_t colourMode = kColourModeNone;
    std::vector<Rgb> colours;
};

struct ControllerDescription {
    std::int32_t type = kDeviceTypeDram;
    std::string name;
    std::string vendor;
    std::string description;
    std::string version;
    std::string serial;
    std::string location;
    std::vector<ModeDescription> modes;
    std::int32_t activeMode = 0;
    std::string zoneName;
    std::array<Rgb, kZoneLedCount> leds{};
};

// The controller block at a protocol version (0 to kServerVersion), its data_size first.
std::vector<std::uint8_t> SerializeController(const ControllerDescription& controller, std::uint32_t version);
// A whole reply packet: the request's device index and packet id, then the payload.
std::vector<std::uint8_t> ReplyPacket(const Header& request, std::span<const std::uint8_t> payload);
// The fixed payloads: the controller count, the server's highest version, an empty profile or plugin list.
std::vector<std::uint8_t> CountPayload();
std::vector<std::uint8_t> VersionPayload();
std::vector<std::uint8_t> EmptyListPayload();
// The profile list: its data_size, the count and each name (UTF-8) as a string.
std::vector<std::uint8_t> ProfileListPayload(const std::vector<std::string>& names);
// The longest profile name a save, load or delete may carry: 64 characters of UTF-8 and the NUL.
inline constexpr std::size_t kMaxProfileNameBytes = 4 * 64 + 1;

// The stored port: missing, 0 or above 65535 gives kDefaultPort.
std::uint16_t PortFromSetting(std::optional<std::uint32_t> stored);

} // namespace sdk
