#include "app/Program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QTranslator>
#include <cmath>

#include "app/PictureExport.h"
#include "files/Catalogue.h"

namespace orbimo {

namespace {
ScreenInfo PrimaryScreen() {
    // Qt's own dialogs (the file dialog, the context menu's shortcuts) speak Russian too.
    static QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    return QtScreenMetrics().Screen();
}
}  // namespace

Program::Program(const std::u16string& programFolder)
    : info(PrimaryScreen()),
      surface(static_cast<int>(std::lround(info.widthTwips / info.twipsPerPixelX)),
              static_cast<int>(std::lround(info.heightTwips / info.twipsPerPixelY)),
              ToColour(QApplication::palette().color(QPalette::Button))),
      files(programFolder),
      params(state, toolkit),
      logic(state, params, surface, toolkit, files, screen) {
    logic.Startup();
    form = std::make_unique<MainWindow>(logic, surface, toolkit, info.twipsPerPixelX,
                                        info.twipsPerPixelY);
    window = std::make_unique<ParamsWindow>(params, files, info.twipsPerPixelX, info.twipsPerPixelY,
                                            form.get());
    logic.showParams = [this] { window->ShowBeside(*form); };
    // An option chosen there puts the picture back in that body's own frame.
    window->viewChosen = [this](int k) { form->ChooseView(k); };
    form->chooseSystem = [this](const std::u16string& entry) {
        ChooseSystem(params, files, entry);
    };
    form->pictureName = [this] {
        return DefaultPictureName(window->SystemBox()->currentText(),
                                  QString::fromStdU16String(params.simDate.text));
    };
    toolkit.SetParentWindow(form.get());
}

Program::~Program() {
    // The parameters window is the main window's child: let the main window own its end.
    window.release();
}

}  // namespace orbimo
