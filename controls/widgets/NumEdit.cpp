#include "NumEdit.h"

#include "platform/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cfloat>

bool NumEditConfig::acceptsChar(const QString &text, int selStart, int selLength, QChar typed) const
{
    if (typed.unicode() < 32)
        return true;
    const QString rest = QString(text).remove(selStart, selLength);
    if (textLimit > 0 && rest.size() >= textLimit)
        return false;
    if (!rangeSet)
        return true;
    const int dot = rest.indexOf(QLatin1Char('.'));
    if (typed == QLatin1Char('-'))
        return (minimum < 0 || maximum < 0) && selStart == 0 && !rest.contains(QLatin1Char('-'));
    if (typed == QLatin1Char('.'))
        return floatMode && dot < 0 && !rest.isEmpty();
    if (!typed.isDigit())
        return false;
    if (!floatMode)
        return true;
    if (dot >= 0)
        return rest.size() - dot - 1 < decimals;
    return rest.size() < integerWidth;
}

QString NumEditConfig::formatBound(double bound) const
{
    if (floatMode)
        return formatFixed(bound, decimals);
    return QString::number(static_cast<int>(bound));
}

QString NumEditConfig::rangeText() const
{
    return QStringLiteral("Range is %1~%2").arg(formatBound(minimum), formatBound(maximum));
}

std::optional<QString> NumEditConfig::focusOutFix(const QString &text) const
{
    // Pasted or loaded text may hold anything: only a whole number (float mode: a decimal) is a value.
    static const QRegularExpression wholeNumber(QStringLiteral(R"(^\s*[-+]?\d+\s*$)"));
    static const QRegularExpression decimalNumber(
        QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?\s*$)"));
    if (!(floatMode ? decimalNumber : wholeNumber).match(text).hasMatch())
        return formatBound(minimum);
    // Compared as f32, as the original did; a typed number beyond f32 counts as its largest value.
    const double typed = toDoublePrefix(text);
    const float value = static_cast<float>(std::clamp(typed, double(-FLT_MAX), double(FLT_MAX)));
    if (value < static_cast<float>(minimum))
        return formatBound(minimum);
    if (value > static_cast<float>(maximum))
        return formatBound(maximum);
    return std::nullopt;
}

CNumEdit::CNumEdit(QWidget *parent) : QLineEdit(parent) {}

void CNumEdit::SetIntRange(int minimum, int maximum)
{
    m_config.rangeSet = true;
    m_config.minimum = std::min(minimum, maximum);
    m_config.maximum = std::max(minimum, maximum);
    m_config.textLimit =
        static_cast<int>(std::max(QString::number(minimum).size(), QString::number(maximum).size()));
}

void CNumEdit::SetFloatRange(float minimum, float maximum)
{
    m_config.rangeSet = true;
    m_config.floatMode = true;
    m_config.decimals = 2;
    m_config.minimum = std::min(minimum, maximum);
    m_config.maximum = std::max(minimum, maximum);
    const QString low = formatFixed(m_config.minimum, 2);
    const QString high = formatFixed(m_config.maximum, 2);
    const QString &longer = low.size() > high.size() ? low : high;
    m_config.textLimit = static_cast<int>(longer.size());
    m_config.integerWidth = static_cast<int>(longer.indexOf(QLatin1Char('.')));
}

void CNumEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteWithinLimit();
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
        if (!m_config.acceptsChar(text(), selStart, static_cast<int>(selectedText().size()), typed.at(0)))
            return;
    }
    QLineEdit::keyPressEvent(event);
}

// Pasting is not filtered, only cut at the length limit, as the edit control of the original did.
void CNumEdit::pasteWithinLimit()
{
    if (isReadOnly())
        return;
    QString pasted = QApplication::clipboard()->text();
    if (m_config.textLimit > 0) {
        const qsizetype room = m_config.textLimit - (text().size() - selectedText().size());
        pasted.truncate(std::max<qsizetype>(0, room));
    }
    insert(pasted);
}

void CNumEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_config.rangeSet) {
        if (m_callback)
            m_callback(parentWidget());
        return;
    }
    const std::optional<QString> fixed = m_config.focusOutFix(text());
    if (!fixed) {
        if (m_callback)
            m_callback(parentWidget());
        return;
    }
    setText(*fixed);
    selectAll();
    // Taking the focus back inside the focus change would fight the widget that takes it; a window
    // that is being deactivated or closed keeps its new focus, so Cancel still works.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    QTimer::singleShot(0, this, [self = QPointer<CNumEdit>(this)] {
        if (!self)
            return;
        self->setFocus(Qt::OtherFocusReason);
        self->selectAll();
    });
}
