#include <winsock2.h>

#include "sdk/SdkServer_win32.h"

#include <cwchar>

#include "base/Language.h"
#include "base/MultiLangSupp_win32.h"
#include "base/SettingsStore_win32.h"
#include "framework/Unique.h"
#include "framework/Utf16.h"
#include "framework/Wnd.h"
#include "lighting/LightingPage_win32.h"
#include "base/TrayIcon_win32.h"
#include "base/Utf8.h"
#include "sdk/SdkController.h"

namespace {

constexpr int kReadChunk = 4096;
constexpr std::size_t kSendChunk = 64 * 1024;

// A socket closed when it goes.
struct SocketTraits {
    using Handle = SOCKET;
    static constexpr Handle Empty() { return INVALID_SOCKET; }
    static bool Valid(Handle socket) { return socket != INVALID_SOCKET; }
    static void Close(Handle socket) { closesocket(socket); }
};
using UniqueSocket = fw::Unique<SocketTraits>;

} // namespace

struct CSdkServer::Client {
    UniqueSocket socket;
    sdk::PacketAssembler assembler;
    std::vector<std::uint8_t> unsent;
    std::uint32_t version = 0;
};

struct CSdkServer::Listener {
    UniqueSocket socket;
};

CSdkServer::CSdkServer(CWnd& window, CLightingPage& lighting, ISettingsRegistry& settings)
    : m_window(window), m_lighting(lighting), m_settings(settings) {}

CSdkServer::~CSdkServer() {
    Stop();
}

void CSdkServer::StartIfAllowed() {
    std::optional<std::uint32_t> allowed = ReadStoredDword(m_settings, kSdkServerValue);
    if (allowed && *allowed != 0) {
        Start(StoredPort());
    }
}

std::uint16_t CSdkServer::StoredPort() const {
    return sdk::PortFromSetting(ReadStoredDword(m_settings, kSdkServerPortValue));
}

void CSdkServer::AddTrayItem(HMENU popup) const {
    InsertTrayCheckItem(popup, ID_TRAY_SDK_SERVER, Msg(kMsgSdkServerItem), Listening());
}

void CSdkServer::OnTrayItem() {
    const bool allow = !Listening();
    if (allow) {
        if (!Start(StoredPort())) {
            return;
        }
    } else {
        Stop();
    }
    m_settings.WriteDword(kSdkServerValue, allow ? 1u : 0u);
}

bool CSdkServer::Start(std::uint16_t port) {
    if (!m_winsockStarted) {
        WSADATA data{};
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            return false;
        }
        m_winsockStarted = true;
    }
    UniqueSocket listener(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    BOOL exclusive = TRUE;
    if (!listener ||
        setsockopt(listener.Get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                   sizeof exclusive) != 0 ||
        bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener.Get(), SOMAXCONN) != 0 ||
        WSAAsyncSelect(listener.Get(), m_window.m_hWnd, WM_SDK_SOCKET, FD_ACCEPT) != 0) {
        wchar_t text[256];
        std::swprintf(text, std::size(text), Msg(kMsgSdkPortTaken), static_cast<unsigned>(port));
        ShowTrayBalloon(m_window.m_hWnd, text);
        return false;
    }
    m_listener = std::make_unique<Listener>();
    m_listener->socket = std::move(listener);
    return true;
}

void CSdkServer::Stop() {
    m_listener.reset();
    for (auto& client : m_clients) {
        client.reset();
    }
    if (m_winsockStarted) {
        WSACleanup();
        m_winsockStarted = false;
    }
}

CSdkServer::Client* CSdkServer::Find(UINT_PTR socket) {
    for (auto& client : m_clients) {
        if (client && client->socket.Get() == socket) {
            return client.get();
        }
    }
    return nullptr;
}

void CSdkServer::Close(UINT_PTR socket) {
    for (auto& client : m_clients) {
        if (client && client->socket.Get() == socket) {
            client.reset();
        }
    }
}

void CSdkServer::OnSocket(UINT_PTR socket, WORD event, WORD error) {
    if (m_listener && socket == m_listener->socket.Get()) {
        if (event == FD_ACCEPT) {
            Accept();
        }
        return;
    }
    Client* client = Find(socket);
    if (!client) {
        return; // an event still queued for a socket already closed
    }
    if (error != 0 || event == FD_CLOSE) {
        Close(socket);
    } else if (event == FD_READ) {
        Read(*client);
    } else if (event == FD_WRITE && !Flush(*client)) {
        Close(socket);
    }
}

