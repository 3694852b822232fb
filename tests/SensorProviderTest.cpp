#include "sensors/HelperPresence.h"
#include "sensors/SensorProvider.h"
#include "sensors/SensorReadingMapping.h"
#include "shared/HelperReplies.h"
#include "shared/SensorChannelList.h"
#include "support/EventLoop.h"
#include "support/FakeClock.h"
#include "support/RawFrame.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const SensorReading kReading{52.0,
                             47.5,
                             31.0,
                             38.0,
                             41.0,
                             -1.0,
                             0.0,
                             15.25,
                             7.0,
                             48.0,
                             std::nullopt,
                             1850.0,
                             0.0,
                             2,
                             {{"platform_nct6775_656", "fan2", "nct6779", "CPU Fan \xc3\xa9",
                               SensorKind::fan, 1180.0, 0.0, std::nullopt, std::nullopt},
                              {"thermal_zone0", "temp", "acpitz", "", SensorKind::temperature, -3.5,
                               std::nullopt, std::nullopt, 105.0}}};

QVector<SensorChannelReading> expectedChannels() {
    return {{"platform_nct6775_656", "fan2", "nct6779", QString::fromUtf8("CPU Fan \xc3\xa9"),
             SensorChannelKind::fan, 1180.0, 0.0, std::nullopt, std::nullopt},
            {"thermal_zone0", "temp", "acpitz", "", SensorChannelKind::temperature, -3.5,
             std::nullopt, std::nullopt, 105.0}};
}

SensorStats expectedStats() {
    SensorStats stats;
    stats.cpuTempCelsius = 52.0;
    stats.gpuTempCelsius = 47.5;
    stats.batteryTempCelsius = 31.0;
    stats.ssdTempCelsius = 38.0;
    stats.memoryTempCelsius = 41.0;
    stats.cpuPowerWatts = 15.25;
    stats.gpuPowerWatts = 7.0;
    stats.systemPowerWatts = 48.0;
    stats.fans = {FanReading{0, 1850.0}, FanReading{1, 0.0}};
    stats.channels = expectedChannels();
    return stats;
}

SensorReading fans(std::int64_t count, double fan0, double fan1) {
    SensorReading reading;
    reading.fanCount = count;
    reading.fan0Rpm = fan0;
    reading.fan1Rpm = fan1;
    return reading;
}

