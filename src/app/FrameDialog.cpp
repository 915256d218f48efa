#include "app/FrameDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

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
    QComboBox* boxes[2] = {new QComboBox(&dialog), new QComboBox(&dialog)};
    for (QComboBox* box : boxes)
        for (int k = 1; k <= kBodies; ++k)
            box->addItem(
                QString::number(k) + QStringLiteral(" — ") +
                    QString::fromStdU16String(params.bodies[static_cast<std::size_t>(k)].caption),
                k);
    boxes[0]->setCurrentIndex(a - 1);
    boxes[1]->setCurrentIndex(b - 1);
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
