#include "app/OrbitWindow.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QSettings>
#include <QVBoxLayout>

namespace orbimo {

namespace {

QSettings Store() {
    return QSettings(QStringLiteral("Orbimo"), QStringLiteral("Orbimo"));
}

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

}  // namespace

OrbitWindow::OrbitWindow(QWidget* parent, Teaching& teaching, const MainWindowLogic& logic,
                         std::function<void()> changed)
    : QWidget(parent, Qt::Window),
      teaching_(teaching),
      logic_(logic),
      changed_(std::move(changed)) {
    setWindowTitle(QStringLiteral("Орбита"));
    body_ = new QComboBox(this);
    centre_ = new QComboBox(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Тело:"), body_);
    form->addRow(QStringLiteral("Центр:"), centre_);
    for (const auto& [label, text] : ElementLines(std::nullopt)) {
        auto* value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        values_.push_back(value);
        form->addRow(Q(label) + QStringLiteral(":"), value);
    }
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    ellipse_ = new QCheckBox(QStringLiteral("Эллипс орбиты (пунктир) и фокус"), this);
    areas_ = new QCheckBox(QStringLiteral("Равные площади"), this);
    sectors_ = new QSpinBox(this);
    sectors_->setRange(2, 72);
    sectors_->setSuffix(QStringLiteral(" секторов за период"));
    thirdLaw_ = new QCheckBox(QStringLiteral("Третий закон Кеплера: таблица на картине"), this);
    table_ = new QTableWidget(this);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setColumnCount(4);
    const auto head = ThirdLawTable(logic_, 0).front();
    for (int c = 0; c < 4; ++c)
        table_->setHorizontalHeaderItem(c,
                                        new QTableWidgetItem(Q(head[static_cast<std::size_t>(c)])));
    areasText_ = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note_);
    layout->addWidget(ellipse_);
    auto* areas = new QHBoxLayout;
    areas->addWidget(areas_);
    areas->addWidget(sectors_);
    areas->addStretch();
    layout->addLayout(areas);
    auto* sweep = new QFormLayout;
    sweep->addRow(QStringLiteral("Площади секторов:"), areasText_);
    layout->addLayout(sweep);
    layout->addWidget(thirdLaw_);
    layout->addWidget(table_, 1);
    resize(460, 560);

    const QSettings s = Store();
    OrbitChoice c;
    c.body = s.value(QStringLiteral("orbit/body"), 2).toInt();
    c.centre = s.value(QStringLiteral("orbit/centre"), 0).toInt();
    c.ellipse = s.value(QStringLiteral("orbit/ellipse"), true).toBool();
    c.areas = s.value(QStringLiteral("orbit/areas"), false).toBool();
    c.thirdLaw = s.value(QStringLiteral("orbit/thirdLaw"), false).toBool();
    c.sectors = std::clamp(s.value(QStringLiteral("orbit/sectors"), 12).toInt(), 2, 72);
    if (c.body < 1 || c.body > kBodies) c.body = 2;
    if (c.centre < 0 || c.centre > kBodies) c.centre = 0;
    Refresh();  // the names in the lists
    body_->setCurrentIndex(c.body - 1);
    centre_->setCurrentIndex(c.centre);
    ellipse_->setChecked(c.ellipse);
    areas_->setChecked(c.areas);
    thirdLaw_->setChecked(c.thirdLaw);
    sectors_->setValue(c.sectors);
    for (QComboBox* box : {body_, centre_})
        QObject::connect(box, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
    for (QCheckBox* box : {ellipse_, areas_, thirdLaw_})
        QObject::connect(box, &QCheckBox::toggled, this, [this] { Changed(); });
    QObject::connect(sectors_, &QSpinBox::valueChanged, this, [this] { Changed(); });
    Changed();
}

void OrbitWindow::ChooseBody(int body) {
    body_->setCurrentIndex(body - 1);
}

void OrbitWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    Changed();
}

void OrbitWindow::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    Changed();
}

