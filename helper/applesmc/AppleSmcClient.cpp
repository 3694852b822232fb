#include "helper/applesmc/AppleSmcClient.h"

#include "helper/applesmc/SmcParameterBlock.h"
#include "helper/applesmc/SmcReader.h"

#include <algorithm>
#include <cerrno>
#include <string>

namespace {

// A real SMC has about a thousand keys; a count far above that is not one to walk.
constexpr std::int64_t kMostKeys = 65536;

// The driver ends each text with one newline; a type may end in a meaningful space.
std::string_view withoutNewline(std::string_view text) {
    if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::uint32_t appleSmcTypeCode(std::string_view shown) {
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        code = code << 8 | (i < shown.size() ? static_cast<std::uint8_t>(shown[i]) : 0u);
    }
    return code;
}

AppleSmcClient::AppleSmcClient(std::filesystem::path directory, std::unique_ptr<SysfsAccess> files)
    : directory_(std::move(directory)), files_(std::move(files)) {}

int AppleSmcClient::open(const std::filesystem::path& deviceDirectory,
                         std::unique_ptr<SysfsAccess> files,
                         std::unique_ptr<AppleSmcClient>& client) {
    std::unique_ptr<AppleSmcClient> opened(new AppleSmcClient(deviceDirectory, std::move(files)));
    const auto countText = opened->readAttribute("key_count", 64);
    const auto count = countText ? parseInteger(*countText) : std::nullopt;
    if (!count || *count < 0 || *count > kMostKeys) {
        return -EIO;
    }
    std::lock_guard lock(opened->mutex_);
    for (std::uint32_t index = 0; index < static_cast<std::uint32_t>(*count); ++index) {
        if (const int error = opened->select(index); error != 0) {
            return -error;
        }
        if (const auto key = opened->selectedKey()) {
            opened->indexByKey_.emplace(*key, index);
        }
    }
    client = std::move(opened);
    return 0;
}

int AppleSmcClient::select(std::uint32_t index) {
    return files_->write(directory_ / "key_at_index", std::to_string(index));
}

std::optional<std::string> AppleSmcClient::readAttribute(const char* name, std::size_t maxBytes) {
    return files_->read(directory_ / name, maxBytes);
}

std::optional<std::uint32_t> AppleSmcClient::selectedKey() {
    const auto name = readAttribute("key_at_index_name", 64);
    if (!name || withoutNewline(*name).size() != 4) {
        return std::nullopt;
    }
    return fourCharCode(withoutNewline(*name));
}

int AppleSmcClient::callStructMethod(std::uint32_t selector, const SmcBlockBytes& input,
                                     SmcBlockBytes& output) {
    if (selector != kSmcStructMethodSelector) {
        return kSmcUnknownSelector;
    }
    const SmcParameterBlock request = fromBlockBytes(input);
    const auto index = indexByKey_.find(request.key);
    if (index == indexByKey_.end()) {
        return kSmcKeyNotFound;
    }
    if (request.command != kSmcReadKeyInfo && request.command != kSmcReadBytes) {
        return kSmcUnknownCommand;
    }
    std::lock_guard lock(mutex_);
    if (select(index->second) != 0) {
        return kSmcReadFailed;
    }
    SmcParameterBlock answer;
    answer.key = request.key;
    if (request.command == kSmcReadKeyInfo) {
        const auto type = readAttribute("key_at_index_type", 64);
        const auto lengthText = readAttribute("key_at_index_data_length", 64);
        const auto length = lengthText ? parseInteger(*lengthText) : std::nullopt;
        if (!type || !length || *length < 0 || *length > 32) {
            return kSmcReadFailed;
        }
        answer.dataType = appleSmcTypeCode(withoutNewline(*type));
        answer.dataSize = static_cast<std::uint32_t>(*length);
    } else {
        const auto data = readAttribute("key_at_index_data", answer.bytes.size());
        if (!data) {
            return kSmcReadFailed;
        }
        std::copy(data->begin(), data->end(), answer.bytes.begin());
        answer.dataSize = static_cast<std::uint32_t>(data->size());
    }
    // Another root process may have moved the global selector meanwhile.
    if (selectedKey() != request.key) {
        return kSmcReadFailed;
    }
    output = toBlockBytes(answer);
    return kSmcCallSucceeded;
}