TEST(SensorReadingMapping, PresentOnlyAboveZeroFansByCountAndSpeed) {
    SensorReading zeroGpu;
    zeroGpu.gpuTempCelsius = 0.0;
    zeroGpu.cpuTempCelsius = std::numeric_limits<double>::quiet_NaN();
    SensorReading tiny;
    tiny.chargerPowerWatts = 1e-9;

    SensorStats tinyStats;
    tinyStats.chargerPowerWatts = 1e-9;
    const struct {
        const char* name;
        SensorReading reading;
        SensorStats expected;
    } cases[] = {
        {"nothing measured", SensorReading{}, SensorStats{}},
        {"zero and not-a-number are absent", zeroGpu, SensorStats{}},
        {"a tiny positive value is present", tiny, tinyStats},
        {"every field", kReading, expectedStats()},
        {"one stopped fan", fans(1, 0.0, -1.0),
         SensorStats{{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {{0, 0.0}}, {}}},
        {"a count of three, second fan not found", fans(3, 1500.0, -1.0),
         SensorStats{{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {{0, 1500.0}}, {}}},
        {"a negative count lists no fans", fans(-2, 1200.0, 1300.0), SensorStats{}},
        {"first fan not found, second found", fans(2, -1.0, 900.0),
         SensorStats{{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {{1, 900.0}}, {}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sensorStatsFrom(c.reading), c.expected) << c.name;
    }
}

TEST(SensorReadingMapping, EveryChannelIsKeptInOrderWithItsKind) {
    const struct {
        SensorKind kind;
        SensorChannelKind expected;
    } kinds[] = {
        {SensorKind::temperature, SensorChannelKind::temperature},
        {SensorKind::fan, SensorChannelKind::fan},
        {SensorKind::voltage, SensorChannelKind::voltage},
        {SensorKind::current, SensorChannelKind::current},
        {SensorKind::power, SensorChannelKind::power},
        {SensorKind::energy, SensorChannelKind::energy},
    };
    SensorReading reading;
    QVector<SensorChannelReading> expected;
    int number = 0;
    for (const auto& k : kinds) {
        const auto sensor = "s" + std::to_string(++number);
        // Values and limits pass as they are: zero and negative readings are real readings.
        reading.channels.push_back(
            {"chip", sensor, "name", "", k.kind, -1.0 * number, 0.0, std::nullopt, 9.0});
        expected.append({"chip", QString::fromStdString(sensor), "name", "", k.expected,
                         -1.0 * number, 0.0, std::nullopt, 9.0});
    }
    EXPECT_EQ(sensorStatsFrom(reading).channels, expected);
    EXPECT_EQ(sensorStatsFrom(kReading).channels, expectedChannels());
    EXPECT_EQ(expectedChannels()[0].identity(), "platform_nct6775_656/fan2");
}

// Stands in for the helper: answers every request it receives with `reply`, or stays silent
// when `reply` is empty.
class FakeHelper final : public QObject {
public:
    explicit FakeHelper(const QString& path) {
        server_.listen(path);
        connect(&server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = server_.nextPendingConnection()) {
                ++connections;
                current = socket;
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QLocalSocket::disconnected, this, [this] { ++disconnects; });
            }
        });
    }
    bool listening() const { return server_.isListening(); }

    Bytes reply = wire::encodeSensorReply(kReading);
    int connections = 0;
    int disconnects = 0;
    int requests = 0;
    QLocalSocket* current = nullptr;

private:
    void answer(QLocalSocket* socket) {
        while (socket->bytesAvailable() >= qint64(wire::kRequestFrameSize)) {
            const QByteArray request = socket->read(wire::kRequestFrameSize);
            EXPECT_TRUE(wire::decodeRequest(std::span(
                reinterpret_cast<const std::uint8_t*>(request.constData()), request.size())));
            ++requests;
            if (!reply.empty()) {
                socket->write(reinterpret_cast<const char*>(reply.data()), qint64(reply.size()));
            }
        }
    }

    QLocalServer server_;
};

class SensorProviderTest : public ::testing::Test {
protected:
    SensorProviderTest()
        : path_(dir_.filePath("helper.sock")),
          helper_(std::make_unique<FakeHelper>(path_)),
          provider_(std::make_unique<SensorProvider>(clock_, path_)) {}

    ~SensorProviderTest() override {
        provider_.reset();
        clock_.advance(1h);  // stale reply deadlines find nothing left to end
        QCoreApplication::processEvents();
    }

    // Starts a fetch; the result lands in the returned slot when it completes.
    std::shared_ptr<std::optional<SensorStats>> startFetch() {
        auto result = std::make_shared<std::optional<SensorStats>>();
        pending_.push_back(
            provider_->fetch().then([result](SensorStats stats) { *result = stats; }));
        return result;
    }

    SensorStats fetchNow() {
        const auto result = startFetch();
        EXPECT_TRUE(runEventsUntil([&] { return result->has_value(); }));
        return result->value_or(SensorStats{});
    }

    QTemporaryDir dir_;
    QString path_;
    FakeClock clock_;
    std::unique_ptr<FakeHelper> helper_;
    std::unique_ptr<SensorProvider> provider_;
    std::vector<QCoro::Task<>> pending_;
};

TEST_F(SensorProviderTest, FetchesReadingsOverOneKeptConnection) {
    ASSERT_TRUE(helper_->listening());
    EXPECT_FALSE(provider_->isConnected());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fetchNow(), expectedStats());
    }
    EXPECT_TRUE(provider_->isConnected());
    EXPECT_EQ(helper_->connections, 1);
    EXPECT_EQ(helper_->requests, 3);
    EXPECT_EQ(provider_->helperState(), HelperState::answering);
}

TEST_F(SensorProviderTest, TheLargestReplyIsReadWhole) {
    SensorReading largest = kReading;
    largest.channels.clear();
    for (std::size_t i = 0; i < wire::kMaxChannels; ++i) {
        std::string text = std::to_string(i);
        text.resize(wire::kMaxChannelText, 'x');
        largest.channels.push_back({text, text, text, text, SensorKind::power, 1.0, 0.5, 1.5, 2.0});
    }
    helper_->reply = wire::encodeSensorReply(largest);
    const auto stats = fetchNow();
    EXPECT_EQ(stats.channels.size(), qsizetype(wire::kMaxChannels));
    EXPECT_EQ(stats, sensorStatsFrom(largest));
    EXPECT_EQ(provider_->helperState(), HelperState::answering);
}

TEST_F(SensorProviderTest, NoHelperGivesTheEmptyRecord) {
    EXPECT_EQ(provider_->helperState(), HelperState::notAskedYet);
    helper_.reset();
    EXPECT_EQ(fetchNow(), SensorStats{});
    EXPECT_FALSE(provider_->isConnected());
    EXPECT_EQ(provider_->helperState(), HelperState::notInstalled);
}

