// orbimo-batch: runs a system file headless through the program's own logic.
#include <unistd.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "batch/Accuracy.h"
#include "batch/BatchRunner.h"
#include "batch/PlainLoop.h"
#include "batch/Summary.h"
#include "core/TickPathChoice.h"
#include "mainwindow/Overlay.h"
#include "paint/OverlayPainter.h"
#include "platform/StdFileSystem.h"
#include "platform/Utf8.h"

namespace {

using namespace orbimo;

constexpr int kBadArguments = static_cast<int>(BatchStatus::Refused);
constexpr int kLargestSide = 16384;

constexpr char16_t kUsage[] =
    u"Использование: orbimo-batch СИСТЕМА.sav [--ticks N] [--out РЕЗУЛЬТАТ.sav]\n"
    u"       [--png РИСУНОК.png [--size ШxВ] [--labels]] [--csv ТРАССА.csv [--every K]]\n"
    u"       [--totals ИТОГИ.csv] [--elements ОРБИТЫ.csv [--centre K]] [--leapfrog] [--quiet]\n"
    u"       orbimo-batch --accuracy ПАПКА_С_ПРИМЕРАМИ\n";

constexpr char16_t kHelp[] =
    u"\n"
    u"Загружает систему, как программа загружает свой файл состояния при запуске, и считает,\n"
    u"как по кнопке «Пуск», до даты остановки («Таймер») или до N тактов — что раньше.\n"
    u"\n"
    u"  --ticks N        не больше N тактов (обязательно, если в системе нет даты остановки)\n"
    u"  --out ФАЙЛ       записать результат, как программа сохраняет файл состояния после счёта\n"
    u"  --png ФАЙЛ       нарисовать картину в конце счёта, как её показывает главное окно\n"
    u"  --size ШxВ       размер главного окна в пикселях (по умолчанию 1920x1080)\n"
    u"  --labels         подписать на картине тела, легенду, масштабную линейку и дату\n"
    u"  --csv ФАЙЛ       записать трассу: заголовок, затем каждые K тактов по строке на тело:\n"
    u"                   t_s, дата-время, номер тела, x, y, vx, vy (СИ, десятичная точка);\n"
    u"                   первые строки — начало счёта, последние — его конец\n"
    u"  --every K        шаг трассы и итогов в тактах (по умолчанию 1)\n"
    u"  --totals ФАЙЛ    записать энергию и момент импульса: заголовок, затем строка в начале,\n"
    u"                   каждые K тактов и в конце: t_s, дата-время, кинетическая,\n"
    u"                   потенциальная и полная энергия (Дж), момент импульса (кг·м²/с) и\n"
    u"                   относительный дрейф полной энергии; скорости на момент координат\n"
    u"  --elements ФАЙЛ  записать в конце счёта орбиту каждого участвующего тела вокруг центра:\n"
    u"                   a, e, период, ближайшее и дальнейшее расстояние (СИ; пусто, если\n"
    u"                   орбита не замкнута)\n"
    u"  --centre K       центр орбит — тело K (по умолчанию самое тяжёлое участвующее)\n"
    u"  --leapfrog       точный старт: скорости на полшага назад в начале счёта и на полшага\n"
    u"                   вперёд в конце (второй порядок точности вместо первого)\n"
    u"  --accuracy       вместо счёта одной системы: таблица точности обоих стартов на примерах\n"
    u"                   из папки (Восьмёрка трёх тел, Комета Галлея, Солнце, Земля и Луна,\n"
    u"                   Солнечная система);\n"
    u"                   считает около минуты\n"
    u"  --quiet          без полосы хода и без итогов\n"
    u"  --version        версия программы\n"
    u"  -h, --help       эта справка\n"
    u"\n"
    u"Код выхода: 0 — готово; 1 — счёт остановлен арифметической ошибкой (записано последнее\n"
    u"правильное состояние); 2 — неверные аргументы, файл не читается, поле не число, масштаб\n"
    u"не больше нуля, нет даты остановки и нет --ticks, результат не записать.\n";

void Print(std::FILE* to, const std::u16string& text) {
    std::fputs(ToUtf8(text).c_str(), to);
}

int BadArguments(const std::u16string& why) {
    Print(stderr, u"orbimo-batch: " + why + u"\n" + kUsage);
    return kBadArguments;
}

std::u16string Text(const QString& s) {
    return s.toStdU16String();
}

/// A whole number from first to last (no sign, no spaces), within 1..largest.
std::optional<long long> WholeInRange(const QString& text, long long largest) {
    const QByteArray bytes = text.toLatin1();
    long long v = 0;
    const char* end = bytes.constData() + bytes.size();
    const auto [ptr, ec] = std::from_chars(bytes.constData(), end, v);
    if (bytes.isEmpty() || ec != std::errc{} || ptr != end || bytes[0] == '-' || v < 1 ||
        v > largest)
        return std::nullopt;
    return v;
}

WriteResult WritePng(const MemorySurface& surface, const std::u16string& path,
                     const Overlay* overlay) {
    // The same RGB32 words as the window shows; the layers go over them, never into the drawing.
    QImage image(surface.Width(), surface.Height(), QImage::Format_RGB32);
    surface.CopyWords({0, 0, surface.Width() - 1, surface.Height() - 1},
                      reinterpret_cast<std::uint32_t*>(image.bits()),
                      static_cast<std::size_t>(image.bytesPerLine() / 4));
    if (overlay) {
        QPainter p(&image);
        PaintOverlay(p, *overlay, image.size());
    }
    QSaveFile file(QString::fromStdU16String(path));
    if (!file.open(QIODevice::WriteOnly)) return {false, Text(file.errorString())};
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        return {false, u"не удалось закодировать PNG"};
    }
    if (!file.commit()) return {false, Text(file.errorString())};
    return {};
}

