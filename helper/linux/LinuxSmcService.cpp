#include "helper/linux/LinuxSmcService.h"

#include "helper/linux/AppleSmcClient.h"
#include "helper/linux/VirtualSmcClient.h"

#include <cerrno>

namespace {

class AppleSmcService final : public SmcService {
public:
    explicit AppleSmcService(std::filesystem::path directory) : directory_(std::move(directory)) {}
    int open(std::unique_ptr<SmcUserClient>& client) override {
        std::unique_ptr<AppleSmcClient> opened;
        const int result =
            AppleSmcClient::open(directory_, std::make_unique<PosixSysfsAccess>(), opened);
        if (result == 0) {
            client = std::move(opened);
        }
        return result;
    }

private:
    std::filesystem::path directory_;
};

// The sensors were found when the service was; opening hands them over.
class VirtualSmcService final : public SmcService {
public:
    explicit VirtualSmcService(std::unique_ptr<VirtualSmcClient> client)
        : client_(std::move(client)) {}
    int open(std::unique_ptr<SmcUserClient>& client) override {
        if (!client_) {
            return -ENODEV;
        }
        client = std::move(client_);
        return 0;
    }

private:
    std::unique_ptr<VirtualSmcClient> client_;
};

}  // namespace

std::unique_ptr<SmcService> findLinuxSmcService(const LinuxSmcSystem& system) {
    const auto appleSmc = system.root / kAppleSmcDevice;
    std::error_code error;
    if (std::filesystem::exists(appleSmc / "key_count", error)) {
        return std::make_unique<AppleSmcService>(appleSmc);
    }
    auto virtualSmc = std::make_unique<VirtualSmcClient>(system);
    if (virtualSmc->hasAnySource()) {
        return std::make_unique<VirtualSmcService>(std::move(virtualSmc));
    }
    return nullptr;
}
