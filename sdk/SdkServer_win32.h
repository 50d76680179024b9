// The SDK server: lighting clients on this PC (and only this PC) see the modules as one controller and drive them
// through the lighting page, as the buttons would. Off until the user allows it from the tray; the choice and the
// port are kept in the settings key. Non-blocking sockets whose events arrive as WM_SDK_SOCKET on the window's
// thread, so a request never overlaps a button, the lighting timer or another request.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "framework/MessageMap.h"
#include "res/resource.h"
#include "sdk/SdkController.h"
#include "sdk/SdkProtocol.h"

class CLightingPage;
class CWnd;

// A socket event: the socket, the event (FD_ACCEPT, FD_READ, ...) and its error code.
template <> struct MessageParams<WM_SDK_SOCKET> {
    static auto Of(WPARAM wParam, LPARAM lParam) {
        return std::tuple(static_cast<UINT_PTR>(wParam), WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
    }
};

class CSdkServer : public CMessageMap {
public:
    // Clients drive lighting; the choice to listen and the port are kept in settings.
    CSdkServer(CWnd& window, CLightingPage& lighting, ISettingsRegistry& settings);
    ~CSdkServer() override;

    BEGIN_MSG_MAP(CSdkServer)
    MESSAGE_CRACKED(WM_SDK_SOCKET, OnSocket)
    COMMAND_ID_CALL(ID_TRAY_SDK_SERVER, OnTrayItem)
    END_MSG_MAP()

    // At start: listens when the settings say the user allowed it.
    void StartIfAllowed();
    // Puts the tray item, checked while the server listens, into the tray menu's pop-up.
    void AddTrayItem(HMENU popup) const;
    bool Listening() const { return m_listener != nullptr; }

private:
    // A connection: its socket, its bytes not yet a packet, its replies not yet sent and its version.
    struct Client;
    // The listening socket.
    struct Listener;

    // The tray item turns the server on or off, now and for the next starts.
    void OnTrayItem();
    // A socket event: a client to accept, bytes to read, room to write, or a client gone.
    void OnSocket(UINT_PTR socket, WORD event, WORD error);

    // Listens on the loopback address; false (and one balloon naming the port) when the port is taken.
    bool Start(std::uint16_t port);
    void Stop();
    void Accept();
    void Read(Client& client);
    // Handles one packet; false when the connection must close.
    bool Handle(Client& client, const sdk::Packet& packet);
    void QueueFrame(const sdk::Request& request);
    // The stored profiles' names, and a client's save, load or delete of one.
    std::vector<std::string> ProfileNames() const;
    void DoProfile(const sdk::Request& request);
    void ApplyMode(const sdk::ModeTarget& target);
    // Queues a reply; false when the client's unsent replies would pass the limit.
    bool Send(Client& client, const sdk::Header& request, const std::vector<std::uint8_t>& payload);
    bool Flush(Client& client);
    void Close(UINT_PTR socket);
    Client* Find(UINT_PTR socket);
    std::uint16_t StoredPort() const;

    CWnd& m_window;
    CLightingPage& m_lighting;
    ISettingsRegistry& m_settings;
    bool m_winsockStarted = false;
    std::unique_ptr<Listener> m_listener;
    std::array<std::unique_ptr<Client>, sdk::kMaxClients> m_clients;
};
