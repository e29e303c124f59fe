// A line edit that takes only a number within a range: typed characters are filtered, and on leaving
// the field a value outside the range is replaced by the nearer bound.
#pragma once

#include <QLineEdit>
#include <functional>
#include <optional>

// The range and mode of a numeric edit, and the rules that follow from them.
struct NumEditConfig
{
    double minimum = 0.0;
    double maximum = 0.0;
    bool rangeSet = false;
    bool floatMode = false;
    int decimals = 2;
    int integerWidth = 0;
    int textLimit = 0; // 0 = no limit

    // Whether a typed character is accepted into text whose selection [selStart, selStart+selLength)
    // it replaces. Leading "-" only when a bound is negative, "." only in float mode.
    bool acceptsChar(const QString &text, int selStart, int selLength, QChar typed) const;
    // The text that replaces an out-of-range value on leaving the field; nothing when it stays. A text
    // that is not one number of the mode (a whole number, or a decimal in float mode) gives the minimum.
    std::optional<QString> focusOutFix(const QString &text) const;
    // The text is one number of the mode within the range (any text without a range).
    bool holdsInRange(const QString &text) const { return !rangeSet || !focusOutFix(text); }
    // The same rule for a whole number within [minimum, maximum], where no edit keeps the range.
    static bool holdsWholeNumber(const QString &text, int minimum, int maximum)
    {
        return NumEditConfig{.minimum = double(minimum), .maximum = double(maximum), .rangeSet = true}
            .holdsInRange(text);
    }
    QString formatBound(double bound) const;
    QString rangeText() const;
};

class CNumEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CNumEdit(QWidget *parent = nullptr);

    void SetIntRange(int minimum, int maximum);
    void SetFloatRange(float minimum, float maximum);
    QString GetRangeText() const { return m_config.rangeText(); }
    // Called with the parent window when the field is left holding a value within its range.
    void SetCallback(std::function<void(QWidget *parent)> callback) { m_callback = std::move(callback); }
    const NumEditConfig &config() const { return m_config; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void pasteWithinLimit();

    NumEditConfig m_config;
    std::function<void(QWidget *)> m_callback;
};
