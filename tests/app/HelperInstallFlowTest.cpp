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
using Outcome = HelperInstallOutcome;

// A stand-in installer answering one outcome per attempt (on the worker thread) and a prompt
// answering one choice per showing, once the event loop turns again (as a window the user
// answers later would), noting whether the helper counted as available then and why it was
// shown.
class HelperInstallFlowTest : public ::testing::Test {
protected:
    HelperInstallSteps steps() {
        return {[this] { return results.at(static_cast<std::size_t>(attempts++)); },
                [this] { ++cancels; },
                [this](Outcome why, const HelperInstallSteps::Answered& answered) {
                    availableAtPrompt.push_back(harness.monitor->helperAvailable());
                    promptReasons.push_back(why);
                    QMetaObject::invokeMethod(
                        qApp,
                        [answered, given = answers.at(availableAtPrompt.size() - 1)] {
                            answered(given);
                        },
                        Qt::QueuedConnection);
                }};
    }

    // Until no attempt runs and no prompt waits: each finished attempt reaches the main
    // thread, whose prompt's answer may start the next.
    static void settle(const HelperInstallFlow& flow) {
        for (int turn = 0; turn < 100; ++turn) {
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
        }
        ASSERT_FALSE(flow.running());
    }

    MonitorHarness harness;
    std::vector<Outcome> results;
    std::vector<Answer> answers;
    std::atomic<int> attempts{0};
    int cancels = 0;
    std::vector<bool> availableAtPrompt;
    std::vector<Outcome> promptReasons;
};

TEST_F(HelperInstallFlowTest, PromptsOncePerFailedAttemptUntilSuccessOrSkip) {
    struct Case {
        const char* name;
        std::vector<Outcome> results;
        std::vector<Answer> answers;
        bool available;
    } cases[] = {
        {"success at launch", {Outcome::installed}, {}, true},
        {"failure, then skip", {Outcome::failed}, {Answer::skipForNow}, false},
        {"cancelled dialog, try again twice",
         {Outcome::failed, Outcome::failed, Outcome::installed},
         {Answer::tryAgain, Answer::tryAgain},
         true},
        // Nothing to try again without pkexec: whatever the answer, no second attempt.
        {"no pkexec", {Outcome::pkexecMissing}, {Answer::tryAgain}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        results = c.results;
        answers = c.answers;
        attempts = 0;
        availableAtPrompt.clear();
        promptReasons.clear();
        HelperInstallFlow flow(*harness.monitor, steps());
        flow.start();
        settle(flow);
        EXPECT_EQ(attempts, static_cast<int>(c.results.size()));
        EXPECT_EQ(availableAtPrompt, std::vector<bool>(c.answers.size(), false));
        EXPECT_EQ(promptReasons,
                  std::vector<Outcome>(c.results.begin(), c.results.begin() + c.answers.size()));
        EXPECT_EQ(harness.monitor->helperAvailable(), c.available);
        // After "Skip for Now" (or a success) nothing more runs until the next launch.
        flow.start();
        settle(flow);
        EXPECT_EQ(attempts, static_cast<int>(c.results.size()));
        EXPECT_EQ(flow.skipped(), !c.available);
    }
}

TEST_F(HelperInstallFlowTest, SensorPollingStartsAtTheNextPollAfterTryAgainSucceeds) {
    results = {Outcome::failed, Outcome::installed};
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
                                   return Outcome::failed;
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
