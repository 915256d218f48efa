#pragma once
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "app/ParamsWindow.h"
#include "mainwindow/MainWindowLogic.h"
#include "params/ParamsModel.h"
#include "platform/MemorySurface.h"
#include "platform/StdFileSystem.h"
#include "platform/qt/QtToolkit.h"

namespace orbimo {

/// What one window asks of the other: «Параметры» shown beside the main window, a view chosen
/// there, every change made there one step of the undo history, Ctrl+Z there undoing it.
void ConnectWindows(MainWindowLogic& logic, MainWindow& form, ParamsWindow& window);

/// The whole program: the record, both windows and what they stand on. Needs a QApplication.
class Program {
  public:
    /// Builds everything and runs the main window's start-up; nothing is shown yet.
    explicit Program(const std::u16string& programFolder);
    ~Program();

    QtToolkit toolkit;
    QtScreenMetrics screen;
    ScreenInfo info;
    MemorySurface surface;
    StdFileSystem files;
    SimState state;
    ParamsModel params;
    MainWindowLogic logic;
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<ParamsWindow> window;
};

}  // namespace orbimo
