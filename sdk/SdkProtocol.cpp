#include "sdk/SdkProtocol.h"

#include <algorithm>

#include "base/LittleEndian.h"
#include "base/Utf8.h"
#include "lighting/Profiles.h"

namespace sdk {

namespace {

// Reads little-endian values off a payload; any read past the end marks the reader failed.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint32_t U32() {
        if (!Has(4)) {
            return 0;
        }
        std::uint32_t value = LoadLe32(m_bytes.data() + m_at);
        m_at += 4;
        return value;
    }
    std::uint16_t U16() {
        if (!Has(2)) {
            return 0;
        }
        const std::uint16_t value = LoadLe16(m_bytes.data() + m_at);
        m_at += 2;
        return value;
    }
    Rgb Colour() {
        if (!Has(4)) {
            return {};
        }
        Rgb colour{m_bytes[m_at], m_bytes[m_at + 1], m_bytes[m_at + 2]};
        m_at += 4;
        return colour;
    }
    void Skip(std::size_t count) {
        if (Has(count)) {
            m_at += count;
        }
    }
    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_ok && m_at == m_bytes.size(); }
    std::size_t Remaining() const { return m_bytes.size() - m_at; }

private:
    bool Has(std::size_t count) {
        if (!m_ok || m_bytes.size() - m_at < count) {
            m_ok = false;
            return false;
        }
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

Decoded Refuse(std::string_view reason) {
    return {std::nullopt, reason};
}

Decoded Accept(Request request) {
    return {request, {}};
}

// A data_size field counts itself; older clients left its own 4 bytes out.
bool DataSizeFits(std::uint32_t dataSize, std::size_t payloadSize) {
    return dataSize == payloadSize || std::size_t{dataSize} + 4 == payloadSize;
}

bool ForTheController(const Header& header) {
    return header.deviceIndex < kControllerCount;
}

Decoded DecodeLeds(Request request, std::span<const std::uint8_t> payload, bool zone) {
    Reader reader(payload);
    if (!DataSizeFits(reader.U32(), payload.size())) {
        return Refuse("data_size differs from the payload");
    }
    if (zone && reader.U32() != 0) {
        return Refuse("zone out of range");
    }
    std::uint16_t count = reader.U16();
    if (!reader.Ok() || count > kZoneLedCount) {
        return Refuse("LED count out of range");
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        request.leds[i] = reader.Colour();
    }
    if (!reader.AtEnd()) {
        return Refuse("LED list does not fill the payload");
    }
    request.kind = RequestKind::UpdateLeds;
    request.firstLed = 0;
    request.ledCount = count;
    return Accept(request);
}

Decoded DecodeSingleLed(Request request, std::span<const std::uint8_t> payload) {
    Reader reader(payload);
    std::uint32_t led = reader.U32();
    Rgb colour = reader.Colour();
    if (!reader.AtEnd()) {
        return Refuse("single LED payload size");
    }
    if (led >= kZoneLedCount) {
        return Refuse("LED index out of range");
    }
    request.kind = RequestKind::UpdateLeds;
    request.firstLed = static_cast<std::uint16_t>(led);
    request.ledCount = 1;
    request.leds[led] = colour;
    return Accept(request);
}

Decoded DecodeMode(Request request, std::span<const std::uint8_t> payload, std::uint32_t version,
                   std::uint32_t modeCount) {
    Reader reader(payload);
    if (!DataSizeFits(reader.U32(), payload.size())) {
        return Refuse("data_size differs from the payload");
    }
    std::uint32_t index = reader.U32();
    reader.Skip(reader.U16()); // the name: the index says which mode
    // value, flags, speed min and max, [brightness min and max], colours min and max, speed, [brightness],
    // direction, colour mode.
    const bool brightness = version >= 3;
    reader.Skip(4 * (brightness ? 8 : 6));
    std::uint32_t speed = reader.U32();
    reader.Skip(4 * (brightness ? 3 : 2));
    std::uint16_t colourCount = reader.U16();
    if (!reader.Ok() || colourCount > kMaxModeColours || reader.Remaining() != 4u * colourCount) {
        return Refuse("mode block does not fill the payload");
    }
    if (index >= modeCount) {
        return Refuse("mode index out of range");
    }
    request.kind = RequestKind::UpdateMode;
    request.mode.index = index;
    request.mode.speed = speed;
    if (colourCount > 0) {
        request.mode.colour = reader.Colour();
    }
    return Accept(request);
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}
void PutI32(std::vector<std::uint8_t>& out, std::int32_t value) {
    PutU32(out, static_cast<std::uint32_t>(value));
}
void PutString(std::vector<std::uint8_t>& out, std::string_view text) {
    PutU16(out, static_cast<std::uint16_t>(text.size() + 1));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}
void PutColour(std::vector<std::uint8_t>& out, Rgb colour) {
    out.insert(out.end(), {colour.red, colour.green, colour.blue, 0});
}

void PutMode(std::vector<std::uint8_t>& out, const ModeDescription& mode, std::uint32_t version) {
    PutString(out, mode.name);
    PutI32(out, mode.value);
    PutU32(out, mode.flags);
    PutU32(out, mode.speedMin);
    PutU32(out, mode.speedMax);
    if (version >= 3) {
        PutU32(out, 0); // brightness min
        PutU32(out, 0); // brightness max
    }
    PutU32(out, mode.coloursMin);
    PutU32(out, mode.coloursMax);
    PutU32(out, mode.speed);
    if (version >= 3) {
        PutU32(out, 0); // brightness
    }
    PutU32(out, 0); // direction
    PutU32(out, mode.colourMode);
    PutU16(out, static_cast<std::uint16_t>(mode.colours.size()));
    for (Rgb colour : mode.colours) {
        PutColour(out, colour);
    }
}

void PutZone(std::vector<std::uint8_t>& out, const ControllerDescription& controller, std::uint32_t version) {
    PutString(out, controller.zoneName);
    PutI32(out, kZoneTypeLinear);
    PutU32(out, kZoneLedCount); // min
    PutU32(out, kZoneLedCount); // max
    PutU32(out, kZoneLedCount); // count
    PutU16(out, 0);             // no matrix
    if (version >= 4) {
        PutU16(out, 0); // no segments
    }
    if (version >= 5) {
        PutU32(out, 0); // zone flags
    }
}

} // namespace

