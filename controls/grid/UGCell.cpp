#include "controls/grid/UGCell.h"

#include "controls/grid/GridNumberFormat.h"
#include "platform/SysColor.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <cmath>

CUGCell::CUGCell()
{
    ResetAllFields();
}

int CUGCell::ResetToDefaults()
{
    m_properties = kDefaultProperties;
    m_text.clear();
    m_label.clear();
    m_editMask.clear();
    m_number = 0.0;
    m_format = nullptr;
    m_styleCell = nullptr;
    m_auxiliary.reset();
    m_decimals = 0;
    m_dataType = CellData::Text;
    m_reservedInt = -1;
    m_readOnly = 0;
    m_textColor = sysColor(SysColor::WindowText);
    m_backColor = sysColor(SysColor::Window);
    m_highlightTextColor = sysColor(SysColor::HighlightText);
    m_highlightBackColor = sysColor(SysColor::Highlight);
    m_alignment = 1;
    m_themeStyle = 16;
    return 0;
}

void CUGCell::ResetAllFields()
{
    ResetToDefaults();
    m_borderStyle = 0;
    m_borderPen = nullptr;
    m_font = nullptr;
    m_bitmap = nullptr;
    m_cellTypeIndex = -1;
    m_cellTypeParam = -1;
    m_joinOrigin = 0;
    m_joinRowOffset = -1;
    m_joinColOffset = -1;
}

int CUGCell::MergeFrom(const CUGCell &source)
{
    const std::uint32_t present = source.m_properties;
    m_useTheme = source.m_useTheme;
    m_properties |= present;
    if (present & CellProp::Text) {
        m_text = source.m_text;
        m_number = source.m_number;
    }
    if (present & CellProp::EditMask)
        m_editMask = source.m_editMask;
    if (present & CellProp::Label)
        m_label = source.m_label;
    if (present & CellProp::Format)
        m_format = source.m_format;
    if (present & CellProp::StyleCell)
        m_styleCell = source.m_styleCell;
    if (present & CellProp::DataType)
        m_dataType = source.m_dataType;
    if (present & CellProp::ReservedInt)
        m_reservedInt = source.m_reservedInt;
    if (present & CellProp::CellType)
        m_cellTypeIndex = source.m_cellTypeIndex;
    if (present & CellProp::CellTypeParam)
        m_cellTypeParam = source.m_cellTypeParam;
    if (present & CellProp::TextColor)
        m_textColor = source.m_textColor;
    if (present & CellProp::BackColor)
        m_backColor = source.m_backColor;
    if (present & CellProp::HighlightTextColor)
        m_highlightTextColor = source.m_highlightTextColor;
    if (present & CellProp::HighlightBackColor)
        m_highlightBackColor = source.m_highlightBackColor;
    if (present & CellProp::BorderStyle)
        m_borderStyle = source.m_borderStyle;
    if (present & CellProp::BorderPen)
        m_borderPen = source.m_borderPen;
    if (present & CellProp::Font)
        m_font = source.m_font;
    if (present & CellProp::Bitmap)
        m_bitmap = source.m_bitmap;
    if (present & CellProp::Alignment)
        m_alignment = source.m_alignment;
    if (present & CellProp::ThemeStyle)
        m_themeStyle = source.m_themeStyle;
    // Extra data is a value: copying it never makes two cells own one block.
    if (present & CellProp::ExtraData)
        m_extraData = source.m_extraData;
    if (present & CellProp::Join) {
        m_joinOrigin = source.m_joinOrigin;
        m_joinRowOffset = source.m_joinRowOffset;
        m_joinColOffset = source.m_joinColOffset;
    }
    if (present & CellProp::Decimals)
        m_decimals = source.m_decimals;
    if (present & CellProp::ReadOnly)
        m_readOnly = source.m_readOnly;
    m_auxiliary = source.m_auxiliary;
    return 0;
}

void CUGCell::AssignText(const QString &text)
{
    m_text = text;
    m_dataType = CellData::Text;
    if (text.isEmpty())
        m_properties &= ~CellProp::Text;
    else
        m_properties |= CellProp::Text | CellProp::DataType;
}

int CUGCell::SetNumber(double number)
{
    m_text.clear();
    m_number = number;
    m_dataType = CellData::Number;
    m_properties |= CellProp::Text | CellProp::DataType;
    return 0;
}

