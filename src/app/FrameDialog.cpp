#include "app/FrameDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace orbimo {

std::optional<std::pair<int, int>> AskRotatingPair(QWidget* parent, const ParamsModel& params,
                                                   int a, int b) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Вращающаяся система"));
    auto* layout = new QFormLayout(&dialog);
    auto* hint = new QLabel(QStringLiteral("Центр масс тел A и B неподвижен, а линия от A к B "
                                           "всё время направлена вправо."),
                            &dialog);
    hint->setWordWrap(true);
    layout->addRow(hint);
    // Only the bodies taking part: a frame turning with a body that does not move is no frame.
    QComboBox* boxes[2] = {new QComboBox(&dialog), new QComboBox(&dialog)};
    for (QComboBox* box : boxes)
        for (int k = 1; k <= kBodies; ++k)
            if (params.bodies[static_cast<std::size_t>(k)].state == 1)
                box->addItem(QString::number(k) + QStringLiteral(" — ") +
                                 QString::fromStdU16String(
                                     params.bodies[static_cast<std::size_t>(k)].caption),
                             k);
    if (boxes[0]->count() < 2) {
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdU16String(kProgramTitle),
                        QStringLiteral("Для вращающейся системы нужны два тела, участвующих в "
                                       "счёте (с галочкой в окне «Параметры»)."),
                        QMessageBox::Ok, parent);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("ОК"));
        box.exec();
        return std::nullopt;
    }
    const int first = std::max(boxes[0]->findData(a), 0);
    boxes[0]->setCurrentIndex(first);
    const int second = boxes[1]->findData(b);
    boxes[1]->setCurrentIndex(second >= 0 && second != first ? second : (first == 0 ? 1 : 0));
    layout->addRow(QStringLiteral("Тело A:"), boxes[0]);
    layout->addRow(QStringLiteral("Тело B:"), boxes[1]);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addRow(buttons);
    // Two different bodies make a line; the same one twice does not.
    auto check = [&] {
        buttons->button(QDialogButtonBox::Ok)
            ->setEnabled(boxes[0]->currentIndex() != boxes[1]->currentIndex());
    };
    check();
    for (QComboBox* box : boxes)
        QObject::connect(box, &QComboBox::currentIndexChanged, &dialog, check);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::pair(boxes[0]->currentData().toInt(), boxes[1]->currentData().toInt());
}

}  // namespace orbimo
