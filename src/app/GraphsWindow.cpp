#include "app/GraphsWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/PictureExport.h"
#include "mainwindow/TotalsRows.h"

namespace orbimo {

namespace {

QSettings Store() {
    return QSettings(QStringLiteral("Orbimo"), QStringLiteral("Orbimo"));
}

class PlotArea : public QWidget {
  public:
    explicit PlotArea(const GraphsWindow* window) : window_(window) {
        setMinimumSize(480, 300);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        PaintGraph(p, rect(), window_->Plot());
    }

  private:
    const GraphsWindow* window_;
};

}  // namespace

GraphsWindow::GraphsWindow(QWidget* parent, const Teaching& teaching, const MainWindowLogic& logic)
    : QWidget(parent, Qt::Window), teaching_(teaching), logic_(logic) {
    setWindowTitle(QStringLiteral("Графики"));
    quantity_ = new QComboBox(this);
    for (int q = 0; q <= static_cast<int>(GraphQuantity::Speed); ++q)
        quantity_->addItem(QString::fromStdU16String(QuantityName(static_cast<GraphQuantity>(q))));
    log_ = new QCheckBox(QStringLiteral("Логарифмическая шкала"), this);
    bodyA_ = new QComboBox(this);
    bodyB_ = new QComboBox(this);
    between_ = new QLabel(QStringLiteral("и"), this);
    auto* csv = new QPushButton(QStringLiteral("Сохранить CSV…"), this);
    auto* png = new QPushButton(QStringLiteral("Сохранить PNG…"), this);
    plot_ = new PlotArea(this);
    auto* controls = new QHBoxLayout;
    controls->addWidget(quantity_);
    controls->addWidget(bodyA_);
    controls->addWidget(between_);
    controls->addWidget(bodyB_);
    controls->addWidget(log_);
    controls->addStretch();
    controls->addWidget(csv);
    controls->addWidget(png);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(plot_, 1);
    resize(820, 480);
    Refresh();  // the body names
    const QSettings s = Store();
    quantity_->setCurrentIndex(std::clamp(s.value(QStringLiteral("graphs/quantity"), 0).toInt(), 0,
                                          quantity_->count() - 1));
    log_->setChecked(s.value(QStringLiteral("graphs/logarithmic"), false).toBool());
    bodyA_->setCurrentIndex(
        std::clamp(s.value(QStringLiteral("graphs/a"), 1).toInt() - 1, 0, kBodies - 1));
    bodyB_->setCurrentIndex(
        std::clamp(s.value(QStringLiteral("graphs/b"), 2).toInt() - 1, 0, kBodies - 1));
    for (QComboBox* box : {quantity_, bodyA_, bodyB_})
        QObject::connect(box, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
    QObject::connect(log_, &QCheckBox::toggled, this, [this] { Changed(); });
    QObject::connect(csv, &QPushButton::clicked, this, [this] { Ask(true); });
    QObject::connect(png, &QPushButton::clicked, this, [this] { Ask(false); });
    Changed();
}

void GraphsWindow::Changed() {
    const auto q = static_cast<GraphQuantity>(quantity_->currentIndex());
    bodyA_->setVisible(q == GraphQuantity::Distance || q == GraphQuantity::Speed);
    bodyB_->setVisible(q == GraphQuantity::Distance);
    between_->setVisible(q == GraphQuantity::Distance);
    log_->setVisible(q == GraphQuantity::EnergyDrift || q == GraphQuantity::AngularMomentumDrift);
    QSettings s = Store();
    s.setValue(QStringLiteral("graphs/quantity"), quantity_->currentIndex());
    s.setValue(QStringLiteral("graphs/logarithmic"), log_->isChecked());
    s.setValue(QStringLiteral("graphs/a"), bodyA_->currentIndex() + 1);
    s.setValue(QStringLiteral("graphs/b"), bodyB_->currentIndex() + 1);
    plot_->update();
}

void GraphsWindow::Refresh() {
    std::u16string names;
    for (int b = 1; b <= kBodies; ++b)
        names += logic_.Params().bodies[static_cast<std::size_t>(b)].caption + u'\n';
    if (names != names_) {
        names_ = names;
        for (QComboBox* box : {bodyA_, bodyB_}) {
            const QSignalBlocker quiet(box);
            const int at = std::max(box->currentIndex(), 0);
            box->clear();
            for (int b = 1; b <= kBodies; ++b)
                box->addItem(QString::number(b) + QStringLiteral(" — ") +
                             QString::fromStdU16String(
                                 logic_.Params().bodies[static_cast<std::size_t>(b)].caption));
            box->setCurrentIndex(at);
        }
        plot_->update();
    }
    const auto& samples = teaching_.Graphs().Samples();
    const double last = samples.empty() ? 0 : samples.back().time;
    if (isVisible() && (samples.size() != shownCount_ || last != shownTime_)) {
        shownCount_ = samples.size(), shownTime_ = last;
        plot_->update();
    }
}

GraphPlot GraphsWindow::Plot() const {
    const auto q = static_cast<GraphQuantity>(std::max(quantity_->currentIndex(), 0));
    GraphPlot plot;
    plot.times = teaching_.Graphs().Times();
    plot.curves =
        teaching_.Graphs().Curves(q, bodyA_->currentIndex() + 1, bodyB_->currentIndex() + 1);
    plot.logarithmic = log_->isVisible() ? log_->isChecked() : false;
    plot.title = QuantityName(q);
    if (q == GraphQuantity::Distance || q == GraphQuantity::Speed)
        plot.title +=
            u": " + bodyA_->currentText().toStdU16String() +
            (q == GraphQuantity::Distance ? u" и " + bodyB_->currentText().toStdU16String() : u"");
    if (!QuantityUnit(q).empty()) plot.title += u", " + QuantityUnit(q);
    if (plot.logarithmic) plot.title += u" (логарифмическая шкала, по модулю)";
    return plot;
}

QImage GraphsWindow::Image() const {
    QImage image(plot_->size(), QImage::Format_RGB32);
    QPainter p(&image);
    p.setFont(plot_->font());
    PaintGraph(p, image.rect(), Plot());
    return image;
}

QString GraphsWindow::SaveCsv(const QString& path) const {
    const GraphSamples& g = teaching_.Graphs();
    const int a = bodyA_->currentIndex() + 1, b = bodyB_->currentIndex() + 1;
    const auto drift = g.Curves(GraphQuantity::EnergyDrift, a, b)[0].values;
    const auto distance = g.Curves(GraphQuantity::Distance, a, b)[0].values;
    const auto speed = g.Curves(GraphQuantity::Speed, a, b)[0].values;
    std::string out = std::string(kTotalsHeader) + ",distance_" + std::to_string(a) + "_" +
                      std::to_string(b) + "_m,speed_" + std::to_string(a) + "_m_s\n";
    for (std::size_t i = 0; i < g.Samples().size(); ++i) {
        AppendTotalsRow(out, g.Samples()[i].time, g.Samples()[i].totals, drift[i]);
        for (const double v : {distance[i], speed[i]}) {
            out += ',';
            AppendCsvNumber(out, v);
        }
        out += '\n';
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(out.data(), static_cast<qint64>(out.size())) !=
        static_cast<qint64>(out.size())) {
        file.cancelWriting();
        return file.errorString();
    }
    return file.commit() ? QString() : file.errorString();
}

QString GraphsWindow::SavePicture(const QString& path) const {
    return SavePng(Image(), path);
}

void GraphsWindow::Ask(bool csv) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) folder = QDir::homePath();
    const QString suffix = csv ? QStringLiteral(".csv") : QStringLiteral(".png");
    QString path = QFileDialog::getSaveFileName(
        this,
        csv ? QStringLiteral("Сохранить данные графиков") : QStringLiteral("Сохранить график"),
        QDir(folder).filePath(QStringLiteral("графики") + suffix),
        csv ? QStringLiteral("Таблицы CSV (*.csv)") : QStringLiteral("Изображения PNG (*.png)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
    const QString problem = csv ? SaveCsv(path) : SavePicture(path);
    if (!problem.isEmpty())
        QMessageBox::warning(
            this, QStringLiteral("Графики"),
            QStringLiteral("Не удалось сохранить ") + path + QStringLiteral(": ") + problem);
}

}  // namespace orbimo
