#pragma once
// TCP and UDP sockets for the network subsystem. A TCP connection is made with
// a blocking connect that waits at most a given time, then switched to
// non-blocking I/O; sends never raise SIGPIPE. Addresses are IPv4 in host byte
// order, ports in host order. Every call is made on the main thread, except
// the UDP calls, which the round-trip monitor's thread may make on its own
// socket.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

using SocketHandle = int32_t;
constexpr SocketHandle kNoSocket = -1;

enum class IoStatus {
    Done, // `count` bytes were moved (at least one)
    WouldBlock, // nothing can move now; try again when the socket is ready
    Closed, // the peer closed its side (receive only)
    Error, // the connection is unusable
};

struct IoResult {
    IoStatus status { IoStatus::Error };
    int32_t count { 0 };
};

// Opens a TCP socket and connects it to `address`:`port`, waiting at most
// `timeoutMs`. The socket is left in blocking mode. kNoSocket on failure.
SocketHandle tcpConnect(uint32_t address, uint16_t port, uint32_t timeoutMs);
// Opens a non-blocking TCP socket and starts connecting it without waiting:
// the socket turns writable once connected, and a connection that fails
// reports readable, its next receive giving the error. kNoSocket when the
// attempt could not even start.
SocketHandle tcpConnectStart(uint32_t address, uint16_t port);

// Opens a TCP socket listening on the loopback address; port 0 picks a free
// port. Used by local peers (test servers and tools). kNoSocket on failure.
SocketHandle tcpListenLoopback(uint16_t port);
// The same on any local address (another loopback address such as 127.0.0.2,
// or 0 for every address).
SocketHandle tcpListenOn(uint32_t address, uint16_t port);
// The port a socket is bound to, 0 on failure.
uint16_t socketLocalPort(SocketHandle socket);
// Accepts one connection, waiting at most `timeoutMs`. kNoSocket on failure.
SocketHandle tcpAccept(SocketHandle listener, uint32_t timeoutMs);

bool setSocketBlocking(SocketHandle socket, bool blocking);
void closeSocket(SocketHandle socket);

// One send or receive call; interrupted calls are repeated.
IoResult socketSend(SocketHandle socket, const uint8_t* data, size_t count);
IoResult socketReceive(SocketHandle socket, uint8_t* data, size_t count);

// Readiness of many sockets in one call. A socket that failed or whose peer
// hung up reports readable, so that the following receive sees the condition.
struct SocketPoll {
    SocketHandle socket { kNoSocket };
    bool wantRead { false };
    bool wantWrite { false };
    bool readable { false };
    bool writable { false };
    bool exception { false }; // urgent data
};
// Fills the result flags; returns the number of ready sockets, 0 on timeout,
// -1 on error.
int32_t pollSockets(std::span<SocketPoll> sockets, uint32_t timeoutMs);

// A non-blocking UDP socket bound to `port` on every local address (0: any port).
SocketHandle udpOpen(uint16_t port);
// A non-blocking UDP socket not bound yet (the first send binds it to a free
// port), and the bind that may follow; a failed bind leaves the socket usable.
SocketHandle udpOpenUnbound();
bool udpBind(SocketHandle socket, uint16_t port);
IoResult udpSendTo(SocketHandle socket, uint32_t address, uint16_t port, const uint8_t* data, size_t count);
// `fromAddress` and `fromPort` receive the sender when the result is Done.
IoResult udpReceiveFrom(SocketHandle socket, uint8_t* data, size_t count, uint32_t* fromAddress, uint16_t* fromPort);

// Resolves a host name or dotted address to its first IPv4 address; false on failure.
bool resolveHostName(const char* name, uint32_t* address);
// Every IPv4 address of a host name, in the resolver's order; empty on failure.
std::vector<uint32_t> resolveHostAddresses(const char* name);
// The first IPv4 address of this host's own name, 0 when the lookup fails.
uint32_t localIPv4Address();

} // namespace platform
