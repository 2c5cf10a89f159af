#include "platform/sockets.h"

#include "platform/clock.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

sockaddr_in makeAddress(uint32_t address, uint16_t port)
{
    sockaddr_in result {};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    result.sin_addr.s_addr = htonl(address);
    return result;
}

// poll takes a signed timeout: longer waits are held to the largest it takes.
int pollTimeout(uint32_t timeoutMs) { return int(timeoutMs > 0x7FFFFFFFu ? 0x7FFFFFFFu : timeoutMs); }

bool isWouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// Waits until `socket` is ready for `events` or the time runs out; false on timeout or error.
bool waitFor(int socket, short events, uint32_t timeoutMs)
{
    pollfd entry { socket, events, 0 };
    for (;;) {
        int ready = poll(&entry, 1, pollTimeout(timeoutMs));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0;
    }
}

IoResult fromSystemResult(ssize_t result, bool zeroMeansClosed)
{
    if (result > 0)
        return { IoStatus::Done, int32_t(result) };
    if (result == 0)
        return { zeroMeansClosed ? IoStatus::Closed : IoStatus::WouldBlock, 0 };
    if (isWouldBlock(errno))
        return { IoStatus::WouldBlock, 0 };
    return { IoStatus::Error, 0 };
}

} // namespace

SocketHandle tcpConnect(uint32_t address, uint16_t port, uint32_t timeoutMs)
{
    int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0)
        return kNoSocket;
    // Connect without blocking so that the wait can be bounded, then return
    // the socket to blocking mode as callers expect.
    if (!setSocketBlocking(handle, false)) {
        close(handle);
        return kNoSocket;
    }
    sockaddr_in target = makeAddress(address, port);
    int result = connect(handle, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    if (result < 0 && errno != EINPROGRESS && errno != EINTR) {
        close(handle);
        return kNoSocket;
    }
    if (result < 0) {
        int error = 0;
        socklen_t length = sizeof error;
        if (!waitFor(handle, POLLOUT, timeoutMs) || getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) < 0
            || error != 0) {
            close(handle);
            return kNoSocket;
        }
    }
    if (!setSocketBlocking(handle, true)) {
        close(handle);
        return kNoSocket;
    }
    return handle;
}

SocketHandle tcpConnectStart(uint32_t address, uint16_t port)
{
    int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (handle < 0)
        return kNoSocket;
    sockaddr_in target = makeAddress(address, port);
    int result = connect(handle, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    if (result < 0 && errno != EINPROGRESS && errno != EINTR) {
        close(handle);
        return kNoSocket;
    }
    return handle;
}

SocketHandle tcpListenLoopback(uint16_t port) { return tcpListenOn(INADDR_LOOPBACK, port); }

SocketHandle tcpListenOn(uint32_t address, uint16_t port)
{
    int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0)
        return kNoSocket;
    int one = 1;
    setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in local = makeAddress(address, port);
    if (bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) < 0 || listen(handle, 8) < 0) {
        close(handle);
        return kNoSocket;
    }
    return handle;
}

uint16_t socketLocalPort(SocketHandle socket)
{
    sockaddr_in local {};
    socklen_t length = sizeof local;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) < 0)
        return 0;
    return ntohs(local.sin_port);
}

SocketHandle tcpAccept(SocketHandle listener, uint32_t timeoutMs)
{
    if (!waitFor(listener, POLLIN, timeoutMs))
        return kNoSocket;
    for (;;) {
        int handle = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (handle < 0 && errno == EINTR)
            continue;
        return handle < 0 ? kNoSocket : handle;
    }
}

bool setSocketBlocking(SocketHandle socket, bool blocking)
{
    int flags = fcntl(socket, F_GETFL, 0);
    if (flags < 0)
        return false;
    flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return fcntl(socket, F_SETFL, flags) == 0;
}

void closeSocket(SocketHandle socket)
{
    if (socket >= 0)
        close(socket);
}

IoResult socketSend(SocketHandle socket, const uint8_t* data, size_t count)
{
    if (count == 0)
        return { IoStatus::Done, 0 };
    for (;;) {
        // MSG_NOSIGNAL: a peer that went away must give an error, not kill the process.
        ssize_t result = send(socket, data, count, MSG_NOSIGNAL);
        if (result < 0 && errno == EINTR)
            continue;
        return fromSystemResult(result, false);
    }
}

