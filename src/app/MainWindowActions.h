#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>
#include <vector>

namespace orbimo {

/// What the main window's keys and menu entries do.
enum class Command {
    StartStop,
    Params,
    Clear,
    SavePicture,
    SavePictureBare,
    CopyPicture,
    CopyPictureBare,
    Faster,
    Slower,
    Home,
    Fit,
    CentreOfMass,
    Rotating,
    ChooseRotatingPair,
    Readout,
    Labels,
    ScaleBar,
    Leapfrog,
    Graphs,
    Orbit,
    Ruler,
    LineWidth1,
    LineWidth2,
    LineWidth3,
    Arrows,
    Undo,
    Redo,
    AllOff,
    JumpToDate,
    TickBack,
    TickForward,
    HundredBack,
    HundredForward,
    Help,
};

/// Where a command stands in the right-click menu.
enum class MenuPlace { Edit, Run, Picture, Pace, View, Layers, LineWidth, Help };
/// The submenu a place is, or empty for the menu itself.
QString MenuTitle(MenuPlace place);

/// One entry of the table every key, menu entry and line of the help comes from.
struct CommandEntry {
    Command command;
    MenuPlace place;
    QString text;              // the menu entry
    QList<QKeySequence> keys;  // the first is the one the help and the menu name
    QString help;              // what the help says it does
    bool checkable = false;
};

/// The main window's commands in the order the help lists them.
const std::vector<CommandEntry>& MainWindowCommands();

/// A key as the help names it: "Пробел", "+", "−", "Delete", "Ctrl+S".
QString KeyName(const QKeySequence& key);

}  // namespace orbimo
