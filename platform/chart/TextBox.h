// A text of a chart (title, free text, axis title, axis label style, legend) with its font, colour,
// alignment, angle and an optional box behind it. Font names are the callers' font file names
// ("arialbd.ttf", "timesbi.ttf"); sizes are points at 96 pixels an inch.
#pragma once

#include "platform/chart/ChartColor.h"

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

class TextBox
{
public:
    // Anchors, as on a telephone keypad turned upside down: 1 bottom-left, 2 bottom-centre, 3 bottom-right,
    // 4 left, 5 centre, 6 right, 7 top-left, 8 top-centre, 9 top-right.
    enum Alignment
    {
        BottomLeft = 1,
        Bottom,
        BottomRight,
        Left,
        Center,
        Right,
        TopLeft,
        Top,
        TopRight
    };

    TextBox() = default;
    TextBox(const QString &text, const QString &font, double size, ChartColor color);

    void setText(const QString &text) { m_text = text; }
    void setAlignment(int alignment) { m_alignment = alignment; }
    void setFontAngle(double degrees) { m_angle = degrees; }
    void setBackground(ChartColor color, ChartColor edge = ChartColor::kTransparent, ChartEffect effect = {});
    void setFont(const QString &font, double size);
    void setColor(ChartColor color) { m_color = color; }

    QString text() const { return m_text; }
    int alignment() const { return m_alignment; }
    double fontAngle() const { return m_angle; }
    QFont font() const;
    ChartColor color() const { return m_color; }

    // Size of a (multi-line) text in this font, before rotation.
    QSizeF textSize(const QString &text) const;
    // Size after rotation by the font angle.
    QSizeF rotatedSize(const QString &text) const;
    // Draws the text with its box so that the point of the box that the alignment names lies on anchor;
    // returns the box.
    QRectF paintAt(QPainter &painter, const QString &text, QPointF anchor, int alignment,
                   double padding = 0) const;
    // Draws the box and the text centred in the given rectangle.
    void paintIn(QPainter &painter, const QString &text, const QRectF &box) const;

    // The font of a font file name: times* serif, else sans; "bd" bold, "i" italic, "bi" both.
    static QFont fontOf(const QString &file, double size);
    // Splits a leading "<*font=...,size=...,color=RRGGBB*>" off a text and applies what it sets.
    static QString applyMarkup(const QString &text, QString &font, double &size, ChartColor &color);
    // The top-left corner of a box of the given size whose aligned point is at anchor.
    static QPointF alignedTopLeft(QPointF anchor, QSizeF size, int alignment);

private:
    QString m_text;
    QString m_font;
    double m_size = 8;
    ChartColor m_color{ChartColor::kText};
    int m_alignment = Center;
    double m_angle = 0;
    ChartColor m_background{ChartColor::kTransparent};
    ChartColor m_edge{ChartColor::kTransparent};
    ChartEffect m_effect;
};
