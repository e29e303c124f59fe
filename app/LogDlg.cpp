#include "app/LogDlg.h"

#include "app/AppSettings.h"
#include "app/LangMag.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

CLogDlg::CLogDlg(const QString &settingsPath, QWidget *parent, qsizetype textLimit)
    : QDialog(parent), m_settingsPath(settingsPath), m_limit(textLimit), m_edit(new QPlainTextEdit(this)),
      m_clearButton(new QPushButton(this)), m_autoClearBox(new QCheckBox(this))
{
    SetLanguageText();
    resize(694, 440);
    m_edit->setReadOnly(true);
    m_edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setUndoRedoEnabled(false);

    if (!m_settingsPath.isEmpty())
        AutoClear = readSettingInt(m_settingsPath, u"Language", u"AutoClear", -1);
    if (AutoClear < 0 || AutoClear > 2)
        AutoClear = 0;
    m_autoClearBox->setChecked(AutoClear != 0);
    connect(m_autoClearBox, &QCheckBox::toggled, this, &CLogDlg::onAutoClearToggled);
    connect(m_clearButton, &QPushButton::clicked, this, &CLogDlg::ClearLog);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_clearButton);
    buttons->addWidget(m_autoClearBox);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
}

void CLogDlg::SetLanguageText()
{
    setWindowTitle(g_LangMag.GetString(QStringLiteral("LogDlg_Title")));
    m_clearButton->setText(g_LangMag.GetString(QStringLiteral("LogDlg_Clear")));
    m_autoClearBox->setText(g_LangMag.GetString(QStringLiteral("LogDlg_Auto_Clear")));
}

void CLogDlg::onAutoClearToggled(bool on)
{
    AutoClear = on ? 1 : 0;
    // Saved at once, so that a setting that cannot be saved is told while the user is at it.
    if (m_settingsPath.isEmpty())
        return;
    if (const SaveResult saved = writeSettingInt(m_settingsPath, u"Language", u"AutoClear", AutoClear);
        !saved)
        reportSettingNotSaved(saved);
}

QString CLogDlg::text() const
{
    return m_edit->toPlainText();
}

void CLogDlg::ClearLog()
{
    m_edit->clear();
    m_length = 0;
}

void CLogDlg::AppendLog(QString text)
{
    // The engine writes a few CR LF lines; the log keeps single line feeds.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.remove(u'\r');

    qsizetype lineEnd = text.indexOf(u'\n');
    if (lineEnd < 0) {
        appendPiece(text + u'\n', true);
        return;
    }
    qsizetype start = 0;
    while (lineEnd >= 0) {
        appendPiece(text.mid(start, lineEnd + 1 - start), true);
        start = lineEnd + 1;
        lineEnd = text.indexOf(u'\n', start);
    }
    if (start < text.size())
        appendPiece(text.mid(start) + u'\n', false);
}

void CLogDlg::appendPiece(const QString &piece, bool checkAutoClear)
{
    if (checkAutoClear && AutoClear != 0 && m_length + piece.size() > m_limit)
        ClearLog();
    if (m_length + piece.size() > m_limit)
        return;
    // Insert at the end without touching the text before it; the newest line stays in sight.
    QTextCursor cursor(m_edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece);
    m_length += piece.size();
    m_edit->verticalScrollBar()->setValue(m_edit->verticalScrollBar()->maximum());
}
