// The program's two windows wired as main() wires them, for widget tests.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/Form1.h"
#include "app/Параметры.h"
#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeToolkit.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace orbimo::apptest {

inline std::unique_ptr<QApplication>& Application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!Application()) Application() = std::make_unique<QApplication>(argc, argv);
}

// The application ends before the exit handlers: Qt's own statics must outlive it.
class QtEnvironment : public ::testing::Environment {
    void TearDown() override { Application().reset(); }
};
inline const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

inline bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(5);
    return done();
}

class FixedScreen : public ScreenMetrics {
  public:
    explicit FixedScreen(ScreenInfo info) : info_(info) {}
    ScreenInfo Screen() const override { return info_; }

  private:
    ScreenInfo info_;
};

/// The program as main() wires it, except that the parameters window's message
/// boxes go to a recording fake and the files live in memory.
struct App {
    explicit App(ScreenInfo info = {15360, 11520, 15, 15}, bool realBoxes = false)
        : screen(info),
          surface(static_cast<int>(info.widthTwips / info.twipsPerPixelX),
                  static_cast<int>(info.heightTwips / info.twipsPerPixelY), 0x00C0C0C0),
          params((EnsureApplication(), state), realBoxes ? static_cast<Toolkit&>(qt) : fake),
          logic(state, params, surface, qt, files, screen),
          form((logic.Startup(), logic), surface, qt, info.twipsPerPixelX, info.twipsPerPixelY),
          window(params, files, info.twipsPerPixelX, info.twipsPerPixelY, &form) {
        logic.showParams = [this] { window.ShowBeside(form); };
        qt.SetParentWindow(&form);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    /// The main window's "Параметры", until the window is active.
    void OpenParams() {
        // Offscreen, activation stays with a window that hides; a window manager
        // hands it to the main window, so do that here.
        if (QApplication::activeWindow() != &form) {
            form.activateWindow();
            EXPECT_TRUE(WaitFor([this] { return QApplication::activeWindow() == &form; }));
        }
        QTest::mouseClick(form.Button(1), Qt::LeftButton);
        // qWaitForWindowActive returns at once for a window whose transient parent is
        // active; the offscreen activation itself arrives with the next event dispatch.
        EXPECT_TRUE(WaitFor([this] { return QApplication::activeWindow() == &window; }));
    }

    SimState state;
    testing::FakeToolkit fake;
    QtToolkit qt;
    testing::FakeFileSystem files;
    FixedScreen screen;
    MemorySurface surface;
    ParamsModel params;
    Form1Logic logic;
    Form1 form;
    Параметры window;
};

inline QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

/// Clicks a check box or option button on its indicator, where a click always counts.
inline void ClickIndicator(QAbstractButton* b) {
    QStyleOptionButton o;
    o.initFrom(b);
    const bool radio = qobject_cast<QRadioButton*>(b) != nullptr;
    const QRect r = b->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &o, b);
    QTest::mouseClick(b, Qt::LeftButton, {}, r.center());
}

/// Clicks into a field, replaces its whole text by typing, and optionally leaves it by Tab.
inline void Retype(QWidget* field, const QString& text, bool tab) {
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    if (!tab) return;
    QTest::keyClick(field, Qt::Key_Tab);
    QTest::qWait(1);  // the focus-leaving handler runs once Qt has moved the focus
}

/// Clicks "Пуск"; 40 ms into the run, from inside its event dispatch, calls `during`,
/// which should stop it. The run is a loop inside the click, so both are queued first.
/// False when the run had to be ended by the watchdog.
inline bool RunAndStop(App& p, const std::function<void()>& during) {
    QTimer later, watchdog;
    bool stuck = false;
    later.setSingleShot(true);
    watchdog.setSingleShot(true);
    QObject::connect(&later, &QTimer::timeout, during);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        stuck = true;
        p.state.StopRequested = -1;
    });
    later.start(40);
    watchdog.start(5000);
    QTest::mouseClick(p.form.Button(0), Qt::LeftButton);
    return !stuck;
}

}  // namespace orbimo::apptest