void PacketAssembler::Feed(std::span<const std::uint8_t> bytes) {
    if (m_refused) {
        return;
    }
    if (m_start > 0) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
}

PacketAssembler::Status PacketAssembler::Next(Packet& packet) {
    if (m_refused) {
        return Status::Refused;
    }
    if (Buffered() < kHeaderSize) {
        return Status::NeedMore;
    }
    const std::uint8_t* head = m_buffer.data() + m_start;
    Header header{LoadLe32(head + 4), LoadLe32(head + 8), LoadLe32(head + 12)};
    if (!std::equal(kMagic.begin(), kMagic.end(), head) || header.payloadSize > kMaxPayload) {
        m_refused = true;
        m_buffer.clear();
        m_start = 0;
        return Status::Refused;
    }
    if (Buffered() - kHeaderSize < header.payloadSize) {
        return Status::NeedMore;
    }
    packet.header = header;
    packet.payload.assign(head + kHeaderSize, head + kHeaderSize + header.payloadSize);
    m_start += kHeaderSize + header.payloadSize;
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    return Status::Ready;
}

namespace {

// The requests that act on the controller, and so name it by its device index.
bool ActsOnTheController(std::uint32_t packetId) {
    switch (packetId) {
    case kUpdateLeds:
    case kUpdateZoneLeds:
    case kUpdateSingleLed:
    case kSetCustomMode:
    case kUpdateMode:
    case kSaveMode:
    case kResizeZone:
    case kClearSegments:
    case kAddSegment:
        return true;
    default:
        return false;
    }
}

// A save, load or delete of a profile: a NUL-terminated name in UTF-8 that keeps the name rules. A client of a
// version before profiles has none of them, and the packet changes nothing.
Decoded DecodeProfileName(Request request, std::span<const std::uint8_t> payload, std::uint32_t version) {
    if (version < kProfilesVersion) {
        request.kind = RequestKind::Accepted;
        return Accept(request);
    }
    if (payload.empty() || payload.size() > kMaxProfileNameBytes || payload.back() != 0) {
        return Refuse("profile name not terminated or too long");
    }
    const std::optional<std::u16string> name =
        FromUtf8({reinterpret_cast<const char*>(payload.data()), payload.size() - 1});
    if (!name || CheckProfileName(*name) != ProfileNameProblem::None) {
        return Refuse("profile name is not a valid name");
    }
    request.name = *name;
    request.kind = request.header.packetId == kSaveProfile   ? RequestKind::SaveProfile
                   : request.header.packetId == kLoadProfile ? RequestKind::LoadProfile
                                                             : RequestKind::DeleteProfile;
    return Accept(request);
}

// The questions (count, controller data, version, lists) and every packet that is accepted and changes nothing.
Decoded DecodeQuery(Request request, std::span<const std::uint8_t> payload, std::uint32_t version) {
    switch (request.header.packetId) {
    case kRequestControllerCount:
        request.kind = RequestKind::ControllerCount;
        return Accept(request);
    case kRequestControllerData:
        if (!ForTheController(request.header)) {
            return Refuse("device index out of range");
        }
        if (payload.empty()) {
            request.version = 0;
        } else if (payload.size() == 4) {
            request.version = NegotiatedVersion(LoadLe32(payload.data()));
        } else {
            return Refuse("controller data request size");
        }
        request.kind = RequestKind::ControllerData;
        return Accept(request);
    case kRequestProtocolVersion:
        request.version = payload.size() >= 4 ? LoadLe32(payload.data()) : 0;
        request.kind = RequestKind::ProtocolVersion;
        return Accept(request);
    case kRequestProfileList:
        request.kind = RequestKind::ProfileList;
        return Accept(request);
    case kSaveProfile:
    case kLoadProfile:
    case kDeleteProfile:
        return DecodeProfileName(request, payload, version);
    case kRequestPluginList:
        request.kind = RequestKind::PluginList;
        return Accept(request);
    default:
        request.kind = RequestKind::Accepted;
        return Accept(request);
    }
}

Decoded DecodeCommand(Request request, std::span<const std::uint8_t> payload, std::uint32_t version,
                      std::uint32_t modeCount) {
    switch (request.header.packetId) {
    case kUpdateLeds:
        return DecodeLeds(request, payload, false);
    case kUpdateZoneLeds:
        return DecodeLeds(request, payload, true);
    case kUpdateSingleLed:
        return DecodeSingleLed(request, payload);
    case kSetCustomMode:
        request.kind = RequestKind::SetCustomMode;
        return Accept(request);
    case kUpdateMode:
    case kSaveMode:
        return DecodeMode(request, payload, version, modeCount);
    default: // resizing a zone and editing segments: accepted, nothing changes
        request.kind = RequestKind::Accepted;
        return Accept(request);
    }
}

} // namespace

