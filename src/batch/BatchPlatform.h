#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/ScreenMetrics.h"
#include "platform/Toolkit.h"

namespace orbimo {

/// The toolkit of a run without windows: messages are kept and passed on, nothing is dispatched.
class BatchToolkit : public Toolkit {
  public:
    void MessageBox(const std::u16string& text) override {
        messages.push_back(text);
        if (onMessage) onMessage(text);
    }
    /// Nobody is there to answer: as if cancelled.
    std::u16string InputBox(const std::u16string&, const std::u16string&,
                            const std::u16string&) override {
        return {};
    }
    /// No events: the tick limit is enforced through the run's afterTick hook instead.
    void DispatchPendingEvents() override {}
    [[noreturn]] void EndProgram() override;

    std::vector<std::u16string> messages;
    std::function<void(const std::u16string&)> onMessage;
};

/// A screen of a fixed size in pixels at 15 twips per pixel (96 dpi).
class FixedScreen : public ScreenMetrics {
  public:
    FixedScreen(int widthPixels, int heightPixels) : width_(widthPixels), height_(heightPixels) {}
    ScreenInfo Screen() const override { return ScreenInfo{width_ * 15.0, height_ * 15.0, 15, 15}; }

  private:
    int width_, height_;
};

}  // namespace orbimo
