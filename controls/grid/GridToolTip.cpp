#include "controls/grid/GridToolTip.h"

#include <QHelpEvent>
#include <QToolTip>

namespace GridToolTip {

void show(QWidget *widget, const QHelpEvent *event, int hookResult, const QString &text,
          const QRect &cellRect)
{
    constexpr int kShowMs = 32767;
    if (hookResult != 1 || text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(event->globalPos(), text, widget, cellRect, kShowMs);
}

} // namespace GridToolTip
