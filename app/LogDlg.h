// The test log window: a read-only text that the engine and the pages append lines to, a Clear button
// and an Auto Clear check box that empties the log before it would overflow. Closing only hides it.
#pragma once

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class CLogDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr qsizetype kDefaultTextLimit = 10'000'000;

    // Reads AutoClear from the settings file and writes each change of the check box back to it (no
    // file: off, and nothing is written).
    explicit CLogDlg(const QString &settingsPath, QWidget *parent = nullptr,
                     qsizetype textLimit = kDefaultTextLimit);

    // Appends text line by line; see AppendLog of the main view.
    void AppendLog(QString text);
    void ClearLog();
    // The title, the Clear button and the Auto Clear box in the current language.
    void SetLanguageText();

    QString text() const;
    qsizetype textLength() const { return m_length; }
    qsizetype textLimit() const { return m_limit; }
    QPlainTextEdit *edit() const { return m_edit; }
    QCheckBox *autoClearBox() const { return m_autoClearBox; }
    QPushButton *clearButton() const { return m_clearButton; }

    // Nonzero = on; a value read outside 0..2 becomes 0.
    std::int32_t AutoClear = -1;

private:
    // Appends one piece at the end; with checkAutoClear, empties the log first when the piece would pass
    // the limit and Auto Clear is on. A piece that still does not fit is refused.
    void appendPiece(const QString &piece, bool checkAutoClear);
    void onAutoClearToggled(bool on);

    QString m_settingsPath;
    qsizetype m_limit;
    qsizetype m_length = 0;
    QPlainTextEdit *m_edit;
    QPushButton *m_clearButton;
    QCheckBox *m_autoClearBox;
};
