#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "app/Program.h"
#include "core/TickPathChoice.h"
#include "platform/DataFolder.h"
#include "platform/StdFileSystem.h"

#ifndef ORBIMO_INSTALLED_DATA
#define ORBIMO_INSTALLED_DATA "../share/orbimo"
#endif

int main(int argc, char** argv) {
    orbimo::ChooseTickPathSoon();  // on the other core while the windows are built
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbimo"));
    // A build or a portable copy keeps its files beside itself; an installed program keeps them
    // in the user's data folder, which receives the example systems at the first start.
    const std::filesystem::path programFolder =
        orbimo::PathFromText(QCoreApplication::applicationDirPath().toStdU16String());
    const orbimo::DataFolderChoice data = orbimo::ChooseDataFolder(
        programFolder, programFolder / ORBIMO_INSTALLED_DATA,
        orbimo::UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    if (data.folder.empty()) {
        orbimo::QtToolkit().MessageBox(data.problem);
        return 1;
    }
    // One instance for the life of the process, as the windows and the record are.
    static orbimo::Program program(orbimo::TextFromPath(data.folder));
    program.form->showMaximized();
    if (!data.problem.empty())
        QTimer::singleShot(0, [&] { program.toolkit.MessageBox(data.problem); });
    return QApplication::exec();
}
