// The headless runner: the program's start-up, "Пуск" and saving, driven without windows.
#include "batch/BatchRunner.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <tuple>
#include <utility>

#include "batch/CsvTrack.h"
#include "convert/DateTimeText.h"
#include "core/AdvanceTick.h"
#include "core/OrbitalElements.h"
#include "files/SaveLoad.h"
#include "files/SystemFile.h"
#include "files/SystemFileItems.h"
#include "mainwindow/Overlay.h"
#include "mainwindow/TotalsRows.h"

namespace orbimo {

namespace {

std::u16string Decimal(long long v) {
    const std::string digits = std::to_string(v);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string Quoted(const std::u16string& path) {
    return u"«" + path + u"»";
}

/// The folder a file path names its file in ("." for a bare name).
std::u16string ParentOf(const std::u16string& path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    if (slash == std::u16string::npos) return u".";
    if (slash == 0) return std::u16string(1, kPathSeparator);
    return path.substr(0, slash);
}

}  // namespace

void BatchToolkit::EndProgram() {
    // Nothing of the batch run clicks "Выход"; if it ever did, end as the program would.
    std::fflush(nullptr);
    std::_Exit(0);
}

SimState StartOfRun(const SimState& loaded, const RunSettings& run) {
    // What StartOrStop copies into the record before its first tick.
    SimState s = loaded;
    s.PixelOwner = PixelOwnerGrid{};
    for (int b = 1; b <= s.BodyCount; ++b) {
        s.Mass[b] = run.mass[b];
        s.PosX[b] = run.posX[b];
        s.PosY[b] = run.posY[b];
        s.VelX[b] = run.velX[b];
        s.VelY[b] = run.velY[b];
        s.BodyOn[b] = run.bodyOn[b];
    }
    s.TimeStep = run.timeStep;
    s.StepLength = run.stepLength;
    s.Zoom = run.zoom;
    return s;
}

BatchRunner::BatchRunner(const BatchOptions& options, std::u16string programFolder)
    : options_(options),
      screen_(options.width, options.height),
      surface_(options.width, options.height, kWindowBackground),
      files_(std::move(programFolder)),
      params_(state_, toolkit_),
      logic_(state_, params_, surface_, toolkit_, files_, screen_) {
    toolkit_.onMessage = [this](const std::u16string& m) {
        if (onMessage) onMessage(m);
    };
}

bool BatchRunner::Refuse(const std::u16string& message) {
    toolkit_.MessageBox(message);
    return false;
}

bool BatchRunner::CheckOutputFolder(const std::u16string& path) {
    if (path.empty()) return true;
    if (const auto a = files_.Attributes(path); a && (*a & kAttrDirectory))
        return Refuse(u"Нельзя записать " + Quoted(path) + u": на месте файла находится папка.");
    const std::u16string folder = ParentOf(path);
    const auto a = files_.Attributes(folder);
    if (!a || !(*a & kAttrDirectory))
        return Refuse(u"Нельзя записать " + Quoted(path) + u": папка " + Quoted(folder) +
                      u" не найдена.");
    if (*a & kAttrReadOnly)
        return Refuse(u"Нельзя записать " + Quoted(path) + u": нет доступа к папке " +
                      Quoted(folder) + u".");
    return true;
}

BatchReport BatchRunner::Run() {
    BatchReport r;
    const std::u16string& path = options_.systemFile;

    // A file the program would load as "nothing there" is an error for a batch run.
    const std::optional<std::string> bytes = files_.Read(path);
    if (!bytes) {
        Refuse(u"Не удалось прочитать файл " + Quoted(path) + u".");
        return r;
    }
    SystemFileReader reader(*bytes);
    int items = 0;
    while (items < kSystemFileItemCount && reader.Next()) ++items;
    if (items < kSystemFileItemCount) {
        Refuse(u"Файл " + Quoted(path) + u" — не файл системы: в нём " + Decimal(items) +
               u" элементов из " + Decimal(kSystemFileItemCount) + u".");
        return r;
    }
    for (const std::u16string* out : {&options_.outFile, &options_.pictureFile, &options_.csvFile,
                                      &options_.totalsFile, &options_.elementsFile})
        if (!CheckOutputFolder(*out)) return r;

    // As the program starts: built-in system, readout, then this file instead of the state file.
    logic_.Startup(path);

    // The fields as "Пуск" reads them; a refusal has already been reported.
    const std::optional<RunSettings> run = logic_.ReadRunSettings();
    if (!run) return r;
    // The stop date as StartOrStop will take it (the loaded text is already normal, so quietly).
    BatchToolkit quiet;
    double stop = ParseDate(params_.stopDate.text, quiet);
    if (!(stop > state_.SimTime)) stop = 0;
    if (stop == 0 && options_.maxTicks <= 0) {
        Refuse(u"В системе " + Quoted(path) +
               u" нет даты остановки позже времени начала (поле «Таймер»): укажите --ticks N.");
        return r;
    }
    r.start = StartOfRun(state_, *run);
    r.before = MeasureTotals(r.start);
    r.startTime = state_.SimTime;
    r.stopTime = stop;
    r.stepLong = run->stepLong;
    r.leapfrog = options_.leapfrog;
    logic_.SetLeapfrog(options_.leapfrog);
    logic_.SetPlotting(options_.draw);

    // The orbits' centre must take part from the start.
    const int centre = options_.centre != 0 ? options_.centre : HeaviestBody(r.start);
    if (!options_.elementsFile.empty() &&
        (centre < 1 || centre > r.start.BodyCount || r.start.BodyOn[centre] != 1)) {
        Refuse(u"--centre: тело " + Decimal(centre) + u" не участвует в счёте системы " +
               Quoted(path) + u".");
        return r;
    }

    CsvTrack csv, totals;
    std::u16string reason;
    for (const auto& [table, file, header] :
         {std::tuple{&csv, &options_.csvFile, kCsvHeader},
          std::tuple{&totals, &options_.totalsFile, kTotalsHeader}}) {
        if (file->empty()) continue;
        if (!table->Open(*file, reason, header)) {
            Refuse(u"Не удалось создать файл " + Quoted(*file) + u": " + reason + u".");
            return r;
        }
    }
    if (csv.IsOpen()) csv.Rows(r.start);
    // Energy and angular momentum with the velocities at the positions' moment, as the readout.
    auto totalsRow = [&](double time, const Totals& t) {
        std::string row;
        AppendTotalsRow(row, time, t, SignedEnergyDrift(r.before, t));
        totals.Append(row + '\n');
    };
    if (totals.IsOpen()) totalsRow(r.startTime, r.before);

    // The readout's warnings, once each: the first drift beyond the limit, the first pair named.
    bool driftSaid = false, pairSaid = false;
    auto warn = [&] {
        const RunWarnings w = CheckRun(logic_);
        auto say = [&](bool& said, const std::u16string& text) {
            said = true;
            r.warnings.push_back(text);
            if (onWarning) onWarning(text);
        };
        if (w.driftHigh && !driftSaid) say(driftSaid, DriftWarningText(w.drift));
        if (!w.pair.empty() && !pairSaid) say(pairSaid, PairWarningText(w.pair));
    };
    std::int64_t ticks = 0, csvTick = 0;
    const std::int64_t limit = options_.maxTicks;
    const std::int64_t every = std::max<std::int64_t>(options_.csvEvery, 1);
    const double span = stop - r.startTime;
    logic_.afterTick = [&] {
        ++ticks;
        if (limit > 0 && ticks >= limit) state_.StopRequested = -1;  // ends after this tick
        if (csv.IsOpen() && ticks % every == 0) {
            // The track's velocities at its positions' moment, also in a leapfrog run.
            auto v = logic_.VelocitiesInStep();
            std::swap(v.first, state_.VelX), std::swap(v.second, state_.VelY);
            csv.Rows(state_);
            std::swap(v.first, state_.VelX), std::swap(v.second, state_.VelY);
        }
        if (totals.IsOpen() && ticks % every == 0)
            totalsRow(state_.SimTime, logic_.CurrentTotals());
        if (ticks % every == 0) csvTick = ticks;
        if (onTick) onTick(state_, ticks);
        if ((ticks & 4095) == 0) warn();
        if ((ticks & 4095) == 0 && onProgress) {
            double done = limit > 0 ? static_cast<double>(ticks) / static_cast<double>(limit) : 0;
            if (stop != 0) done = std::max(done, (state_.SimTime - r.startTime) / span);
            onProgress(std::clamp(done, 0.0, 1.0), ticks);
        }
    };
    if (beforeRun) beforeRun(r);
    (void)ChosenTickPath();  // the paths are timed before this run's clock starts
    const auto t0 = std::chrono::steady_clock::now();
    logic_.StartOrStop();
    r.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    logic_.afterTick = nullptr;

    const RunOutcome outcome = logic_.LastRun();
    if (!outcome.started) return r;  // refused by StartOrStop itself; its message says why
    r.ran = true;
    r.ticks = logic_.Status().ticks;  // a leapfrog run may end a tick back (MainWindowLogic)
    r.endTime = state_.SimTime;
    r.after = MeasureTotals(state_);
    warn();
    r.fault = outcome.fault;
    r.status = outcome.fault == TickFault::None ? BatchStatus::Done : BatchStatus::Fault;

    // The outputs hold the state the run ended with: after a fault, the last good tick.
    if (csvTick != ticks) {
        if (csv.IsOpen()) csv.Rows(state_);
        if (totals.IsOpen()) totalsRow(state_.SimTime, r.after);
    }
    auto close = [&](CsvTrack& table, const std::u16string& file) {
        if (table.IsOpen() && !table.Close(reason)) {
            Refuse(u"Не удалось записать файл " + Quoted(file) + u": " + reason + u".");
            r.status = BatchStatus::Refused;
        }
    };
    close(csv, options_.csvFile);
    close(totals, options_.totalsFile);
    if (!options_.elementsFile.empty()) {
        std::string table = std::string(kElementsHeader) + '\n';
        for (int b = 1; b <= state_.BodyCount; ++b)
            if (b != centre && state_.BodyOn[b] == 1)
                AppendElementsRow(table, b, params_.bodies[static_cast<std::size_t>(b)].caption,
                                  centre,
                                  ElementsAround(state_, state_.VelX, state_.VelY, b, centre));
        const WriteResult w = files_.WriteAtomic(options_.elementsFile, table);
        if (!w.ok) {
            Refuse(u"Не удалось записать файл " + Quoted(options_.elementsFile) + u": " + w.reason +
                   u".");
            r.status = BatchStatus::Refused;
        }
    }
    if (!options_.outFile.empty()) {
        // "Сохранить" after the run: the readout has put the state into the fields.
        const WriteResult w = SaveSystem(params_, files_, options_.outFile);
        if (!w.ok) {
            Refuse(SaveFailedMessage(options_.outFile, w) + u".");
            r.status = BatchStatus::Refused;
        }
    }
    if (!options_.pictureFile.empty() && writePicture) {
        const WriteResult w = writePicture(surface_, options_.pictureFile);
        if (!w.ok) {
            Refuse(u"Не удалось записать рисунок " + Quoted(options_.pictureFile) + u": " +
                   w.reason + u".");
            r.status = BatchStatus::Refused;
        }
    }
    return r;
}

}  // namespace orbimo
