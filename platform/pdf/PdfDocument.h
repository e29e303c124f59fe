#pragma once

#include "platform/FileSave.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPdfWriter;

// A PDF document drawn page by page: A4 landscape, in units of 1/72 inch with y growing downwards
// from the top of the page. It is built in memory and written to a file at the end.
//
// Paths: `MoveTo`/`LineTo` and `DrawRectangle` collect segments and rectangles that `StrokePath`
// draws with the current line width and `FillPath` fills with the current colour. Text takes the
// current font and colour. A template is a set of images recorded once (the `DrawImage` calls
// between `BeginTemplate` and `EndTemplate`) and drawn on every page that places it.
class PdfDocument
{
public:
    enum Alignment
    {
        AlignLeft = 0,
        AlignCentre = 1,
        AlignRight = 2
    };

    PdfDocument();
    ~PdfDocument();
    PdfDocument(const PdfDocument &) = delete;
    PdfDocument &operator=(const PdfDocument &) = delete;

    int GetPageWidth() const;
    int GetPageHeight() const;
    // The index of the page being drawn, from 0.
    int GetCurrentPage() const { return m_pageIndex; }
    bool AddPage();

    // A font for `SetFont`; "Arial Unicode MS" stands for a font with Chinese glyphs.
    int AddFont(const QString &family, bool bold);
    bool SetFont(int fontId, float size);
    float GetTextWidth(const QString &text) const;
    // Red, green and blue from 0 to 1, for fills and text.
    void SetColor(float red, float green, float blue);
    void SetLineWidth(float width);

    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    void DrawRectangle(float left, float top, float width, float height);
    void StrokePath();
    void FillPath();

    // Text with its top-left corner at (x, y), not clipped.
    void DrawText(float x, float y, const QString &text);
    // Text inside a box, centred vertically; with `wrap` it breaks into lines. A text larger than its
    // box is set in a smaller size until it fits (and is clipped only below the smallest size).
    bool DrawTextBox(float left, float top, float right, float bottom, int alignment, bool wrap,
                     const QString &text);

    // Images for `DrawImage`; -1 when the file cannot be read or the image is empty.
    int LoadImageFile(const QString &path);
    int AddImage(const QImage &image);
    QSize ImageSize(int imageId) const;
    bool DrawImage(int imageId, float left, float top, float width, float height);
    // The image at its own size, one pixel a unit.
    bool DrawImageAt(int imageId, float left, float top);

    int AddTemplate();
    // Until `EndTemplate`, images drawn go to the template instead of the page.
    bool BeginTemplate(int templateId);
    void EndTemplate();
    // Draws the template on the current page (the only page that can still be drawn).
    bool PlaceTemplate(int pageIndex, int templateId);

    // Finishes the document and writes it whole, or leaves the old file as it was.
    SaveResult SaveToFile(const QString &path);

private:
    struct PlacedImage
    {
        int ImageId;
        QRectF Box;
    };

    const QImage *image(int imageId) const;

    QBuffer m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    std::vector<QFont> m_fonts;
    std::vector<QImage> m_images;
    std::vector<std::vector<PlacedImage>> m_templates;
    int m_recordingTemplate = -1;
    int m_pageIndex = 0;
    QFont m_font;
    QColor m_colour = Qt::black;
    float m_lineWidth = 1;
    QPainterPath m_path;
    bool m_finished = false;
};