Decoded DecodeRequest(const Packet& packet, std::uint32_t version, std::uint32_t modeCount) {
    Request request;
    request.header = packet.header;
    if (!ActsOnTheController(packet.header.packetId)) {
        return DecodeQuery(request, packet.payload, version);
    }
    if (!ForTheController(packet.header)) {
        return Refuse("device index out of range");
    }
    return DecodeCommand(request, packet.payload, version, modeCount);
}

std::vector<std::uint8_t> SerializeController(const ControllerDescription& controller, std::uint32_t version) {
    std::vector<std::uint8_t> out;
    PutU32(out, 0); // data_size, filled in below
    PutI32(out, controller.type);
    PutString(out, controller.name);
    if (version >= 1) {
        PutString(out, controller.vendor);
    }
    PutString(out, controller.description);
    PutString(out, controller.version);
    PutString(out, controller.serial);
    PutString(out, controller.location);
    PutU16(out, static_cast<std::uint16_t>(controller.modes.size()));
    PutI32(out, controller.activeMode);
    for (const ModeDescription& mode : controller.modes) {
        PutMode(out, mode, version);
    }
    PutU16(out, 1);
    PutZone(out, controller, version);
    PutU16(out, kZoneLedCount);
    for (std::uint32_t k = 0; k < kZoneLedCount; ++k) {
        PutString(out, "LED " + std::to_string(k));
        PutU32(out, k);
    }
    PutU16(out, kZoneLedCount);
    for (Rgb colour : controller.leds) {
        PutColour(out, colour);
    }
    if (version >= 5) {
        PutU16(out, 0); // no alternate LED names
        PutU32(out, 0); // controller flags
    }
    StoreLe32(out.data(), static_cast<std::uint32_t>(out.size()));
    return out;
}

std::vector<std::uint8_t> ReplyPacket(const Header& request, std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    PutU32(out, request.deviceIndex);
    PutU32(out, request.packetId);
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<std::uint8_t> CountPayload() {
    std::vector<std::uint8_t> out;
    PutU32(out, kControllerCount);
    return out;
}

std::vector<std::uint8_t> VersionPayload() {
    std::vector<std::uint8_t> out;
    PutU32(out, kServerVersion);
    return out;
}

std::vector<std::uint8_t> EmptyListPayload() {
    std::vector<std::uint8_t> out;
    PutU32(out, 6); // data_size: itself and the count
    PutU16(out, 0);
    return out;
}

std::vector<std::uint8_t> ProfileListPayload(const std::vector<std::string>& names) {
    std::vector<std::uint8_t> out;
    PutU32(out, 0); // data_size, filled in below
    PutU16(out, static_cast<std::uint16_t>(names.size()));
    for (const std::string& name : names) {
        PutString(out, name);
    }
    StoreLe32(out.data(), static_cast<std::uint32_t>(out.size()));
    return out;
}

std::uint16_t PortFromSetting(std::optional<std::uint32_t> stored) {
    if (!stored || *stored == 0 || *stored > 0xFFFFu) {
        return kDefaultPort;
    }
    return static_cast<std::uint16_t>(*stored);
}

} // namespace sdk