int Main(QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption ticks(QStringLiteral("ticks"), {}, QStringLiteral("N"));
    const QCommandLineOption out(QStringLiteral("out"), {}, QStringLiteral("FILE"));
    const QCommandLineOption png(QStringLiteral("png"), {}, QStringLiteral("FILE"));
    const QCommandLineOption size(QStringLiteral("size"), {}, QStringLiteral("WxH"));
    const QCommandLineOption csv(QStringLiteral("csv"), {}, QStringLiteral("FILE"));
    const QCommandLineOption every(QStringLiteral("every"), {}, QStringLiteral("K"));
    const QCommandLineOption totals(QStringLiteral("totals"), {}, QStringLiteral("FILE"));
    const QCommandLineOption elements(QStringLiteral("elements"), {}, QStringLiteral("FILE"));
    const QCommandLineOption centre(QStringLiteral("centre"), {}, QStringLiteral("K"));
    const QCommandLineOption quiet(QStringLiteral("quiet"));
    const QCommandLineOption labels(QStringLiteral("labels"));
    const QCommandLineOption leapfrog(QStringLiteral("leapfrog"));
    const QCommandLineOption accuracy(QStringLiteral("accuracy"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    // Also times a plain scalar loop of the same arithmetic and prints both rates; with
    // --bench-check R the status is 3 when the run is slower than R times the plain loop.
    const QCommandLineOption bench(QStringLiteral("bench"));
    const QCommandLineOption benchCheck(QStringLiteral("bench-check"), {}, QStringLiteral("R"));
    const QList<QCommandLineOption> valued = {ticks, out,    png,      size,   csv,
                                              every, totals, elements, centre, benchCheck};
    for (const auto& o : valued) parser.addOption(o);
    parser.addOptions({quiet, help, version, bench, labels, leapfrog, accuracy});

    const QStringList args = app.arguments();
    if (!parser.parse(args)) {
        if (!parser.unknownOptionNames().isEmpty())
            return BadArguments(u"неизвестный параметр «" +
                                Text(parser.unknownOptionNames().first()) + u"».");
        // The one other failure: an option that takes a value came last, without one.
        for (const auto& o : valued) {
            const QString name = o.names().first();
            if (args.size() > 1 && (args.last() == "--" + name || args.last() == "-" + name))
                return BadArguments(u"после «--" + Text(name) + u"» нужно значение.");
        }
        return BadArguments(u"неверные аргументы (" + Text(parser.errorText()) + u").");
    }
    if (parser.isSet(help)) {
        Print(stdout, std::u16string(kUsage) + kHelp);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fputs("orbimo-batch " ORBIMO_VERSION "\n", stdout);
        return 0;
    }
    for (const auto& o : valued)
        if (parser.values(o).size() > 1)
            return BadArguments(u"параметр «--" + Text(o.names().first()) +
                                u"» указан больше одного раза.");
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return BadArguments(files.isEmpty() ? u"не указан файл системы."
                                            : u"указано больше одного файла системы.");

    if (parser.isSet(accuracy)) {
        std::u16string reason;
        bool first = true;
        const bool done = MeasureAccuracy(
            Text(files.first()),
            [&first](const AccuracyRow& row) {
                Print(stdout, (first ? AccuracyHead() : u"") + AccuracyLine(row));
                first = false;
                std::fflush(stdout);
            },
            reason);
        if (done) return 0;
        Print(stderr, u"orbimo-batch: " + reason + u"\n");
        return kBadArguments;
    }

    BatchOptions options;
    options.systemFile = Text(files.first());
    options.leapfrog = parser.isSet(leapfrog);
    if (parser.isSet(ticks)) {
        const auto n = WholeInRange(parser.value(ticks), 1'000'000'000'000'000LL);
        if (!n) return BadArguments(u"--ticks: нужно целое число тактов больше нуля.");
        options.maxTicks = *n;
    }
    if (parser.isSet(every)) {
        const auto k = WholeInRange(parser.value(every), 1'000'000'000'000'000LL);
        if (!k) return BadArguments(u"--every: нужно целое число тактов больше нуля.");
        options.csvEvery = *k;
    }
    if (parser.isSet(centre)) {
        const auto k = WholeInRange(parser.value(centre), kBodies);
        if (!k) return BadArguments(u"--centre: нужен номер тела от 1 до 11.");
        if (!parser.isSet(elements))
            return BadArguments(u"--centre действует только вместе с --elements.");
        options.centre = static_cast<int>(*k);
    }
    if (parser.isSet(size)) {
        const QStringList wh = parser.value(size).split(QLatin1Char('x'));
        std::optional<long long> w, h;
        if (wh.size() == 2) {
            w = WholeInRange(wh[0], kLargestSide);
            h = WholeInRange(wh[1], kLargestSide);
        }
        if (!w || !h)
            return BadArguments(u"--size: нужен размер вида 1920x1080, каждая сторона от 1 до " +
                                GroupedInteger(kLargestSide) + u".");
        options.width = static_cast<int>(*w);
        options.height = static_cast<int>(*h);
    }
    for (const auto& [o, target] :
         {std::pair{&out, &options.outFile}, std::pair{&png, &options.pictureFile},
          std::pair{&csv, &options.csvFile}, std::pair{&totals, &options.totalsFile},
          std::pair{&elements, &options.elementsFile}}) {
        if (!parser.isSet(*o)) continue;
        *target = Text(parser.value(*o));
        if (target->empty())
            return BadArguments(u"--" + Text(o->names().first()) + u": пустое имя файла.");
    }

    double minRatio = 0;
    if (parser.isSet(benchCheck)) {
        bool ok = false;
        minRatio = parser.value(benchCheck).toDouble(&ok);
        if (!ok || !(minRatio > 0)) return BadArguments(u"--bench-check: нужно число больше нуля.");
    }

    const bool silent = parser.isSet(quiet);
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    BatchRunner runner(options, ExecutableFolder());
    runner.onMessage = [](const std::u16string& m) {
        Print(stderr, u"orbimo-batch: " + m + u"\n");
    };
    if (parser.isSet(labels) && options.pictureFile.empty())
        return BadArguments(u"--labels действует только вместе с --png.");
    runner.writePicture = [&](const MemorySurface& surface, const std::u16string& path) {
        if (!parser.isSet(labels)) return WritePng(surface, path, nullptr);
        OverlayOptions layers;
        layers.readout = false;
        layers.labels = layers.scaleBar = layers.date = true;
        const Overlay overlay = BuildOverlay(runner.Logic(), layers, RateMeter());
        return WritePng(surface, path, &overlay);
    };
    ProgressBar bar(stderr);
    runner.onWarning = [&bar](const std::u16string& w) {
        bar.Finish();  // on a line of its own
        Print(stderr, u"orbimo-batch: предупреждение: " + w + u"\n");
    };
    if (terminal && !silent)
        runner.onProgress = [&bar](double done, std::int64_t n) { bar.Update(done, n); };
    // Measuring: the same arithmetic as a plain loop just before the run and again after it,
    // the faster of the two counting; the first also brings the processor up to speed.
    const bool measure = parser.isSet(bench) || minRatio > 0;
    // The runner draws only for a picture: the plain loop then draws too.
    const bool drawing = !options.pictureFile.empty();
    options.draw = drawing;
    PlainLoopResult a;
    if (measure)
        runner.beforeRun = [&](const BatchReport& start) {
            a = RunPlainLoop(start.start, start.stepLong, start.stopTime, options.maxTicks,
                             options.width, options.height, drawing);
        };
    const BatchReport report = runner.Run();
    bar.Finish();
    if (report.ran && !silent) Print(stdout, SummaryText(report));

    if (measure && report.ran && report.ticks > 0) {
        const PlainLoopResult b =
            RunPlainLoop(report.start, report.stepLong, report.stopTime, report.ticks,
                         options.width, options.height, drawing);
        // The plain loop ran as far as the run could; rates are per tick.
        const double plainRate = std::max(static_cast<double>(a.ticks) / a.seconds,
                                          static_cast<double>(b.ticks) / b.seconds);
        const double realRate = static_cast<double>(report.ticks) / report.wallSeconds;
        const std::u16string how = drawing ? u" с рисованием" : u" без рисования";
        Print(stdout, u"Простой цикл той же арифметики" + how + u": " +
                          GroupedInteger(std::llround(plainRate)) +
                          u" тактов в секунду (контрольная сумма " +
                          ShortNumber(a.checksum + b.checksum) + u")\nСчёт программы" + how +
                          u": " + GroupedInteger(std::llround(realRate)) +
                          u" тактов в секунду (такт: " + TickPathText() + u")\nОтношение: " +
                          ShortNumber(realRate / plainRate) + u"\n");
        if (minRatio > 0 && !(realRate >= minRatio * plainRate)) {
            Print(stderr,
                  u"orbimo-batch: счёт медленнее " + ShortNumber(minRatio) + u" простого цикла.\n");
            return 3;
        }
    }
    return static_cast<int>(report.status);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        // Writing names onto a picture needs fonts, which need a (windowless) GUI application.
        const bool fonts = std::any_of(
            argv + 1, argv + argc, [](const char* a) { return std::strcmp(a, "--labels") == 0; });
        if (fonts && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // The runner speaks for itself on stderr; Qt's notes about its windowless set-up
        // (no runtime folder, and the like) are no news for its user.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fputs((m + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
        });
        const std::unique_ptr<QCoreApplication> app =
            fonts ? std::make_unique<QGuiApplication>(argc, argv)
                  : std::make_unique<QCoreApplication>(argc, argv);
        return Main(*app);
    } catch (const std::bad_alloc&) {
        Print(stderr, u"orbimo-batch: недостаточно памяти.\n");
    } catch (const std::exception& e) {
        Print(stderr, u"orbimo-batch: внутренняя ошибка: " +
                          QString::fromLocal8Bit(e.what()).toStdU16String() + u"\n");
    }
    return kBadArguments;
}