void OrbitWindow::Changed() {
    OrbitChoice c;
    c.body = body_->currentIndex() + 1;
    c.centre = std::max(centre_->currentIndex(), 0);
    c.ellipse = ellipse_->isChecked();
    c.areas = areas_->isChecked();
    c.thirdLaw = thirdLaw_->isChecked();
    c.sectors = sectors_->value();
    sectors_->setEnabled(c.areas);
    QSettings s = Store();
    s.setValue(QStringLiteral("orbit/body"), c.body);
    s.setValue(QStringLiteral("orbit/centre"), c.centre);
    s.setValue(QStringLiteral("orbit/ellipse"), c.ellipse);
    s.setValue(QStringLiteral("orbit/areas"), c.areas);
    s.setValue(QStringLiteral("orbit/thirdLaw"), c.thirdLaw);
    s.setValue(QStringLiteral("orbit/sectors"), c.sectors);
    // The layers are the open window's: closed, it takes them away, and its choices wait.
    if (!isVisible()) c.ellipse = c.areas = c.thirdLaw = false;
    teaching_.Choose(c);
    Refresh();
    if (changed_) changed_();
}

void OrbitWindow::Refresh() {
    const SimState& s = logic_.State();
    auto caption = [this](int b) {
        return Q(logic_.Params().bodies[static_cast<std::size_t>(b)].caption);
    };
    const int heaviest = HeaviestBody(s);
    std::u16string names;
    for (int b = 1; b <= kBodies; ++b)
        names += logic_.Params().bodies[static_cast<std::size_t>(b)].caption + u'\n';
    names += static_cast<char16_t>(heaviest);
    if (names != names_) {
        names_ = names;
        const QSignalBlocker quietBody(body_), quietCentre(centre_);
        const int body = std::max(body_->currentIndex(), 0),
                  centre = std::max(centre_->currentIndex(), 0);
        body_->clear();
        centre_->clear();
        centre_->addItem(QStringLiteral("самое тяжёлое") +
                         (heaviest ? QStringLiteral(" (") + caption(heaviest) + QStringLiteral(")")
                                   : QString()));
        for (int b = 1; b <= kBodies; ++b) {
            const QString text = QString::number(b) + QStringLiteral(" — ") + caption(b);
            body_->addItem(text);
            centre_->addItem(text);
        }
        body_->setCurrentIndex(body);
        centre_->setCurrentIndex(centre);
    }
    if (!isVisible()) return;
    const int body = body_->currentIndex() + 1, centre = teaching_.Centre(s);
    const auto lines = ElementLines(teaching_.Elements(logic_));
    for (std::size_t i = 0; i < lines.size() && i < values_.size(); ++i)
        if (values_[i]->text() != Q(lines[i].second)) values_[i]->setText(Q(lines[i].second));
    QString note;
    const QString swept = Q(areas_->isChecked() ? SectorAreasText(teaching_.Areas()) : u"—");
    if (areasText_->text() != swept) areasText_->setText(swept);
    if (logic_.Status().state == RunState::Idle)
        note = QStringLiteral(
            "Орбита будет видна после «Пуск»: до него в счёт не взяты значения "
            "окна «Параметры».");
    else if (body == centre)
        note = QStringLiteral("Тело и центр совпадают: выберите другое тело или центр.");
    else if (s.BodyOn[body] != 1 || centre < 1 || s.BodyOn[centre] != 1)
        note = QStringLiteral("Тело или центр не участвует в счёте.");
    else if (areas_->isChecked() && teaching_.Areas().Open())
        note = QStringLiteral("Орбита не замкнута: равные площади не строятся.");
    else if (areas_->isChecked() && !teaching_.Areas().Started())
        note = QStringLiteral("Секторы начнутся со следующего «Пуск».");
    if (note_->text() != note) note_->setText(note);
    const auto rows =
        centre >= 1 ? ThirdLawTable(logic_, centre) : std::vector<std::array<std::u16string, 4>>{};
    table_->setColumnCount(4);
    table_->setRowCount(rows.empty() ? 0 : static_cast<int>(rows.size()) - 1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 4; ++c) {
            const QString text = Q(rows[r][static_cast<std::size_t>(c)]);
            if (r == 0) {
                if (!table_->horizontalHeaderItem(c) ||
                    table_->horizontalHeaderItem(c)->text() != text)
                    table_->setHorizontalHeaderItem(c, new QTableWidgetItem(text));
            } else if (!table_->item(static_cast<int>(r) - 1, c) ||
                       table_->item(static_cast<int>(r) - 1, c)->text() != text) {
                table_->setItem(static_cast<int>(r) - 1, c, new QTableWidgetItem(text));
            }
        }
}

std::vector<QString> OrbitWindow::Shown() const {
    std::vector<QString> texts;
    for (const QLabel* l : values_) texts.push_back(l->text());
    return texts;
}

}  // namespace orbimo
