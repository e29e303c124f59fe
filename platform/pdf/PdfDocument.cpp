#include "platform/pdf/PdfDocument.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kUnitsPerInch = 72;
// Text boxes shrink their text in a few steps, never below this size.
constexpr int kShrinkSteps = 8;
constexpr qreal kSmallestTextSize = 3;

} // namespace

PdfDocument::PdfDocument()
{
    m_buffer.open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(&m_buffer);
    m_writer->setResolution(kUnitsPerInch);
    m_writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                        QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    m_writer->setCreator(QStringLiteral("Tavrix-IGMP-TQ"));
    m_painter = std::make_unique<QPainter>(m_writer.get());
    m_font = QFont(QStringLiteral("Liberation Sans"));
    m_font.setPointSizeF(12);
}

PdfDocument::~PdfDocument()
{
    if (m_painter->isActive())
        m_painter->end();
}

int PdfDocument::GetPageWidth() const
{
    return m_writer->width();
}

int PdfDocument::GetPageHeight() const
{
    return m_writer->height();
}

bool PdfDocument::AddPage()
{
    if (m_finished || m_recordingTemplate >= 0 || !m_writer->newPage())
        return false;
    ++m_pageIndex;
    return true;
}

int PdfDocument::AddFont(const QString &family, bool bold)
{
    // Chinese texts need a font that has their glyphs; Arial's stand-in takes them from the fallback.
    const bool unicode = family.compare(QStringLiteral("Arial Unicode MS"), Qt::CaseInsensitive) == 0;
    QFont font(unicode ? QStringLiteral("WenQuanYi Micro Hei")
               : family.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0
                   ? QStringLiteral("Liberation Sans")
                   : family);
    font.setBold(bold);
    m_fonts.push_back(font);
    return int(m_fonts.size()) - 1;
}

bool PdfDocument::SetFont(int fontId, float size)
{
    if (fontId < 0 || std::size_t(fontId) >= m_fonts.size() || !(size > 0))
        return false;
    m_font = m_fonts[std::size_t(fontId)];
    m_font.setPointSizeF(size);
    return true;
}

float PdfDocument::GetTextWidth(const QString &text) const
{
    return float(QFontMetricsF(m_font, m_writer.get()).horizontalAdvance(text));
}

void PdfDocument::SetColor(float red, float green, float blue)
{
    m_colour =
        QColor::fromRgbF(std::clamp(red, 0.f, 1.f), std::clamp(green, 0.f, 1.f), std::clamp(blue, 0.f, 1.f));
}

void PdfDocument::SetLineWidth(float width)
{
    m_lineWidth = std::max(0.f, width);
}

void PdfDocument::MoveTo(float x, float y)
{
    m_path.moveTo(x, y);
}

void PdfDocument::LineTo(float x, float y)
{
    m_path.lineTo(x, y);
}

void PdfDocument::DrawRectangle(float left, float top, float width, float height)
{
    m_path.addRect(QRectF(left, top, width, height));
}

void PdfDocument::StrokePath()
{
    m_painter->setPen(QPen(Qt::black, m_lineWidth));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawPath(m_path);
    m_path = QPainterPath(m_path.currentPosition());
}

void PdfDocument::FillPath()
{
    m_painter->fillPath(m_path, m_colour);
    m_path = QPainterPath(m_path.currentPosition());
}

void PdfDocument::DrawText(float x, float y, const QString &text)
{
    m_painter->setFont(m_font);
    m_painter->setPen(m_colour);
    m_painter->drawText(QPointF(x, y + QFontMetricsF(m_font, m_writer.get()).ascent()), text);
}

bool PdfDocument::DrawTextBox(float left, float top, float right, float bottom, int alignment, bool wrap,
                              const QString &text)
{
    if (right < left || bottom < top)
        return false;
    const Qt::Alignment horizontal = alignment == AlignCentre  ? Qt::AlignHCenter
                                     : alignment == AlignRight ? Qt::AlignRight
                                                               : Qt::AlignLeft;
    const int flags = int(horizontal | Qt::AlignVCenter) | (wrap ? Qt::TextWordWrap : 0);
    const QRectF box(QPointF(left, top), QPointF(right, bottom));
    // A text too large for its box is set smaller until it fits, so that nothing of it is cut.
    QFont font = m_font;
    for (int step = 0; step < kShrinkSteps && font.pointSizeF() > kSmallestTextSize; ++step) {
        const QRectF needed = QFontMetricsF(font, m_writer.get()).boundingRect(box, flags, text);
        const qreal scale = std::min(box.width() / needed.width(), box.height() / needed.height());
        if (!(scale < 1))
            break;
        font.setPointSizeF(std::max(kSmallestTextSize, font.pointSizeF() * scale * 0.98));
    }
    QPainter &p = *m_painter;
    p.save();
    p.setFont(font);
    p.setPen(m_colour);
    p.setClipRect(box);
    p.drawText(box, flags, text);
    p.restore();
    return true;
}

int PdfDocument::LoadImageFile(const QString &path)
{
    return AddImage(QImage(path));
}

int PdfDocument::AddImage(const QImage &image)
{
    if (image.isNull())
        return -1;
    m_images.push_back(image);
    return int(m_images.size()) - 1;
}

const QImage *PdfDocument::image(int imageId) const
{
    return imageId >= 0 && std::size_t(imageId) < m_images.size() ? &m_images[std::size_t(imageId)] : nullptr;
}

QSize PdfDocument::ImageSize(int imageId) const
{
    const QImage *found = image(imageId);
    return found ? found->size() : QSize();
}

bool PdfDocument::DrawImage(int imageId, float left, float top, float width, float height)
{
    const QImage *found = image(imageId);
    if (!found || !(width > 0) || !(height > 0))
        return false;
    const QRectF box(left, top, width, height);
    if (m_recordingTemplate >= 0)
        m_templates[std::size_t(m_recordingTemplate)].push_back({imageId, box});
    else
        m_painter->drawImage(box, *found);
    return true;
}

bool PdfDocument::DrawImageAt(int imageId, float left, float top)
{
    const QImage *found = image(imageId);
    return found && DrawImage(imageId, left, top, float(found->width()), float(found->height()));
}

int PdfDocument::AddTemplate()
{
    m_templates.emplace_back();
    return int(m_templates.size()) - 1;
}

bool PdfDocument::BeginTemplate(int templateId)
{
    if (m_recordingTemplate >= 0 || templateId < 0 || std::size_t(templateId) >= m_templates.size())
        return false;
    m_recordingTemplate = templateId;
    return true;
}

void PdfDocument::EndTemplate()
{
    m_recordingTemplate = -1;
}

bool PdfDocument::PlaceTemplate(int pageIndex, int templateId)
{
    if (m_finished || m_recordingTemplate >= 0 || pageIndex != m_pageIndex || templateId < 0 ||
        std::size_t(templateId) >= m_templates.size())
        return false;
    for (const PlacedImage &placed : m_templates[std::size_t(templateId)])
        m_painter->drawImage(placed.Box, m_images[std::size_t(placed.ImageId)]);
    return true;
}

SaveResult PdfDocument::SaveToFile(const QString &path)
{
    EndTemplate();
    if (!m_finished) {
        m_finished = true;
        if (!m_painter->end())
            return {EIO};
    }
    return saveFileWhole(path, m_buffer.data());
}
