// The program's two windows wired as main() wires them, on an offscreen 1024×768 screen.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/MainWindow.h"
#include "app/ParamsWindow.h"
#include "app/Program.h"
#include "core/AdvanceTick.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeToolkit.h"

namespace orbimo::apptest {

inline constexpr long kPixels = 1024 * 768;

// One application for every test; it ends before the exit handlers, which Qt's statics outlive.
class QtEnvironment : public ::testing::Environment {
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());  // the user's own stay untouched
        app_ = std::make_unique<QApplication>(argc_, argv_);
        (void)ChosenTickPath();  // as the program does while it starts: runs begin at once
    }
    void TearDown() override { app_.reset(); }
    int argc_ = 1;
    char name_[9] = "test_app", *argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
    QTemporaryDir config_;
};
inline const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

/// As main() wires it; files in memory, the parameters window's boxes faked unless `realBoxes`.
struct App : ScreenMetrics {
    explicit App(bool realBoxes = false, bool freshSettings = true)  // as a fresh install: none
        : fresh(freshSettings && (QSettings("Orbimo", "Orbimo").clear(), true)),
          surface(1024, 768, 0x00C0C0C0),
          params(state, realBoxes ? static_cast<Toolkit&>(qt) : fake),
          logic(state, params, surface, qt, files, *this),
          form((logic.Startup(), logic), surface, qt, 15, 15),
          window(params, files, 15, 15, &form) {
        ConnectWindows(logic, form, window);
        qt.SetParentWindow(&form);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    ScreenInfo Screen() const override { return {15360, 11520, 15, 15}; }
    /// Offscreen, activation stays with a window that hides: do what a window manager does.
    void ActivateForm() {
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &form; }));
    }
    void OpenParams() {
        ActivateForm();
        QTest::mouseClick(form.Button(1), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == &window; }));
    }

    bool fresh;
    SimState state;
    testing::FakeToolkit fake;
    QtToolkit qt;
    testing::FakeFileSystem files;
    MemorySurface surface;
    ParamsModel params;
    MainWindowLogic logic;
    MainWindow form;
    ParamsWindow window;
};

/// Clicks a check box or option button on its indicator, where a click always counts.
inline void ClickIndicator(QAbstractButton* b) {
    QStyleOptionButton o;
    o.initFrom(b);
    const auto e = qobject_cast<QRadioButton*>(b) ? QStyle::SE_RadioButtonIndicator
                                                  : QStyle::SE_CheckBoxIndicator;
    QTest::mouseClick(b, Qt::LeftButton, {}, b->style()->subElementRect(e, &o, b).center());
}

/// Clicks into a field, replaces its whole text by typing, and optionally leaves it by Tab.
inline void Retype(QWidget* field, const QString& text, bool tab = true) {
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    // The focus-leaving handler runs once Qt has moved the focus.
    if (tab) QTest::keyClick(field, Qt::Key_Tab), QTest::qWait(1);
}

/// Clicks "Пуск"; 40 ms into the run (a loop inside the click) calls `during` to stop it. The
/// run goes as fast as it can, whatever pace a fresh install starts at.
inline bool RunAndStop(App& p, const std::function<void()>& during) {
    p.logic.Pace().SetPace(0);
    QObject timers;  // the timers go with it
    bool stuck = false;
    // From the run's first tick: what the click does first (painting, settings) takes its time.
    bool armed = false;
    p.logic.afterTick = [&] {
        if (!armed) armed = true, QTimer::singleShot(40, &timers, during);
    };
    QTimer::singleShot(5000, &timers, [&] { stuck = (p.state.StopRequested = -1); });
    QTest::mouseClick(p.form.Button(0), Qt::LeftButton);
    p.logic.afterTick = nullptr;
    return !stuck;
}

/// Opens the main window's menu with the mouse and hands it to `use`.
inline void WithMenu(App& p, const std::function<void(QMenu*)>& use) {
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        use(menu);
        menu->close();
    });
    QContextMenuEvent e(QContextMenuEvent::Mouse, {300, 300}, p.form.mapToGlobal(QPoint(300, 300)));
    QApplication::sendEvent(&p.form, &e);
}

/// The menu's entry at the end of `path`, through submenus; null if there is none.
inline QAction* Entry(QMenu* menu, const QStringList& path) {
    for (QAction* a : menu->actions())
        if (a->text() == path[0]) return path.size() == 1 ? a : Entry(a->menu(), path.mid(1));
    return nullptr;
}

inline void Choose(App& p, const QStringList& path) {
    WithMenu(p, [&](QMenu* menu) {
        QAction* a = Entry(menu, path);
        ASSERT_TRUE(a) << path.join('/').toStdString();
        a->trigger();
    });
}

}  // namespace orbimo::apptest
