// The legend of a chart: the named data sets of its layers, then the keys added to it, in one column or
// in rows of several; its text template turns a data set into the key's text.
#pragma once

#include "platform/chart/Layer.h"
#include "platform/chart/TextBox.h"

class LegendBox : public TextBox
{
public:
    // columns 0: one column (vertical); n: n keys a row.
    LegendBox(int x, int y, int columns, const QString &font, double size);

    void addKey(const QString &text, ChartColor color, int lineWidth = 0);

    // Draws the layers' keys and the added ones, moved into bounds where they would stick out; returns
    // the legend's box.
    QRectF paint(QPainter &painter, const std::vector<LegendKey> &layerKeys, const QRectF &bounds) const;
    // The key text of a data set: "{dataSetName}" and "{dataGroupName}" (always empty) expanded.
    QString keyText(const QString &dataSetName) const;

private:
    int m_x;
    int m_y;
    int m_columns;
    std::vector<LegendKey> m_keys;
};
