#include "reports/DlgButton.h"

#include "controls/widgets/ButtonST.h"
#include "engine/EngineHost.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The bar's size: 81 x 14 dialog units of "MS Shell Dlg" 8 points.
constexpr int kWidth = 122;
constexpr int kHeight = 23;

} // namespace

CDlgButton::CDlgButton(int kind, QWidget *parent) : QWidget(parent), Kind(kind), Button(new CButtonST(this))
{
    Button->AssignStateBitmaps(ExportPicture(Kind), RGB(255, 255, 255));
    Button->LightenBackColor();
    Button->AssignAlignment(0);
    SetLanguageText();
    Button->setGeometry(0, 0, kWidth, kHeight);
    setFixedSize(kWidth, kHeight);
    connect(Button, &QPushButton::clicked, this, &CDlgButton::OnExportClicked);
    hide();
}

void CDlgButton::SetLanguageText()
{
    Button->setText(EngineHost::instance().text(Kind == kPdf ? QStringLiteral("Bar_Export_PDF")
                                                             : QStringLiteral("Bar_Export_Excel")));
}

void CDlgButton::OnExportClicked()
{
    emit ExportClicked(Kind);
}

QImage CDlgButton::ExportPicture(int kind)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QColor paper(0xF4, 0xF4, 0xF4);
    const QColor outline(0x50, 0x50, 0x50);
    // A page with its top-right corner folded down.
    QPainterPath page;
    page.moveTo(2, 0.5);
    page.lineTo(10, 0.5);
    page.lineTo(13.5, 4);
    page.lineTo(13.5, 15.5);
    page.lineTo(2, 15.5);
    page.closeSubpath();
    painter.setPen(outline);
    painter.setBrush(paper);
    painter.drawPath(page);
    painter.drawPolyline(QPolygonF({{10, 0.5}, {10, 4}, {13.5, 4}}));
    if (kind == kPdf) {
        // A red band across the page with a white mark in it.
        painter.fillRect(QRect(0, 7, 12, 6), QColor(0xC8, 0x1E, 0x1E));
        painter.fillRect(QRect(2, 9, 2, 2), QColor(0xFA, 0xFA, 0xFA));
        painter.fillRect(QRect(5, 9, 2, 2), QColor(0xFA, 0xFA, 0xFA));
        painter.fillRect(QRect(8, 9, 2, 2), QColor(0xFA, 0xFA, 0xFA));
    } else {
        // A green sheet of cells with a dark cross over it.
        painter.fillRect(QRect(4, 5, 8, 9), QColor(0x1E, 0x7A, 0x3C));
        painter.setPen(QColor(0xA8, 0xD8, 0xB4));
        for (int x = 6; x < 12; x += 3)
            painter.drawLine(x, 5, x, 13);
        for (int y = 8; y < 14; y += 3)
            painter.drawLine(4, y, 11, y);
        painter.fillRect(QRect(0, 4, 7, 8), QColor(0x10, 0x5C, 0x2A));
        painter.setPen(QPen(QColor(0xF8, 0xF8, 0xF8), 1.5));
        painter.drawLine(QPointF(1.5, 5.5), QPointF(5.5, 10.5));
        painter.drawLine(QPointF(5.5, 5.5), QPointF(1.5, 10.5));
    }
    return image;
}