double CUGCell::GetNumber() const
{
    if (!Has(CellProp::Text))
        return 0.0;
    if (m_dataType == CellData::Number || m_dataType == CellData::Date || m_dataType == CellData::Currency)
        return m_number;
    return ParseLocaleNumber(m_text);
}

int CUGCell::GetBoolValue() const
{
    if (Has(CellProp::Text) && GetNumber() > 0)
        return 1;
    if (m_text.startsWith(u'T') || m_text.startsWith(u't'))
        return 1;
    return 0;
}

namespace {

void removeTrailing(QString &text, QChar ch)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == ch)
        --end;
    text.truncate(end);
}

void removeLeading(QString &text, QChar ch)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == ch)
        ++start;
    text.remove(0, start);
}

} // namespace

const QString *CUGCell::GetDisplayText()
{
    if (!Has(CellProp::Text))
        return nullptr;
    if (m_dataType != CellData::Number)
        return &m_text;

    const bool fixedDecimals = Has(CellProp::Decimals);
    // A negative or huge decimal count would make an invalid format; keep it in the usable range.
    const int decimals = std::clamp(m_decimals, 0, kMaxDecimals);
    QString result;
    if (fixedDecimals) {
        result = QString::asprintf("%1.*f", decimals, m_number);
    } else {
        result = QString::asprintf("%.20f", m_number);
        removeTrailing(result, u'0');
        removeLeading(result, u'0');
        removeTrailing(result, u'0');
    }
    if (result.endsWith(u'.'))
        removeTrailing(result, u'.');
    if (result.isEmpty())
        result = QStringLiteral("0");

    if (!Has(CellProp::NoGrouping)) {
        int digits = decimals;
        if (!fixedDecimals) {
            const qsizetype point = result.lastIndexOf(u'.');
            digits = point < 0 ? 0 : int(result.size() - point - 1);
        }
        if (const std::optional<QString> grouped = GridNumberFormat::groupDigits(result, digits))
            result = *grouped;
        else
            result.replace(u'.', GridNumberFormat::kDecimalSeparator);
    }
    m_text = result;
    return &m_text;
}

int CUGCell::ChangeDataType(int dataType)
{
    if (dataType == m_dataType && Has(CellProp::DataType))
        return 0;
    const bool hasText = Has(CellProp::Text);
    switch (dataType) {
    case CellData::Number:
        if (hasText) {
            const QString *shown = GetDisplayText();
            m_number = ParseLocaleNumber(shown ? *shown : QString());
            m_text.clear();
        }
        break;
    case CellData::Date:
        if (hasText) {
            const QString *shown = GetDisplayText();
            bool valid = false;
            m_number = ParseDateText(shown ? *shown : QString(), &valid);
        }
        break;
    case CellData::Currency:
        if (hasText) {
            if (m_dataType == CellData::Number) {
                m_text = QString::asprintf("%.1f", m_number);
            } else {
                const QString *shown = GetDisplayText();
                // Whole currency units only, truncated towards zero.
                m_number = std::trunc(ParseLocaleNumber(shown ? *shown : QString()));
            }
        }
        break;
    default:
        break;
    }
    m_properties |= CellProp::DataType;
    m_dataType = static_cast<std::uint16_t>(dataType);
    return 0;
}

void CUGCell::ClearOwnedData()
{
    m_auxiliary.reset();
    m_properties &= ~CellProp::ExtraData;
    m_extraData.clear();
}

double CUGCell::ParseLocaleNumber(const QString &text)
{
    return GridNumberFormat::parseLocaleNumber(text);
}

double CUGCell::ParseDateText(const QString &text, bool *valid)
{
    static const QRegularExpression isoForm(
        QStringLiteral(R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    static const QRegularExpression usForm(QStringLiteral(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4})\s*$)"));
    *valid = false;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (const QRegularExpressionMatch match = isoForm.match(text); match.hasMatch()) {
        year = match.captured(1).toInt();
        month = match.captured(2).toInt();
        day = match.captured(3).toInt();
        hour = match.captured(4).toInt();
        minute = match.captured(5).toInt();
        second = match.captured(6).toInt();
    } else if (const QRegularExpressionMatch us = usForm.match(text); us.hasMatch()) {
        month = us.captured(1).toInt();
        day = us.captured(2).toInt();
        year = us.captured(3).toInt();
    } else {
        return 0.0;
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return -1.0;
    const qint64 days = date.toJulianDay() - QDate(1899, 12, 30).toJulianDay();
    const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
    *valid = true;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}
