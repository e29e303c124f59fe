// Whether a server accepts connections: a TCP connect that is closed again at once.
#pragma once

#include <QString>
#include <cstdint>

// True when host:port accepts a connection within the time-out. Host is a dotted IPv4 address.
bool acceptsConnections(const QString &host, std::uint16_t port, int timeoutMs = 500);