IoResult socketReceive(SocketHandle socket, uint8_t* data, size_t count)
{
    for (;;) {
        ssize_t result = recv(socket, data, count, 0);
        if (result < 0 && errno == EINTR)
            continue;
        return fromSystemResult(result, true);
    }
}

int32_t pollSockets(std::span<SocketPoll> sockets, uint32_t timeoutMs)
{
    std::vector<pollfd> entries(sockets.size());
    for (size_t i = 0; i < sockets.size(); ++i) {
        short events = POLLPRI;
        if (sockets[i].wantRead)
            events |= POLLIN;
        if (sockets[i].wantWrite)
            events |= POLLOUT;
        entries[i] = { sockets[i].socket, events, 0 };
    }
    // The wait goes through the clock, which decides how long it lasts.
    struct SocketWait final : InterruptibleWait {
        explicit SocketWait(std::vector<pollfd>& polled)
            : entries(polled)
        {
        }
        int32_t block(uint32_t realMs) override
        {
            int ready;
            do
                ready = poll(entries.data(), entries.size(), pollTimeout(realMs));
            while (ready < 0 && errno == EINTR);
            return ready;
        }
        std::vector<pollfd>& entries;
    };
    SocketWait wait(entries);
    const int32_t ready = clock().runWait(timeoutMs, wait);
    for (size_t i = 0; i < sockets.size(); ++i) {
        short got = ready > 0 ? entries[i].revents : 0;
        sockets[i].readable = (got & (POLLIN | POLLERR | POLLHUP | POLLNVAL)) != 0;
        sockets[i].writable = (got & POLLOUT) != 0;
        sockets[i].exception = (got & POLLPRI) != 0;
    }
    return ready < 0 ? -1 : ready;
}

SocketHandle udpOpen(uint16_t port)
{
    SocketHandle handle = udpOpenUnbound();
    if (handle != kNoSocket && !udpBind(handle, port)) {
        close(handle);
        return kNoSocket;
    }
    return handle;
}

SocketHandle udpOpenUnbound()
{
    int handle = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    return handle < 0 ? kNoSocket : handle;
}

bool udpBind(SocketHandle socket, uint16_t port)
{
    sockaddr_in local = makeAddress(INADDR_ANY, port);
    return bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

IoResult udpSendTo(SocketHandle socket, uint32_t address, uint16_t port, const uint8_t* data, size_t count)
{
    sockaddr_in target = makeAddress(address, port);
    for (;;) {
        ssize_t result
            = sendto(socket, data, count, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        if (result < 0 && errno == EINTR)
            continue;
        if (result == 0 && count == 0)
            return { IoStatus::Done, 0 };
        return fromSystemResult(result, false);
    }
}

IoResult udpReceiveFrom(SocketHandle socket, uint8_t* data, size_t count, uint32_t* fromAddress, uint16_t* fromPort)
{
    for (;;) {
        sockaddr_in sender {};
        socklen_t length = sizeof sender;
        ssize_t result = recvfrom(socket, data, count, 0, reinterpret_cast<sockaddr*>(&sender), &length);
        if (result < 0 && errno == EINTR)
            continue;
        if (result >= 0) {
            if (fromAddress)
                *fromAddress = ntohl(sender.sin_addr.s_addr);
            if (fromPort)
                *fromPort = ntohs(sender.sin_port);
            // An empty datagram is still a datagram.
            return { IoStatus::Done, int32_t(result) };
        }
        return fromSystemResult(result, false);
    }
}

std::vector<uint32_t> resolveHostAddresses(const char* name)
{
    std::vector<uint32_t> addresses;
    if (!name || !*name)
        return addresses;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return addresses;
    for (addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in))
            addresses.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr));
    }
    freeaddrinfo(found);
    return addresses;
}

bool resolveHostName(const char* name, uint32_t* address)
{
    std::vector<uint32_t> addresses = resolveHostAddresses(name);
    if (addresses.empty())
        return false;
    *address = addresses.front();
    return true;
}

uint32_t localIPv4Address()
{
    char name[256] {};
    if (gethostname(name, sizeof name - 1) != 0)
        return 0;
    uint32_t address = 0;
    return resolveHostName(name, &address) ? address : 0;
}

} // namespace platform
