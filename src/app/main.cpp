#include <QApplication>

#include "app/Program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbimo"));
    // One instance for the life of the process, as the windows and the record are.
    static orbimo::Program program(QCoreApplication::applicationDirPath().toStdU16String());
    program.form->showMaximized();
    return QApplication::exec();
}