TEST_F(SensorProviderTest, AHelperThatDoesNotAnswerEndsTheFetchAtTheDeadlineAndIsLeft) {
    helper_->reply.clear();
    const auto result = startFetch();
    ASSERT_TRUE(runEventsUntil([&] { return helper_->requests == 1; }));
    clock_.advance(SensorProvider::kReplyTimeout - 1ms);
    QCoreApplication::processEvents();
    EXPECT_FALSE(result->has_value());

    clock_.advance(1ms);
    ASSERT_TRUE(runEventsUntil([&] { return result->has_value(); }));
    EXPECT_EQ(**result, SensorStats{});
    EXPECT_EQ(provider_->helperState(), HelperState::timedOut);
    ASSERT_TRUE(runEventsUntil([&] { return helper_->disconnects == 1; }));

    // The next poll starts over on a fresh connection.
    helper_->reply = wire::encodeSensorReply(kReading);
    EXPECT_EQ(fetchNow(), expectedStats());
    EXPECT_EQ(helper_->connections, 2);
}

TEST_F(SensorProviderTest, EveryBadReplyGivesTheEmptyRecordAndAFreshConnectionNextTime) {
    Bytes withExtraByte = wire::encodeSensorReply(kReading);
    withExtraByte.push_back(0);
    const Bytes full = wire::encodeSensorReply(kReading);
    const std::vector<std::pair<const char*, Bytes>> cases{
        {"garbage", Bytes(64, 0x5a)},
        {"an oversized frame announced", RawFrame::sensorReply(0).withLength(1u << 20)},
        {"the answer to another request", *wire::encodeVersionReply("1")},
        {"a reply with a byte too many", withExtraByte},
    };
    int connections = 0;
    for (const auto& [name, reply] : cases) {
        helper_->reply = reply;
        EXPECT_EQ(fetchNow(), SensorStats{}) << name;
        ++connections;
        EXPECT_TRUE(runEventsUntil([&] { return helper_->disconnects == connections; })) << name;
        EXPECT_FALSE(provider_->isConnected()) << name;
        EXPECT_EQ(provider_->helperState(), HelperState::refused) << name;
    }
    helper_->reply = full;
    EXPECT_EQ(fetchNow(), expectedStats());
    EXPECT_EQ(helper_->connections, connections + 1);
}

TEST_F(SensorProviderTest, AReplyCutShortByTheHelperClosingGivesTheEmptyRecord) {
    const Bytes full = wire::encodeSensorReply(kReading);
    helper_->reply = Bytes(full.begin(), full.begin() + 30);
    const auto result = startFetch();
    ASSERT_TRUE(runEventsUntil([&] { return helper_->requests == 1; }));
    helper_->current->disconnectFromServer();
    ASSERT_TRUE(runEventsUntil([&] { return result->has_value(); }));
    EXPECT_EQ(**result, SensorStats{});
}

TEST_F(SensorProviderTest, AConnectionLostOrSentUnaskedBytesWhileIdleIsReplaced) {
    EXPECT_EQ(fetchNow(), expectedStats());
    helper_->current->disconnectFromServer();
    ASSERT_TRUE(runEventsUntil([&] { return !provider_->isConnected(); }));
    EXPECT_EQ(fetchNow(), expectedStats());

    const Bytes unsolicited = wire::encodeSensorReply(kReading);
    helper_->current->write(reinterpret_cast<const char*>(unsolicited.data()),
                            qint64(unsolicited.size()));
    ASSERT_TRUE(runEventsUntil([&] { return helper_->disconnects == 2; }));
    EXPECT_EQ(fetchNow(), expectedStats());
    EXPECT_EQ(helper_->connections, 3);
}

TEST_F(SensorProviderTest, ASecondFetchWhileOneWaitsGetsTheEmptyRecord) {
    helper_->reply.clear();
    const auto first = startFetch();
    const auto second = startFetch();
    ASSERT_TRUE(runEventsUntil([&] { return second->has_value(); }));
    EXPECT_EQ(**second, SensorStats{});
    EXPECT_FALSE(first->has_value());
    clock_.advance(SensorProvider::kReplyTimeout);
    ASSERT_TRUE(runEventsUntil([&] { return first->has_value(); }));
}

TEST_F(SensorProviderTest, DestroyingTheProviderMidFetchEndsTheFetchEmpty) {
    helper_->reply.clear();
    const auto result = startFetch();
    ASSERT_TRUE(runEventsUntil([&] { return helper_->requests == 1; }));
    provider_.reset();
    ASSERT_TRUE(runEventsUntil([&] { return result->has_value(); }));
    EXPECT_EQ(**result, SensorStats{});
    clock_.advance(SensorProvider::kReplyTimeout);
    ASSERT_TRUE(runEventsUntil([&] { return helper_->disconnects == 1; }));
}

TEST(HelperPresence, OnlyASocketCountsAsTheHelper) {
    QTemporaryDir dir;
    QLocalServer server;
    ASSERT_TRUE(server.listen(dir.filePath("helper.sock")));
    QFile regular(dir.filePath("regular"));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    EXPECT_TRUE(helperSocketPresent(dir.filePath("helper.sock")));
    EXPECT_FALSE(helperSocketPresent(dir.filePath("regular")));
    EXPECT_FALSE(helperSocketPresent(dir.path()));
}

}  // namespace
