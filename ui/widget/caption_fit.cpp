#include "ui/widget/caption_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QStyle>

// Room a caption needs: its text, and a check box's indicator beside it.
static int CaptionWidth(QWidget* control, const QString& text)
{
    int width = control->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&')));
    if (qobject_cast<QCheckBox*>(control)) {
        width += control->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control)
                 + control->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control);
    }
    return width;
}

void FitCaptions(int pixelSize, std::initializer_list<QWidget*> group)
{
    constexpr int kStretches[] = {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed};
    constexpr int kSmallestPixelSize = 9;
    QFont face = (*group.begin())->font();
    const auto fits = [&] {
        bool all = true;
        for (QWidget* control : group) {
            control->setFont(face);
            const QString text = qobject_cast<QLabel*>(control)
                                     ? static_cast<QLabel*>(control)->text()
                                     : static_cast<QAbstractButton*>(control)->text();
            all = all && CaptionWidth(control, text) <= control->width();
        }
        return all;
    };
    for (int stretch : kStretches) {
        face.setStretch(stretch);
        if (fits())
            return;
    }
    for (int px = pixelSize - 1; px >= kSmallestPixelSize; --px) {
        face.setPixelSize(px);
        if (fits())
            return;
    }
}
