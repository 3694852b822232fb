#pragma once

#include "sensors/HelperInstaller.h"

#include <QObject>

#include <functional>

class SystemMonitor;

// The user's answer to the prompt after a failed installation of the sensor helper.
enum class HelperPromptAnswer { tryAgain, skipForNow };

// How the shell installs the sensor helper: `install` runs off the main thread; `cancel` ends
// an installation still waiting for its password dialog (the program is quitting); `ask` shows
// the prompt for a failed attempt without blocking anything else, and hands the user's answer
// to its callback once given (never, if the program quits first).
struct HelperInstallSteps {
    using Answered = std::function<void(HelperPromptAnswer)>;
    std::function<HelperInstallOutcome()> install;
    std::function<void()> cancel;
    std::function<void(HelperInstallOutcome, Answered)> ask;
};

// The helper's installation at launch: one attempt off the main thread, its answer stored in
// the monitor's helperAvailable, and after a failure the prompt, whose "Try Again" starts
// another attempt, as often as the user likes. Never two attempts at once; after "Skip for
// Now" nothing more until the program starts again. Without pkexec there is nothing to try
// again: the prompt says how to get it, and its answer ends the flow.
class HelperInstallFlow final : public QObject {
    Q_OBJECT
public:
    HelperInstallFlow(SystemMonitor& monitor, HelperInstallSteps steps, QObject* parent = nullptr);
    // Ends an attempt still waiting for its password dialog.
    ~HelperInstallFlow() override;

    // Starts an attempt, unless one runs, one has succeeded or the user chose "Skip for Now".
    void start();
    bool running() const { return running_; }
    bool skipped() const { return skipped_; }

signals:
    void attemptFinished(bool installed);

private:
    void finish(HelperInstallOutcome outcome);
    void answer(HelperPromptAnswer answer);

    SystemMonitor& monitor_;
    HelperInstallSteps steps_;
    bool running_ = false;
    bool asking_ = false;
    bool skipped_ = false;
    bool done_ = false;
};
