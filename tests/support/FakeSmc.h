#pragma once

#include "helper/applesmc/SmcParameterBlock.h"
#include "helper/applesmc/SmcReader.h"
#include "helper/applesmc/SmcUserClient.h"

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// An SMC user client over a table of keys, each with a type name and data bytes. It logs
// every call so tests can see which keys were read and what the blocks held.
class FakeSmcUserClient final : public SmcUserClient {
public:
    struct Key {
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
        bool failBytes = false;  // the read-key-info call works, the read-bytes call fails
    };
    struct Call {
        std::uint32_t selector;
        SmcBlockBytes input;
    };

    void set(const std::string& key, std::uint32_t type, std::vector<std::uint8_t> bytes) {
        keys[fourCharCode(key)] = Key{type, std::move(bytes)};
    }
    void setFloat(const std::string& key, float value) {
        std::vector<std::uint8_t> bytes(4);
        std::memcpy(bytes.data(), &value, 4);  // little-endian machines only, as the SMC
        set(key, fourCharCode("flt "), bytes);
    }

    int callStructMethod(std::uint32_t selector, const SmcBlockBytes& input,
                         SmcBlockBytes& output) override {
        calls.push_back({selector, input});
        const SmcParameterBlock request = fromBlockBytes(input);
        const auto key = keys.find(request.key);
        if (selector != kSmcStructMethodSelector || key == keys.end()) {
            return kSmcKeyNotFound;
        }
        SmcParameterBlock answer = fromBlockBytes(output);
        answer.key = request.key;
        if (request.command == kSmcReadKeyInfo) {
            answer.dataType = key->second.type;
            answer.dataSize = static_cast<std::uint32_t>(key->second.bytes.size());
        } else if (request.command == kSmcReadBytes && !key->second.failBytes) {
            std::copy(key->second.bytes.begin(), key->second.bytes.end(), answer.bytes.begin());
        } else {
            return kSmcReadFailed;
        }
        output = toBlockBytes(answer);
        return kSmcCallSucceeded;
    }

    // The key names of the read-key-info calls, in order.
    std::vector<std::string> keysAsked() const {
        std::vector<std::string> names;
        for (const Call& call : calls) {
            const SmcParameterBlock block = fromBlockBytes(call.input);
            if (block.command == kSmcReadKeyInfo) {
                std::string name;
                for (int shift = 24; shift >= 0; shift -= 8) {
                    name += static_cast<char>(block.key >> shift & 0xFF);
                }
                names.push_back(name);
            }
        }
        return names;
    }

    std::map<std::uint32_t, Key> keys;
    std::vector<Call> calls;
};

// A service that hands out one prepared client, or fails with a given code.
class FakeSmcService final : public SmcService {
public:
    FakeSmcService(std::unique_ptr<SmcUserClient> client, int openResult)
        : client_(std::move(client)), openResult_(openResult) {}
    int open(std::unique_ptr<SmcUserClient>& client) override {
        if (openResult_ == 0) {
            client = std::move(client_);
        }
        return openResult_;
    }

private:
    std::unique_ptr<SmcUserClient> client_;
    int openResult_;
};

// Lets a reader own a client while the test keeps reaching the same key table.
class ForwardingSmcClient final : public SmcUserClient {
public:
    explicit ForwardingSmcClient(std::shared_ptr<SmcUserClient> target)
        : target_(std::move(target)) {}
    int callStructMethod(std::uint32_t selector, const SmcBlockBytes& input,
                         SmcBlockBytes& output) override {
        return target_->callStructMethod(selector, input, output);
    }

private:
    std::shared_ptr<SmcUserClient> target_;
};

// A lookup that finds an SMC whose opening hands out a client forwarding to `target`.
inline SmcReader::ServiceLookup forwardingLookup(std::shared_ptr<SmcUserClient> target) {
    return [target]() -> std::unique_ptr<SmcService> {
        return std::make_unique<FakeSmcService>(std::make_unique<ForwardingSmcClient>(target), 0);
    };
}

// An opened reader over a fake SMC.
struct FakeSmcReader {
    std::shared_ptr<FakeSmcUserClient> smc = std::make_shared<FakeSmcUserClient>();
    SmcReader reader{forwardingLookup(smc)};
    FakeSmcReader() { reader.open(); }
};
