#include "LocalNetwork.h"

#include <QNetworkInterface>

#include <array>
#include <utility>

namespace pulsavo::classroom::localNetwork {

bool isLocal(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    const QHostAddress plain = isV4 ? QHostAddress(v4) : address;
    if (plain.isLoopback() || plain.isLinkLocal() || plain.isUniqueLocalUnicast()) {
        return true;
    }
    static const std::array<std::pair<QHostAddress, int>, 3> privateRanges{{
        {QHostAddress(QStringLiteral("10.0.0.0")), 8},
        {QHostAddress(QStringLiteral("172.16.0.0")), 12},
        {QHostAddress(QStringLiteral("192.168.0.0")), 16},
    }};
    for (const auto& [network, prefix] : privateRanges) {
        if (plain.isInSubnet(network, prefix)) {
            return true;
        }
    }
    return false;
}

QHostAddress lanAddress() {
    QHostAddress v6;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            const QHostAddress ip = entry.ip();
            if (!isLocal(ip) || ip.isLoopback()) {
                continue;
            }
            if (ip.protocol() == QAbstractSocket::IPv4Protocol) {
                return ip;
            }
            if (v6.isNull() && !ip.isLinkLocal()) {
                v6 = ip;
            }
        }
    }
    return v6.isNull() ? QHostAddress(QHostAddress::LocalHost) : v6;
}

} // namespace pulsavo::classroom::localNetwork
