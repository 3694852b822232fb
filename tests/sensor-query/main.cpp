// A minimal client of the sensor helper for whole-program tests: asks once over the helper's
// socket with the shared codec and prints what came back.
//
//   sensor_query [--socket PATH] [--version | --silent | --partial]
//
//   (default)   asks fetchSensors and prints "key value" per field of the reading, then one
//               line per channel: "channel CHIP SENSOR KIND VALUE MIN MAX CRITICAL", a tab,
//               the chip's name, a tab, the label ("-" for a value that is absent)
//   --version   asks helperVersion and prints the version
//   --silent    connects and sends nothing, then waits for the helper to hang up
//   --partial   sends half a request, then waits for the helper to hang up
//   (both print "waiting" once connected and done sending, so a test knows when to act)
//
// Exit status: 0 answered, 3 closed without an answer, 4 malformed answer, 5 no connection,
// 6 nothing happened within 10 seconds, 2 bad arguments.
#include "shared/HelperReplies.h"
#include "shared/HelperService.h"
#include "shared/WireFrame.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

enum Status { answered = 0, usage = 2, closed = 3, malformed = 4, unreachable = 5, hung = 6 };

constexpr int kWaitMilliseconds = 10000;

int connectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads one frame, or tells why there is none.
Status receiveFrame(int fd, wire::Frame& frame) {
    frame.assign(wire::kHeaderSize, 0);
    std::size_t have = 0;
    while (have < frame.size()) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, kWaitMilliseconds) == 0) {
            return hung;
        }
        const ssize_t got = ::recv(fd, frame.data() + have, frame.size() - have, 0);
        if (got <= 0) {
            return have == 0 ? closed : malformed;
        }
        have += static_cast<std::size_t>(got);
        if (have == wire::kHeaderSize) {
            const auto header = wire::decodeHeader(frame);
            if (!header) {
                return malformed;
            }
            frame.resize(header->length);
        }
    }
    return answered;
}

std::string numberText(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// An absent value prints as "-1", as the helper's test mode writes it.
void printNumber(const char* key, std::optional<double> value) {
    std::printf("%s %s\n", key, numberText(value.value_or(-1.0)).c_str());
}

std::string measureText(std::optional<double> value) {
    return value ? numberText(*value) : std::string("-");
}

const char* kindName(SensorKind kind) {
    switch (kind) {
        case SensorKind::temperature:
            return "temperature";
        case SensorKind::fan:
            return "fan";
        case SensorKind::voltage:
            return "voltage";
        case SensorKind::current:
            return "current";
        case SensorKind::power:
            return "power";
        case SensorKind::energy:
            return "energy";
    }
    return "unknown";
}

void printChannel(const SensorChannel& channel) {
    std::printf("channel %s %s %s %s %s %s %s\t%s\t%s\n", channel.chip.c_str(),
                channel.sensor.c_str(), kindName(channel.kind), measureText(channel.value).c_str(),
                measureText(channel.minimum).c_str(), measureText(channel.maximum).c_str(),
                measureText(channel.critical).c_str(), channel.chipName.c_str(),
                channel.label.c_str());
}

void printReading(const SensorReading& r) {
    printNumber("cpuT", r.cpuTempCelsius);
    printNumber("gpuT", r.gpuTempCelsius);
    printNumber("batT", r.batteryTempCelsius);
    printNumber("ssdT", r.ssdTempCelsius);
    printNumber("memT", r.memoryTempCelsius);
    printNumber("ambT", r.ambientTempCelsius);
    printNumber("ioT", r.ioTempCelsius);
    printNumber("cpuP", r.cpuPowerWatts);
    printNumber("gpuP", r.gpuPowerWatts);
    printNumber("sysP", r.systemPowerWatts);
    printNumber("chgP", r.chargerPowerWatts);
    printNumber("f0", r.fan0Rpm);
    printNumber("f1", r.fan1Rpm);
    std::printf("fc %lld\n", static_cast<long long>(r.fanCount));
    for (const auto& channel : r.channels) {
        printChannel(channel);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string socketPath = helper_service::kSocketPath;
    std::string_view mode = "fetch";
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--socket" && i + 1 < argc) {
            socketPath = argv[++i];
        } else if (argument == "--version" || argument == "--silent" || argument == "--partial") {
            mode = argument.substr(2);
        } else {
            std::fprintf(stderr,
                         "usage: sensor_query [--socket PATH] [--version|--silent|--partial]\n");
            return usage;
        }
    }

    const int fd = connectTo(socketPath);
    if (fd < 0) {
        return unreachable;
    }
    const auto request = wire::encodeRequest(mode == "version" ? wire::Request::helperVersion
                                                               : wire::Request::fetchSensors);
    std::size_t sending = request.size();
    if (mode == "silent") {
        sending = 0;
    } else if (mode == "partial") {
        sending = request.size() / 2;
    }
    if (sending > 0 &&
        ::send(fd, request.data(), sending, MSG_NOSIGNAL) != static_cast<ssize_t>(sending)) {
        ::close(fd);
        return closed;
    }
    if (mode == "silent" || mode == "partial") {
        std::printf("waiting\n");
        std::fflush(stdout);
    }
    wire::Frame frame;
    const Status status = receiveFrame(fd, frame);
    ::close(fd);
    if (status != answered) {
        return status;
    }
    if (mode == "version") {
        const auto version = wire::decodeVersionReply(frame);
        if (!version) {
            return malformed;
        }
        std::printf("%s\n", version->c_str());
        return answered;
    }
    const auto reading = wire::decodeSensorReply(frame);
    if (!reading || mode != "fetch") {
        return malformed;  // an answer to nothing, or one that does not decode
    }
    printReading(*reading);
    return answered;
}
