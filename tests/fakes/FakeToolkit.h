#pragma once
#include <deque>
#include <functional>
#include <vector>

#include "platform/Toolkit.h"

namespace orbimo::testing {

struct ProgramEnded {};

/// Records messages, answers input boxes from a queue and runs scripted
/// actions when the logic yields to the window system.
class FakeToolkit : public Toolkit {
  public:
    void MessageBox(const std::u16string& text) override { messages.push_back(text); }
    std::u16string InputBox(const std::u16string& prompt, const std::u16string& title,
                            const std::u16string&) override {
        prompts.push_back(prompt);
        titles.push_back(title);
        const std::u16string answer = answers.empty() ? u"" : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void DispatchPendingEvents() override {
        now += dispatchCost;
        ++dispatches;
        if (onDispatch) onDispatch(dispatches);
    }
    /// A clock that moves only when told: by the test, or by a wait.
    double Now() const override { return now; }
    void Wait(double seconds) override {
        if (seconds > 0) now += seconds;
        ++waits;
        DispatchPendingEvents();
    }
    [[noreturn]] void EndProgram() override {
        ended = true;
        throw ProgramEnded{};
    }

    std::vector<std::u16string> messages, prompts, titles;
    std::deque<std::u16string> answers;
    long dispatches = 0, waits = 0;
    double now = 0;
    double dispatchCost = 0;               // fake seconds each dispatch takes
    std::function<void(long)> onDispatch;  // gets the dispatch count, 1-based
    bool ended = false;
};

}  // namespace orbimo::testing
