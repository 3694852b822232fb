#include "helper/HelperListener.h"
#include "helper/PeerPolicy.h"
#include "helper/SensorCollector.h"
#include "helper/linux/MachineFieldSources.h"
#include "shared/HelperReplies.h"
#include "shared/WireFrame.h"

#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

const SensorReading kReading{45.0, 40.0, 30.0, 35.0,   38.0,   24.0, 41.0, 12.0,
                             5.0,  30.0, -1.0, 1500.0, 1600.0, 2,    {}};

// A desktop's list: a Super I/O chip's fans and voltages, the CPU's and disks' temperatures,
// with labels and limits as drivers give them.
SensorReading readingWithChannels(std::size_t count) {
    constexpr std::array<SensorKind, 3> kKinds = {SensorKind::temperature, SensorKind::fan,
                                                  SensorKind::voltage};
    const std::array<std::string, 3> prefixes = {"temp", "fan", "in"};
    SensorReading reading = kReading;
    for (std::size_t i = 0; i < count; ++i) {
        const auto kind = kKinds[i % kKinds.size()];
        const auto number = std::to_string(i);
        reading.channels.push_back({"platform_nct6775_656", prefixes[i % 3] + number, "nct6775",
                                    "Channel " + number + " label", kind, 40.0 + double(i),
                                    double(i) / 10.0, 90.0, 100.0});
    }
    return reading;
}

class AdmitAll final : public PeerPolicy {
public:
    bool admits(int, const PeerCredentials&) const override { return true; }
};

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    return address;
}

// The listener on its own thread behind a socket in a private folder, as the helper runs.
class ServedHelper {
public:
    explicit ServedHelper(std::unique_ptr<PeerPolicy> policy, SensorReading reading = kReading)
        : policy_(std::move(policy)), reading_(std::move(reading)) {
        char folder[] = "/tmp/vantrel-bench-XXXXXX";
        folder_ = ::mkdtemp(folder);
        path_ = folder_ + "/helper.sock";
        listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const auto address = addressOf(path_);
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        ::listen(listenFd_, 64);
        listener_ =
            std::make_unique<HelperListener>(listenFd_, *policy_, [this] { return reading_; });
        thread_ = std::thread([this] {
            while (!stop_.load()) {
                listener_->step(5ms);
            }
        });
    }
    ~ServedHelper() {
        stop_.store(true);
        thread_.join();
        listener_.reset();
        ::close(listenFd_);
        std::filesystem::remove_all(folder_);
    }

    int connect() const {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto address = addressOf(path_);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        return fd;
    }

private:
    std::unique_ptr<PeerPolicy> policy_;
    SensorReading reading_;
    std::string folder_, path_;
    int listenFd_ = -1;
    std::unique_ptr<HelperListener> listener_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

bool sendRequest(int fd) {
    static const auto request = wire::encodeRequest(wire::Request::fetchSensors);
    return ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(request.size());
}

std::optional<SensorReading> receiveReading(int fd) {
    wire::Frame frame(wire::kMaxFrameSize);
    std::size_t have = 0;
    std::size_t wanted = wire::kHeaderSize;
    while (have < wanted) {
        const ssize_t got = ::recv(fd, frame.data() + have, wanted - have, 0);
        if (got <= 0) {
            return std::nullopt;
        }
        have += static_cast<std::size_t>(got);
        if (have == wire::kHeaderSize) {
            const auto header = wire::decodeHeader(frame);
            if (!header) {
                return std::nullopt;
            }
            wanted = header->length;
        }
    }
    frame.resize(have);
    return wire::decodeSensorReply(frame);
}

// One fetchSensors request and its decoded reply, as the client makes it.
bool roundTrip(int fd) {
    return sendRequest(fd) && receiveReading(fd).has_value();
}

// p50 and p99 of the iterations' own times, in microseconds.
void reportPercentiles(benchmark::State& state, std::vector<double>& micros) {
    if (micros.empty()) {
        return;
    }
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) {
        return micros[std::min(micros.size() - 1, static_cast<std::size_t>(q * micros.size()))];
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = micros.back();
}

template <typename Body>
void timed(benchmark::State& state, Body body) {
    std::vector<double> micros;
    micros.reserve(1 << 16);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!body()) {
            state.SkipWithError("the helper did not answer");
            return;
        }
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    reportPercentiles(state, micros);
}

// The application's steady state: one kept connection, one request per poll; the argument is
// the number of channels in the reply's list.
void BM_HelperRoundTrip(benchmark::State& state) {
    ServedHelper helper(std::make_unique<AdmitAll>(),
                        readingWithChannels(static_cast<std::size_t>(state.range(0))));
    const int fd = helper.connect();
    timed(state, [fd] { return roundTrip(fd); });
    ::close(fd);
}
BENCHMARK(BM_HelperRoundTrip)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A fresh connection each time, through the installed peer check (the allowed user), as
// after every helper restart.
void BM_HelperConnectCheckAndRoundTrip(benchmark::State& state) {
    ServedHelper helper(std::make_unique<ConfiguredPeerPolicy>(HelperConfig{{::geteuid()}}));
    timed(state, [&helper] {
        const int fd = helper.connect();
        const bool answered = roundTrip(fd);
        ::close(fd);
        return answered;
    });
}
BENCHMARK(BM_HelperConnectCheckAndRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The first answer of a helper that its client's connection has just started, on a desktop's
// sensor tree: from finding the sensors (the first sample of each energy
// counter) to the decoded reply. It comes at once, without power figures: those need a
// second sample 100 ms after the first, and the helper never waits for one.
void BM_HelperFirstAnswer(benchmark::State& state) {
    LinuxSensorSystem system;
    system.root = std::filesystem::path(VANTREL_FIXTURES_DIR) / "sensors/amd-desktop";
    system.nvmlLibrary = "/nonexistent/libnvidia-ml.so.1";
    const ConfiguredPeerPolicy policy(HelperConfig{{::geteuid()}});
    timed(state, [&] {
        int fds[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0 ||
            !sendRequest(fds[0])) {
            return false;
        }
        std::optional<SensorReading> reading;
        if (auto sources = findMachineFieldSources(system)) {
            SensorCollector collector(std::move(*sources), {}, system.clock);
            HelperListener listener(-1, policy, [&collector] { return collector.collect(); });
            listener.adopt(fds[1]);
            listener.step(0ms);
            reading = receiveReading(fds[0]);
        }
        ::close(fds[0]);
        return reading && reading->cpuTempCelsius > 0 && !reading->cpuPowerWatts;
    });
}
BENCHMARK(BM_HelperFirstAnswer)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
