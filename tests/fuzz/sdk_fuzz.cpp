// Fuzzes the SDK server's protocol side as a connection sees it: the bytes arrive in reads of a size taken from
// the input, every whole packet is decoded at the connection's version and answered as the server would. The
// buffered bytes must stay within one packet and one read, and a refused request must give a reason.
//
// Input layout: byte 0 the read size (1-256), byte 1 the command sets present; the rest is the stream.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "sdk/SdkController.h"
#include "sdk/SdkProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::size_t chunk = std::size_t{data[0]} + 1;
    sdk::LightingSnapshot lighting;
    lighting.flags = {(data[1] & 1) != 0, (data[1] & 2) != 0};
    lighting.mode = data[1] >> 4;
    const std::uint32_t modeCount = sdk::ModeCount(lighting.flags);
    std::span<const std::uint8_t> stream(data + 2, size - 2);

    sdk::PacketAssembler assembler;
    std::uint32_t version = 0;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        assembler.Feed(stream.subspan(at, std::min(chunk, stream.size() - at)));
        if (assembler.Buffered() > sdk::kHeaderSize + sdk::kMaxPayload + chunk) {
            std::abort();
        }
        sdk::Packet packet;
        sdk::PacketAssembler::Status status;
        while ((status = assembler.Next(packet)) == sdk::PacketAssembler::Status::Ready) {
            sdk::Decoded decoded = sdk::DecodeRequest(packet, version, modeCount);
            if (!decoded.request) {
                if (decoded.refusal.empty()) {
                    std::abort();
                }
                return 0;
            }
            const sdk::Request& request = *decoded.request;
            switch (request.kind) {
            case sdk::RequestKind::ProtocolVersion:
                version = sdk::NegotiatedVersion(request.version);
                break;
            case sdk::RequestKind::ControllerData: {
                auto block = sdk::SerializeController(sdk::DescribeController(lighting), request.version);
                auto reply = sdk::ReplyPacket(request.header, block);
                if (request.version > sdk::kServerVersion || reply.size() != block.size() + sdk::kHeaderSize) {
                    std::abort();
                }
                break;
            }
            case sdk::RequestKind::UpdateLeds:
                if (request.firstLed + request.ledCount > sdk::kZoneLedCount) {
                    std::abort();
                }
                break;
            case sdk::RequestKind::UpdateMode: {
                if (request.mode.index >= modeCount) {
                    std::abort();
                }
                sdk::ModeTarget target = sdk::TargetOf(lighting.flags, request.mode, 0);
                if (target.kind == sdk::ModeTarget::Kind::Mode &&
                    (target.mode < 1 || target.mode > kModeCount || target.speedIndex < 0 ||
                     target.speedIndex >= kSpeedStepCount)) {
                    std::abort();
                }
                break;
            }
            default:
                break;
            }
        }
        if (status == sdk::PacketAssembler::Status::Refused) {
            return 0;
        }
    }
    return 0;
}
