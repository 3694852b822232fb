#include "shared/HelperReplies.h"
#include "shared/WireFrame.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

// Feeds arbitrary bytes to every decoder either side of the socket runs on a peer's bytes.
// Whatever a decoder accepts must encode back to a frame that decodes to the same value.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    wire::decodeHeader(bytes);
    if (const auto request = wire::decodeRequest(bytes)) {
        if (wire::decodeRequest(wire::encodeRequest(*request)) != request) {
            std::abort();
        }
    }
    if (const auto reading = wire::decodeSensorReply(bytes)) {
        if (wire::decodeSensorReply(wire::encodeSensorReply(*reading)) != reading) {
            std::abort();
        }
    }
    if (const auto version = wire::decodeVersionReply(bytes)) {
        const auto again = wire::encodeVersionReply(*version);
        if (!again || wire::decodeVersionReply(*again) != version) {
            std::abort();
        }
    }
    return 0;
}
