#include "shared/ByteCursor.h"
#include "shared/SensorChannelList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

// What the decoder accepts is what the encoder writes for it, byte for byte: the list has
// one form.
void decodeAndWriteBack(std::span<const std::uint8_t> bytes) {
    wire::ByteCursor cursor(bytes);
    const auto channels = wire::readChannelList(cursor);
    if (!channels) {
        return;
    }
    std::vector<std::uint8_t> written;
    wire::appendChannelList(written, *channels);
    const auto consumed = bytes.first(bytes.size() - cursor.remaining());
    if (written.size() != consumed.size() ||
        !std::equal(written.begin(), written.end(), consumed.begin())) {
        std::abort();
    }
}

// Whatever texts and numbers the helper's sources give, the encoder writes a list the decoder
// takes, with every text as sanitised.
void encodeAnything(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 1 + sizeof(double)) {
        return;
    }
    double number = 0;
    std::memcpy(&number, bytes.data() + 1, sizeof number);
    const std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const SensorChannel channel{
        text,   text,   text,   text,  static_cast<SensorKind>(bytes[0] % 8),
        number, number, number, number};
    std::vector<std::uint8_t> written;
    wire::appendChannelList(written, std::span(&channel, 1));
    wire::ByteCursor cursor(written);
    const auto decoded = wire::readChannelList(cursor);
    if (!decoded || !cursor.atEnd() || decoded->size() > 1 ||
        (decoded->size() == 1 && ((*decoded)[0].label != wire::sanitizedChannelText(text) ||
                                  (*decoded)[0].label.size() > wire::kMaxChannelText))) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    decodeAndWriteBack(bytes);
    encodeAnything(bytes);
    return 0;
}
