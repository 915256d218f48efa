#include <QApplication>
#include <QPalette>
#include <cmath>

#include "app/Form1.h"
#include "app/Параметры.h"
#include "core/Form1Logic.h"
#include "params/ParamsModel.h"
#include "platform/MemorySurface.h"
#include "platform/StdFileSystem.h"
#include "platform/qt/QtToolkit.h"

int main(int argc, char** argv) {
    using namespace orbimo;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbimo"));

    QtToolkit toolkit;
    QtScreenMetrics screen;
    const ScreenInfo info = screen.Screen();
    MemorySurface surface(static_cast<int>(std::lround(info.widthTwips / info.twipsPerPixelX)),
                          static_cast<int>(std::lround(info.heightTwips / info.twipsPerPixelY)),
                          ToColour(QApplication::palette().color(QPalette::Button)));
    StdFileSystem files(QCoreApplication::applicationDirPath().toStdU16String());

    static SimState state;  // the one shared record, for the life of the process
    ParamsModel params(state, toolkit);
    Form1Logic logic(state, params, surface, toolkit, files, screen);
    logic.Startup();

    Form1 form(logic, surface, toolkit, info.twipsPerPixelX, info.twipsPerPixelY);
    Параметры window(params, files, info.twipsPerPixelX, info.twipsPerPixelY, &form);
    logic.showParams = [&] { window.ShowBeside(form); };
    toolkit.SetParentWindow(&form);
    form.showMaximized();
    return QApplication::exec();
}
