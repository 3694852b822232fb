#pragma once

#include "helper/SMCParameterBlock.h"
#include "helper/SMCReader.h"
#include "helper/SMCUserClient.h"

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// An SMC user client over a table of keys, each with a type name and data bytes. It logs
// every call so tests can see which keys were read and what the blocks held.
class FakeSmcUserClient final : public SMCUserClient {
public:
    struct Key {
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
        bool failBytes = false;  // the read-key-info call works, the read-bytes call fails
    };
    struct Call {
        std::uint32_t selector;
        SMCBlockBytes input;
    };

    void set(const std::string& key, std::uint32_t type, std::vector<std::uint8_t> bytes) {
        keys[fourCharCode(key)] = Key{type, std::move(bytes)};
    }
    void setFloat(const std::string& key, float value) {
        std::vector<std::uint8_t> bytes(4);
        std::memcpy(bytes.data(), &value, 4);  // little-endian machines only, as the SMC
        set(key, fourCharCode("flt "), bytes);
    }

    int callStructMethod(std::uint32_t selector, const SMCBlockBytes& input,
                         SMCBlockBytes& output) override {
        calls.push_back({selector, input});
        const SMCParameterBlock request = fromBlockBytes(input);
        const auto key = keys.find(request.key);
        if (selector != kSMCStructMethodSelector || key == keys.end()) {
            return kSMCKeyNotFound;
        }
        SMCParameterBlock answer = fromBlockBytes(output);
        answer.key = request.key;
        if (request.command == kSMCReadKeyInfo) {
            answer.dataType = key->second.type;
            answer.dataSize = static_cast<std::uint32_t>(key->second.bytes.size());
        } else if (request.command == kSMCReadBytes && !key->second.failBytes) {
            std::copy(key->second.bytes.begin(), key->second.bytes.end(), answer.bytes.begin());
        } else {
            return kSMCReadFailed;
        }
        output = toBlockBytes(answer);
        return kSMCCallSucceeded;
    }

    // The key names of the read-key-info calls, in order.
    std::vector<std::string> keysAsked() const {
        std::vector<std::string> names;
        for (const Call& call : calls) {
            const SMCParameterBlock block = fromBlockBytes(call.input);
            if (block.command == kSMCReadKeyInfo) {
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
class FakeSmcService final : public SMCService {
public:
    FakeSmcService(std::unique_ptr<SMCUserClient> client, int openResult)
        : client_(std::move(client)), openResult_(openResult) {}
    int open(std::unique_ptr<SMCUserClient>& client) override {
        if (openResult_ == 0) {
            client = std::move(client_);
        }
        return openResult_;
    }

private:
    std::unique_ptr<SMCUserClient> client_;
    int openResult_;
};

// Lets a reader own a client while the test keeps reaching the same key table.
class ForwardingSmcClient final : public SMCUserClient {
public:
    explicit ForwardingSmcClient(std::shared_ptr<SMCUserClient> target)
        : target_(std::move(target)) {}
    int callStructMethod(std::uint32_t selector, const SMCBlockBytes& input,
                         SMCBlockBytes& output) override {
        return target_->callStructMethod(selector, input, output);
    }

private:
    std::shared_ptr<SMCUserClient> target_;
};

// A lookup that finds an SMC whose opening hands out a client forwarding to `target`.
inline SMCReader::ServiceLookup forwardingLookup(std::shared_ptr<SMCUserClient> target) {
    return [target]() -> std::unique_ptr<SMCService> {
        return std::make_unique<FakeSmcService>(std::make_unique<ForwardingSmcClient>(target), 0);
    };
}

// An opened reader over a fake SMC.
struct FakeSmcReader {
    std::shared_ptr<FakeSmcUserClient> smc = std::make_shared<FakeSmcUserClient>();
    SMCReader reader{forwardingLookup(smc)};
    FakeSmcReader() { reader.open(); }
};
