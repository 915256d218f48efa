#include <QApplication>
#include <cstdlib>

#include "app/Program.h"
#include "platform/DataFolder.h"
#include "platform/StdFileSystem.h"

#ifndef ORBIMO_SHIPPED_EXAMPLES
#define ORBIMO_SHIPPED_EXAMPLES "../share/orbimo/Save"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbimo"));
    // Beside the program when its folder is writable; installed system-wide, the user's
    // data folder, which receives the shipped example systems at the first start.
    const std::filesystem::path programFolder =
        orbimo::PathFromText(QCoreApplication::applicationDirPath().toStdU16String());
    const orbimo::DataFolderChoice data = orbimo::ChooseDataFolder(
        programFolder, orbimo::UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
        programFolder / ORBIMO_SHIPPED_EXAMPLES);
    // One instance for the life of the process, as the windows and the record are.
    static orbimo::Program program(orbimo::TextFromPath(data.folder));
    program.form->showMaximized();
    return QApplication::exec();
}
