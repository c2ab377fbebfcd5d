#pragma once

#include <QHostAddress>

namespace pulsavo::classroom {

// The room's network: what a class session listens on and whom it lets in.
namespace localNetwork {

// Loopback, the private IPv4 ranges, link-local and unique-local IPv6: a peer in the room,
// never one reached across the internet.
bool isLocal(const QHostAddress& address);

// The first up, non-loopback interface's local IPv4 address (IPv6 when it has none); loopback
// when the machine is on no local network.
QHostAddress lanAddress();

} // namespace localNetwork
} // namespace pulsavo::classroom
