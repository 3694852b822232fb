#include "platform/linux/net/WifiSsidReader.h"

#include <linux/nl80211.h>
#include <net/if.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/netlink.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int maximumSsidLength = 32;

struct Exchange {
    QByteArray ssid;
    bool done = false;
    bool failed = false;
};

int onValid(nl_msg* message, void* argument) {
    auto* exchange = static_cast<Exchange*>(argument);
    nlattr* attributes[NL80211_ATTR_MAX + 1] = {};
    if (genlmsg_parse(nlmsg_hdr(message), 0, attributes, NL80211_ATTR_MAX, nullptr) == 0 &&
        attributes[NL80211_ATTR_SSID] != nullptr) {
        const int length = std::min(nla_len(attributes[NL80211_ATTR_SSID]), maximumSsidLength);
        exchange->ssid = QByteArray(
            static_cast<const char*>(nla_data(attributes[NL80211_ATTR_SSID])), std::max(length, 0));
    }
    return NL_OK;
}

int onAck(nl_msg*, void* argument) {
    static_cast<Exchange*>(argument)->done = true;
    return NL_STOP;
}

int onFinish(nl_msg*, void* argument) {
    static_cast<Exchange*>(argument)->done = true;
    return NL_SKIP;
}

int onError(sockaddr_nl*, nlmsgerr*, void* argument) {
    auto* exchange = static_cast<Exchange*>(argument);
    exchange->failed = true;
    exchange->done = true;
    return NL_STOP;
}

struct MessageDeleter {
    void operator()(nl_msg* message) const { nlmsg_free(message); }
};
struct CallbackDeleter {
    void operator()(nl_cb* callbacks) const { nl_cb_put(callbacks); }
};

}  // namespace

WifiSsidReader::~WifiSsidReader() {
    closeSocket();
}

void WifiSsidReader::closeSocket() {
    if (socket_ != nullptr) {
        nl_socket_free(socket_);
        socket_ = nullptr;
    }
}

bool WifiSsidReader::ensureOpen() {
    if (socket_ != nullptr) {
        return true;
    }
    socket_ = nl_socket_alloc();
    if (socket_ == nullptr) {
        return false;
    }
    if (genl_connect(socket_) != 0) {
        closeSocket();
        return false;
    }
    // The kernel answers at once; the bound only guards the poll against the unexpected.
    timeval timeout{0, 200'000};
    ::setsockopt(nl_socket_get_fd(socket_), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (familyId_ < 0) {
        familyId_ = genl_ctrl_resolve(socket_, "nl80211");
        if (familyId_ < 0) {
            closeSocket();
            return false;
        }
    }
    return true;
}

QByteArray WifiSsidReader::readSsid(const QString& interfaceName) {
    const unsigned interfaceIndex = ::if_nametoindex(interfaceName.toLocal8Bit().constData());
    if (interfaceIndex == 0 || !ensureOpen()) {
        return {};
    }
    std::unique_ptr<nl_msg, MessageDeleter> message(nlmsg_alloc());
    std::unique_ptr<nl_cb, CallbackDeleter> callbacks(nl_cb_alloc(NL_CB_DEFAULT));
    if (!message || !callbacks ||
        genlmsg_put(message.get(), NL_AUTO_PORT, NL_AUTO_SEQ, familyId_, 0, 0,
                    NL80211_CMD_GET_INTERFACE, 0) == nullptr ||
        nla_put_u32(message.get(), NL80211_ATTR_IFINDEX, interfaceIndex) != 0) {
        return {};
    }
    Exchange exchange;
    nl_cb_set(callbacks.get(), NL_CB_VALID, NL_CB_CUSTOM, onValid, &exchange);
    nl_cb_set(callbacks.get(), NL_CB_ACK, NL_CB_CUSTOM, onAck, &exchange);
    nl_cb_set(callbacks.get(), NL_CB_FINISH, NL_CB_CUSTOM, onFinish, &exchange);
    nl_cb_err(callbacks.get(), NL_CB_CUSTOM, onError, &exchange);

    if (nl_send_auto(socket_, message.get()) < 0) {
        closeSocket();
        return {};
    }
    while (!exchange.done) {
        // A kernel error answer ends the exchange cleanly; a timed-out or garbled one would
        // leave stray replies behind.
        if (nl_recvmsgs(socket_, callbacks.get()) < 0 && !exchange.done) {
            closeSocket();
            return {};
        }
    }
    return exchange.failed ? QByteArray{} : exchange.ssid;
}
