#pragma once
// The base of every TCP connection of the client: an owned socket handle
// (kNoSocket when closed) and, in MeteredSocket, the traffic statistics of
// both directions. Main thread only; no locks.

#include "net/traffic_meters.h"
#include "platform/sockets.h"

#include <cstdint>

class TcpSocket {
public:
    TcpSocket() = default;
    virtual ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Called at the end of close(); derived classes reset their state here.
    virtual void markClosed() { m_handle = platform::kNoSocket; }
    virtual void close();

    bool isOpen() const { return m_handle != platform::kNoSocket; }
    platform::SocketHandle handle() const { return m_handle; }
    bool setNonBlocking() { return isOpen() && platform::setSocketBlocking(m_handle, false); }
    bool setBlocking() { return isOpen() && platform::setSocketBlocking(m_handle, true); }

protected:
    platform::SocketHandle m_handle { platform::kNoSocket };
};

class MeteredSocket : public TcpSocket {
public:
    void countReceived(uint32_t bytes) { m_receiveMeter.add(bytes); }
    void countSent(uint32_t bytes) { m_sendMeter.add(bytes); }

    const ThroughputMeter& receiveMeter() const { return m_receiveMeter; }
    const ThroughputMeter& sendMeter() const { return m_sendMeter; }
    const PacketIdStats& receiveIdStats() const { return m_receiveIdStats; }
    const PacketIdStats& sendIdStats() const { return m_sendIdStats; }
    const PacketSizeStats& receiveSizeStats() const { return m_receiveSizeStats; }
    const PacketSizeStats& sendSizeStats() const { return m_sendSizeStats; }

protected:
    ThroughputMeter m_receiveMeter;
    ThroughputMeter m_sendMeter;
    PacketIdStats m_receiveIdStats;
    PacketIdStats m_sendIdStats;
    PacketSizeStats m_receiveSizeStats;
    PacketSizeStats m_sendSizeStats;
};
