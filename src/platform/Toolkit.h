#pragma once
#include <chrono>
#include <string>

namespace orbimo {

/// The few window-system services the program's logic needs.
class Toolkit {
  public:
    virtual ~Toolkit() = default;
    /// Modal message box with the program's title and an OK button only.
    virtual void MessageBox(const std::u16string& text) = 0;
    /// Modal input box; returns an empty text when cancelled.
    virtual std::u16string InputBox(const std::u16string& prompt, const std::u16string& title,
                                    const std::u16string& defaultAnswer) = 0;
    /// Lets the window system handle pending events (clicks, edits, repaints).
    virtual void DispatchPendingEvents() = 0;
    /// Seconds on a steady clock, for pacing a run against real time.
    virtual double Now() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    /// Handles events for about `seconds`, sleeping while there are none (a paced run
    /// waiting for its next frame); at most a dispatch when `seconds` is not above zero.
    virtual void Wait(double seconds) {
        (void)seconds;
        DispatchPendingEvents();
    }
    /// Ends the program at once, without saving. Never returns.
    [[noreturn]] virtual void EndProgram() = 0;
};

/// The program's title, used by every message box.
inline constexpr char16_t kProgramTitle[] = u"Орбимо";

}  // namespace orbimo
