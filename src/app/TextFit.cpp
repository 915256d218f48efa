#include "app/TextFit.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace orbimo {

bool TextFits(const QWidget* w, const QString& text) {
    const int advance = QFontMetrics(w->font()).horizontalAdvance(text);
    QStyleOptionButton o;
    o.initFrom(w);
    o.text = text;
    QStyle::SubElement area;
    if (qobject_cast<const QCheckBox*>(w)) {
        area = QStyle::SE_CheckBoxContents;
    } else if (qobject_cast<const QRadioButton*>(w)) {
        area = QStyle::SE_RadioButtonContents;
    } else if (qobject_cast<const QPushButton*>(w)) {
        // Room on either side of the caption, as the button's own size hint leaves it.
        return advance <=
               w->width() - 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
    } else {
        return advance <= w->contentsRect().width();
    }
    return advance <= w->style()->subElementRect(area, &o, w).width();
}

int FitFont(QWidget* root, const std::vector<std::pair<QWidget*, QString>>& captions, int maxPixels,
            int minPixels) {
    QFont f = root->font();
    for (int px = maxPixels; px >= minPixels; --px) {
        f.setPixelSize(px);
        root->setFont(f);
        bool all = true;
        for (const auto& [w, text] : captions) all = all && TextFits(w, text);
        if (all) return px;
    }
    return minPixels;
}

}  // namespace orbimo
