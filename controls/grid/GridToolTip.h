// Tool tips of the grid's child windows: the hook's text for the cell under the pointer, shown
// for as long as the pointer stays in the cell.
#pragma once

#include <QRect>
#include <QString>

class QHelpEvent;
class QWidget;

namespace GridToolTip {

// Shows the text when the hook answered 1 with a text, else hides any tip.
void show(QWidget *widget, const QHelpEvent *event, int hookResult, const QString &text,
          const QRect &cellRect);

} // namespace GridToolTip
