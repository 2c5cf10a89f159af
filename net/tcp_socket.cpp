#include "net/tcp_socket.h"

TcpSocket::~TcpSocket()
{
    if (isOpen())
        platform::closeSocket(m_handle);
    m_handle = platform::kNoSocket;
}

void TcpSocket::close()
{
    if (isOpen())
        platform::closeSocket(m_handle);
    m_handle = platform::kNoSocket;
    markClosed();
}
