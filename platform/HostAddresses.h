// This host's own IPv4 addresses.
#pragma once

#include <QStringList>

// Dotted texts of the IPv4 addresses of every interface that is up, in the system's order, without
// repeats.
QStringList hostIPv4Addresses();
