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

void ConnectWindows(MainWindowLogic& logic, MainWindow& form, ParamsWindow& window) {
    logic.showParams = [&] { window.ShowBeside(form); };
    // An option chosen there puts the picture back in that body's own frame.
    window.viewChosen = [&](int k) { form.ChooseView(k); };
    window.changedSystem = [&](StepKind kind, int body, const std::u16string& what) {
        logic.RecordChange(kind, body, what);
    };
    window.undo = [&](bool redo) { form.Run(redo ? Command::Redo : Command::Undo); };
}

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
    ConnectWindows(logic, *form, *window);
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
