#include "core/LatestResultWorker.h"
#include "platform/linux/net/WifiSsidLookup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A door a lookup waits at until the test opens it, so a lookup can be held "in flight".
class Gate {
public:
    void open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// Stands for a reader with open sockets: remembers the thread it was destroyed on and whether
// a lookup was still running then.
struct Reader {
    std::atomic<bool>* lookupRunning;
    std::thread::id* destroyedOn;
    ~Reader() {
        EXPECT_FALSE(lookupRunning->load());
        *destroyedOn = std::this_thread::get_id();
    }
};

TEST(LatestResultWorker, OneLookupAtATimeAndTheCallerNeverWaits) {
    std::atomic<bool> running{false};
    std::thread::id destroyedOn;
    Gate gate;
    LatestResultWorker<Reader, int> worker(
        std::make_unique<Reader>(Reader{&running, &destroyedOn}));
    auto lookup = [&](int value) {
        return [&, value](Reader&) {
            gate.wait();
            return value;
        };
    };
    EXPECT_EQ(worker.latest(), std::nullopt);
    EXPECT_TRUE(worker.startIfIdle(lookup(1)));
    // Asked again while the first is held: refused, not queued, and the answer is still none.
    EXPECT_FALSE(worker.startIfIdle(lookup(2)));
    EXPECT_FALSE(worker.startIfIdle(lookup(3)));
    EXPECT_EQ(worker.latest(), std::nullopt);
    gate.open();
    worker.waitUntilIdle();
    EXPECT_EQ(worker.latest(), 1);
    EXPECT_TRUE(worker.startIfIdle(lookup(4)));
    worker.waitUntilIdle();
    EXPECT_EQ(worker.latest(), 4);
}

TEST(LatestResultWorker, ShutdownLetsTheRunningLookupFinishAndClosesTheReaderOnItsThread) {
    std::atomic<bool> running{false};
    std::atomic<bool> finished{false};
    std::thread::id destroyedOn;
    std::thread::id lookupThread;
    Gate started;
    Gate release;
    std::thread opener;
    {
        LatestResultWorker<Reader, int> worker(
            std::make_unique<Reader>(Reader{&running, &destroyedOn}));
        worker.startIfIdle([&](Reader&) {
            running = true;
            lookupThread = std::this_thread::get_id();
            started.open();
            release.wait();
            running = false;
            finished = true;
            return 0;
        });
        started.wait();
        opener = std::thread([&] { release.open(); });
    }  // the worker goes while its lookup is held
    opener.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(destroyedOn, lookupThread);
    EXPECT_NE(destroyedOn, std::this_thread::get_id());
}

TEST(LatestResultWorker, AReaderNeverUsedIsSimplyDestroyed) {
    std::atomic<bool> running{false};
    std::thread::id destroyedOn;
    {
        LatestResultWorker<Reader, int> worker(
            std::make_unique<Reader>(Reader{&running, &destroyedOn}));
    }
    EXPECT_EQ(destroyedOn, std::this_thread::get_id());
}

class NamedAfterInterface final : public WifiSsidSource {
public:
    QByteArray readSsid(const QString& interfaceName) override {
        ++calls;
        return "net-" + interfaceName.toUtf8();
    }
    std::atomic<int> calls{0};
};

TEST(WifiSsidLookup, ANameJoinsThePollAfterTheOneThatAskedForIt) {
    auto source = std::make_unique<NamedAfterInterface>();
    NamedAfterInterface& reader = *source;
    WifiSsidLookup lookup(std::move(source));
    struct Step {
        const char* interfaceName;
        const char* expected;
    };
    const std::vector<Step> steps{
        {"wlan0", ""},  // nothing finished yet: the empty name
        {"wlan0", "net-wlan0"},
        {"wlan1", ""},  // the latest answer is another interface's
        {"wlan1", "net-wlan1"},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(lookup.readSsid(QString::fromLatin1(step.interfaceName)),
                  QByteArray(step.expected))
            << step.interfaceName;
        lookup.waitUntilIdle();
    }
    EXPECT_EQ(reader.calls, 4);
}

}  // namespace
