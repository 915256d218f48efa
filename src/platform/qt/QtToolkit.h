#pragma once
#include <QElapsedTimer>

#include "platform/ScreenMetrics.h"
#include "platform/Toolkit.h"

class QWidget;

namespace orbimo {

/// Message boxes, input box and the run loop's yield, for Qt widgets.
class QtToolkit : public Toolkit {
  public:
    QtToolkit();
    void MessageBox(const std::u16string& text) override;
    std::u16string InputBox(const std::u16string& prompt, const std::u16string& title,
                            const std::u16string& defaultAnswer) override;
    /// Dispatches only when about a millisecond has passed since the last time:
    /// processEvents costs microseconds even with nothing pending, a tick far less.
    void DispatchPendingEvents() override;
    double Now() const override { return static_cast<double>(clock_.nsecsElapsed()) * 1e-9; }
    void Wait(double seconds) override;
    [[noreturn]] void EndProgram() override;

    /// The window that owns message boxes; may be null.
    void SetParentWindow(QWidget* w) { parent_ = w; }

  private:
    QWidget* parent_ = nullptr;
    QElapsedTimer clock_;
    qint64 lastDispatchNs_ = 0;
    unsigned calls_ = 0;
};

/// Screen size and twips per pixel from the primary screen's logical DPI.
class QtScreenMetrics : public ScreenMetrics {
  public:
    ScreenInfo Screen() const override;
};

}  // namespace orbimo
