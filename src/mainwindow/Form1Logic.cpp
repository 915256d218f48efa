#include "mainwindow/Form1Logic.h"

#include <cmath>

#include "convert/DateTimeText.h"
#include "convert/NumberText.h"
#include "core/AdvanceTick.h"
#include "core/ProjectToPixel.h"
#include "display/Readout.h"
#include "files/Catalogue.h"
#include "files/SaveLoad.h"

namespace orbimo {

namespace {
constexpr double kButtonWidth = 1095;
constexpr double kButtonHeight = 375;
}  // namespace

Form1Logic::Form1Logic(SimState& state, ParamsModel& params, PixelSurface& surface,
                       Toolkit& toolkit, FileSystem& files, const ScreenMetrics& screen)
    : s_(state),
      params_(params),
      surface_(surface),
      toolkit_(toolkit),
      files_(files),
      screen_(screen),
      plotter_(state, surface) {
    params_.clearPlot = [this] { plotter_.Очистить(false); };
}

void Form1Logic::Startup(const std::u16string& systemFile) {
    SetConstants(s_);
    const ScreenInfo screen = screen_.Screen();
    windowWidth_ = screen.widthTwips;
    windowHeight_ = screen.heightTwips;
    // Single precision, as the window system computes control positions.
    const float top =
        static_cast<float>(windowHeight_) - static_cast<float>(kButtonHeight) - 1800.0f;
    float left =
        static_cast<float>(windowWidth_) - 4.0f * static_cast<float>(kButtonWidth) - 200.0f;
    for (auto& b : buttons_) {
        b = TwipRect{left, top, kButtonWidth, kButtonHeight};
        left = left + static_cast<float>(kButtonWidth);
    }
    // The parameters window exists from here on; its own creation fills the catalogue.
    FillSystems(params_, files_);
    for (int b = 1; b <= s_.BodyCount; ++b) s_.BodyColor[b] = params_.bodies[b].captionColour;
    s_.TwipsPerPixelX = static_cast<std::int16_t>(RoundHalfEven(screen.twipsPerPixelX));
    s_.TwipsPerPixelY = static_cast<std::int16_t>(RoundHalfEven(screen.twipsPerPixelY));
    if (s_.TwipsPerPixelX < 1) s_.TwipsPerPixelX = 1;
    if (s_.TwipsPerPixelY < 1) s_.TwipsPerPixelY = 1;
    CreatePixelOwner(s_, screen.widthTwips, screen.heightTwips);
    s_.OriginX = windowWidth_ / 2;
    s_.OriginY = windowHeight_ / 2 - windowHeight_ / 8;
    StoreBuiltInSystem(s_);
    ВывестиКоординаты(s_, params_);
    ЗагрузитьТела(params_, files_, systemFile);
}

void Form1Logic::Click(int index) {
    switch (index) {
        case 0:
            Play1();
            break;
        case 1:
            s_.StopRequested = -1;
            if (showParams) showParams();
            break;
        case 2:
            plotter_.Очистить(true);
            break;
        case 3:
            toolkit_.EndProgram();
        default:
            break;
    }
}

void Form1Logic::RepaintRequest() {
    surface_.Clear();
    plotter_.Repaint();
}

void Form1Logic::SetCaption(const std::u16string& c) {
    caption0_ = c;
    if (captionChanged) captionChanged();
}

std::optional<RunSettings> Form1Logic::ReadRunSettings() {
    RunSettings run;
    auto number = [this](const std::u16string& text, const std::u16string& where,
                         double& out) -> bool {
        if (auto v = ЧислоИзТекста(text)) {
            out = *v;
            return true;
        }
        // A pasted novel must not become a message box the size of the screen.
        const std::u16string shown = text.size() > 40 ? text.substr(0, 40) + u"…" : text;
        toolkit_.MessageBox(where + u": «" + shown +
                            u"» — это не число (или число вне допустимого диапазона).\n"
                            u"Исправьте значение в окне «Параметры» и нажмите «Пуск» снова.");
        return false;
    };
    for (int b = 1; b <= s_.BodyCount; ++b) {
        const BodyRow& row = params_.bodies[b];
        const std::u16string who = u"«" + row.caption + u"», ";
        if (!number(row.mass.text, who + u"Масса", run.mass[b]) ||
            !number(row.x.text, who + u"X", run.posX[b]) ||
            !number(row.y.text, who + u"Y", run.posY[b]) ||
            !number(row.vx.text, who + u"Скор.X", run.velX[b]) ||
            !number(row.vy.text, who + u"Скор.Y", run.velY[b]))
            return std::nullopt;
        run.bodyOn[b] = static_cast<std::int16_t>(row.state);
    }
    if (!number(params_.txtdTime.text, u"Шаг(с)", run.timeStep) ||
        !number(params_.txtdLong.text, u"Шаг(м)", run.stepLength) ||
        !number(params_.zoomText, u"Масштаб", run.zoom))
        return std::nullopt;
    if (!(run.zoom > 0)) {
        toolkit_.MessageBox(u"Масштаб должен быть больше нуля");
        return std::nullopt;
    }
    run.stepLong = params_.stepLongState != 0;
    return run;
}

void Form1Logic::Play1() {
    if (caption0_ == kCaptionStop) {
        s_.StopRequested = -1;
        return;
    }
    lastRun_ = RunOutcome{};
    // Everything is checked before anything changes: a refused run leaves no trace.
    const std::optional<RunSettings> run = ReadRunSettings();
    if (!run) return;
    lastRun_.started = true;
    double stopTime = ВремяИзТекста(params_.txtTimer.text, toolkit_);
    if (!(stopTime > s_.SimTime)) stopTime = 0;
    s_.StopRequested = 0;
    SetCaption(kCaptionStop);
    for (int b = 1; b <= s_.BodyCount; ++b) {
        s_.Mass[b] = run->mass[b];
        s_.PosX[b] = run->posX[b];
        s_.PosY[b] = run->posY[b];
        s_.VelX[b] = run->velX[b];
        s_.VelY[b] = run->velY[b];
        s_.BodyOn[b] = run->bodyOn[b];
    }
    s_.TimeStep = run->timeStep;
    s_.StepLength = run->stepLength;
    s_.Zoom = run->zoom;
    RunLoop(*run, stopTime);
}

void Form1Logic::RunLoop(const RunSettings& run, double stopTime) {
    TickFault fault = TickFault::None;
    std::array<Pixel, kSlots> pixels;
    while (s_.StopRequested == 0) {
        fault = AdvanceTick(s_, run.stepLong);
        if (fault != TickFault::None) break;
        const unsigned computed = ProjectAll(s_, pixels);
        for (int b = 1; b <= s_.BodyCount; ++b) {
            // A body whose pixel cannot be computed is simply not drawn this tick.
            if (s_.BodyOn[b] != 1 || !((computed >> b) & 1u)) continue;
            plotter_.MoveTo(b, pixels[static_cast<std::size_t>(b)].x,
                            pixels[static_cast<std::size_t>(b)].y);
        }
        const double next = s_.SimTime + s_.TimeStep;
        if (!std::isfinite(next)) {
            fault = TickFault::Overflow;
            break;
        }
        s_.SimTime = next;
        if (afterTick) afterTick();
        if (stopTime != 0 && s_.SimTime >= stopTime) break;
        toolkit_.DispatchPendingEvents();
    }
    s_.StopRequested = 0;
    lastRun_.fault = fault;
    ВывестиКоординаты(s_, params_);
    SetCaption(kCaptionStart);
    if (fault != TickFault::None) toolkit_.MessageBox(TickFaultMessage(fault));
}

std::u16string TickFaultMessage(TickFault fault) {
    std::u16string why;
    switch (fault) {
        case TickFault::DivisionByZero:
            why =
                u"деление на ноль: в режиме «Шаг длины» ни одно участвующее тело не движется, "
                u"поэтому шаг по времени определить нельзя";
            break;
        case TickFault::Overflow:
            why =
                u"переполнение: значения вышли за пределы допустимого диапазона "
                u"(слишком большие массы, расстояния, скорости или шаг)";
            break;
        default:
            why = u"недопустимая операция в вычислениях";
            break;
    }
    return u"Расчёт остановлен: " + why +
           u".\nВ окне «Параметры» показано последнее правильно рассчитанное состояние.";
}

}  // namespace orbimo
