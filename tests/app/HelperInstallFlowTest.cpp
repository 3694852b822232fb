#include "app/shell/HelperInstallFlow.h"
#include "support/MonitorHarness.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Answer = HelperPromptAnswer;

// A stand-in installer answering one result per attempt (on the worker thread) and a prompt
// answering one choice per showing, noting whether the helper counted as available then.
class HelperInstallFlowTest : public ::testing::Test {
protected:
    HelperInstallSteps steps() {
        return {[this] { return results.at(static_cast<std::size_t>(attempts++)); },
                [this] { ++cancels; },
                [this] {
                    availableAtPrompt.push_back(harness.monitor->helperAvailable());
                    return answers.at(availableAtPrompt.size() - 1);
                }};
    }

    // Until no attempt runs: each finished attempt reaches the main thread, whose prompt
    // may start the next.
    static void settle(const HelperInstallFlow& flow) {
        for (int turn = 0; turn < 100 && (turn == 0 || flow.running()); ++turn) {
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
        }
    }

    MonitorHarness harness;
    std::vector<bool> results;
    std::vector<Answer> answers;
    std::atomic<int> attempts{0};
    int cancels = 0;
    std::vector<bool> availableAtPrompt;
};

TEST_F(HelperInstallFlowTest, PromptsOncePerFailedAttemptUntilSuccessOrSkip) {
    struct Case {
        const char* name;
        std::vector<bool> results;
        std::vector<Answer> answers;
        bool available;
    } cases[] = {
        {"success at launch", {true}, {}, true},
        {"failure, then skip", {false}, {Answer::skipForNow}, false},
        {"cancelled dialog, try again twice",
         {false, false, true},
         {Answer::tryAgain, Answer::tryAgain},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        results = c.results;
        answers = c.answers;
        attempts = 0;
        availableAtPrompt.clear();
        HelperInstallFlow flow(*harness.monitor, steps());
        flow.start();
        settle(flow);
        EXPECT_EQ(attempts, static_cast<int>(c.results.size()));
        EXPECT_EQ(availableAtPrompt, std::vector<bool>(c.answers.size(), false));
        EXPECT_EQ(harness.monitor->helperAvailable(), c.available);
        // After "Skip for Now" (or a success) nothing more runs until the next launch.
        flow.start();
        settle(flow);
        EXPECT_EQ(attempts, static_cast<int>(c.results.size()));
        EXPECT_EQ(flow.skipped(), !c.available);
    }
}

TEST_F(HelperInstallFlowTest, SensorPollingStartsAtTheNextPollAfterTryAgainSucceeds) {
    results = {false, true};
    answers = {Answer::tryAgain};
    harness.monitor->startPolling();
    HelperInstallFlow flow(*harness.monitor, steps());
    flow.start();
    QThreadPool::globalInstance()->waitForDone();
    harness.clock.advance(1s);  // the first two polls, before the answer is back
    EXPECT_EQ(harness.fakes.sensors->calls, 0);
    settle(flow);
    ASSERT_TRUE(harness.monitor->helperAvailable());
    harness.clock.advance(2s);
    EXPECT_EQ(harness.fakes.sensors->calls, 1);
}

TEST_F(HelperInstallFlowTest, NeverTwoAttemptsAndQuittingEndsAWaitingDialog) {
    std::promise<void> answered;
    auto dialog = answered.get_future().share();
    HelperInstallSteps waiting{[this, dialog] {
                                   ++attempts;
                                   dialog.wait();
                                   return false;
                               },
                               [this, &answered] {
                                   ++cancels;
                                   answered.set_value();
                               },
                               {}};
    {
        HelperInstallFlow flow(*harness.monitor, waiting);
        flow.start();
        flow.start();
        EXPECT_TRUE(flow.running());
    }  // the program quits with the password dialog up
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(cancels, 1);
}

}  // namespace