void CSdkServer::Accept() {
    UniqueSocket accepted(accept(m_listener->socket.Get(), nullptr, nullptr));
    if (!accepted) {
        return;
    }
    for (auto& slot : m_clients) {
        if (!slot) {
            if (WSAAsyncSelect(accepted.Get(), m_window.m_hWnd, WM_SDK_SOCKET, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
                return;
            }
            slot = std::make_unique<Client>();
            slot->socket = std::move(accepted);
            return;
        }
    }
    // A ninth client is closed at once, as `accepted` goes.
}

void CSdkServer::Read(Client& client) {
    std::array<std::uint8_t, kReadChunk> bytes{};
    const int got = recv(client.socket.Get(), reinterpret_cast<char*>(bytes.data()), kReadChunk, 0);
    if (got == 0 || (got < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) {
        Close(client.socket.Get());
        return;
    }
    if (got < 0) {
        return;
    }
    const SOCKET socket = client.socket.Get();
    client.assembler.Feed(std::span(bytes.data(), static_cast<std::size_t>(got)));
    sdk::Packet packet;
    sdk::PacketAssembler::Status status;
    while ((status = client.assembler.Next(packet)) == sdk::PacketAssembler::Status::Ready) {
        if (!Handle(client, packet)) {
            Close(socket);
            return;
        }
    }
    if (status == sdk::PacketAssembler::Status::Refused || !Flush(client)) {
        Close(socket);
    }
}

bool CSdkServer::Handle(Client& client, const sdk::Packet& packet) {
    const SmbusFlags flags = m_lighting.Flags();
    // Without the library the controller is described (saying why nothing lights up) and nothing is carried out.
    const bool drive = m_lighting.Started();
    sdk::Decoded decoded = sdk::DecodeRequest(packet, client.version, sdk::ModeCount(flags));
    if (!decoded.request) {
        return false;
    }
    const sdk::Request& request = *decoded.request;
    switch (request.kind) {
    case sdk::RequestKind::ControllerCount:
        return Send(client, request.header, sdk::CountPayload());
    case sdk::RequestKind::ControllerData:
        return Send(client, request.header,
                    sdk::SerializeController(
                        sdk::DescribeController(sdk::SnapshotOf(m_lighting.State(), flags, m_lighting.Started())),
                        request.version));
    case sdk::RequestKind::ProtocolVersion:
        client.version = sdk::NegotiatedVersion(request.version);
        return Send(client, request.header, sdk::VersionPayload());
    case sdk::RequestKind::ProfileList:
        return Send(client, request.header, sdk::ProfileListPayload(ProfileNames()));
    case sdk::RequestKind::PluginList:
        return Send(client, request.header, sdk::EmptyListPayload());
    case sdk::RequestKind::SaveProfile:
    case sdk::RequestKind::LoadProfile:
    case sdk::RequestKind::DeleteProfile:
        if (drive) {
            DoProfile(request);
        }
        return true;
    case sdk::RequestKind::UpdateLeds:
        if (drive && flags.useRgbI2cMode) {
            QueueFrame(request);
        }
        return true;
    case sdk::RequestKind::SetCustomMode:
        if (drive && flags.useRgbI2cMode) {
            m_lighting.EnterDirect();
        }
        return true;
    case sdk::RequestKind::UpdateMode:
        if (drive) {
            ApplyMode(sdk::TargetOf(flags, request.mode, m_lighting.State().Shown.SpeedIndex));
        }
        return true;
    case sdk::RequestKind::Accepted:
        return true;
    }
    return true;
}

std::vector<std::string> CSdkServer::ProfileNames() const {
    std::vector<std::string> names;
    for (const Profile& profile : m_lighting.Profiles().List()) {
        names.push_back(ToUtf8(profile.name));
    }
    return names;
}

// A save keeps the lighting the window last applied (a client's Direct frames are not a profile); a load does
// what the profile's buttons would.
void CSdkServer::DoProfile(const sdk::Request& request) {
    ProfileBook& profiles = m_lighting.Profiles();
    LightingChoice lighting;
    switch (request.kind) {
    case sdk::RequestKind::SaveProfile:
        profiles.Save(request.name, m_lighting.AppliedLighting());
        break;
    case sdk::RequestKind::LoadProfile:
        if (profiles.Load(request.name, lighting) == ProfileResult::Done) {
            m_lighting.LoadLighting(lighting);
        }
        break;
    case sdk::RequestKind::DeleteProfile:
        profiles.Delete(request.name);
        break;
    default:
        break;
    }
}

// A client's LED colours, as the next Direct frame.
void CSdkServer::QueueFrame(const sdk::Request& request) {
    std::array<LedColour, kLedCount> leds{};
    for (std::size_t k = 0; k < leds.size(); ++k) {
        leds[k] = {request.leds[k].red, request.leds[k].green, request.leds[k].blue};
    }
    m_lighting.QueueDirectFrame(leds, request.firstLed, request.ledCount);
}

// A client's mode, done as the buttons would do it.
void CSdkServer::ApplyMode(const sdk::ModeTarget& target) {
    switch (target.kind) {
    case sdk::ModeTarget::Kind::Direct:
        m_lighting.EnterDirect();
        break;
    case sdk::ModeTarget::Kind::Off:
        m_lighting.SwitchOffByToggle();
        break;
    case sdk::ModeTarget::Kind::Mode:
        m_lighting.ChooseAndApply(target.mode, target.speedIndex, target.colour);
        break;
    }
}

bool CSdkServer::Send(Client& client, const sdk::Header& request, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> reply = sdk::ReplyPacket(request, payload);
    if (client.unsent.size() + reply.size() > sdk::kMaxUnsentBytes) {
        return false;
    }
    client.unsent.insert(client.unsent.end(), reply.begin(), reply.end());
    return true;
}

bool CSdkServer::Flush(Client& client) {
    std::size_t sent = 0;
    while (sent < client.unsent.size()) {
        const int chunk = static_cast<int>(std::min(client.unsent.size() - sent, kSendChunk));
        const int got = send(client.socket.Get(), reinterpret_cast<const char*>(client.unsent.data() + sent), chunk, 0);
        if (got < 0) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) {
                return false;
            }
            break; // FD_WRITE comes when there is room again
        }
        sent += static_cast<std::size_t>(got);
    }
    client.unsent.erase(client.unsent.begin(), client.unsent.begin() + static_cast<std::ptrdiff_t>(sent));
    return true;
}
