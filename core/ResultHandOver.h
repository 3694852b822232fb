#pragma once

#include <QMetaObject>
#include <QThread>

#include <coroutine>
#include <memory>
#include <optional>
#include <utility>

// A result made on another thread, awaited by a coroutine on the thread that created the
// hand-over. `deliver` may be called from any thread: the result travels through the awaiting
// thread's event loop, so the coroutine always resumes on its own thread. The awaiting thread's
// QThread object stands as the receiver because it lives as long as that thread does.
template <typename Result>
class ResultHandOver {
public:
    ResultHandOver() : state_(std::make_shared<State>()), home_(QThread::currentThread()) {}

    void deliver(Result result) const {
        QMetaObject::invokeMethod(
            home_,
            [state = state_, result = std::move(result)]() mutable {
                state->value = std::move(result);
                if (state->waiting) {
                    std::exchange(state->waiting, {}).resume();
                }
            },
            Qt::QueuedConnection);
    }

    bool await_ready() const noexcept { return state_->value.has_value(); }
    void await_suspend(std::coroutine_handle<> waiting) const { state_->waiting = waiting; }
    Result await_resume() const { return std::move(*state_->value); }

private:
    struct State {
        std::optional<Result> value;
        std::coroutine_handle<> waiting;
    };
    std::shared_ptr<State> state_;
    QThread* home_;
};
