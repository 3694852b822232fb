#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/NetworkSource.h"

#include <string>
#include <string_view>

// The interfaces of the IPv4 and IPv6 default routes, from /proc/net/route and
// /proc/net/ipv6_route; the lowest metric wins, the first listed on a tie.
class DefaultRouteReader final : public DefaultRouteSource {
public:
    explicit DefaultRouteReader(const std::string& root = "/");
    DefaultRoutes readDefaultRoutes() override;

private:
    KeptOpenFile ipv4File_;
    KeptOpenFile ipv6File_;
};

QString parseIPv4DefaultRoute(std::string_view routeText);
QString parseIPv6DefaultRoute(std::string_view ipv6RouteText);
