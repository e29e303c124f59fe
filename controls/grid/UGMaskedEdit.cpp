#include "controls/grid/UGMaskedEdit.h"

#include "controls/grid/UGCell.h"
#include "controls/grid/UGCtrl.h"

namespace {

const QString kMaskCharacters = QStringLiteral("09#L?Aa&C");

} // namespace

CUGMaskedEdit::CUGMaskedEdit(CUGCtrl *ctrl, QWidget *parent) : CUGEditBase(ctrl, parent) {}

// Digits and letters of every script count.
bool CUGMaskedEdit::ClassAccepts(QChar maskChar, QChar c)
{
    switch (maskChar.unicode()) {
    case '0':
        return c.isDigit();
    case '9':
        return c.isDigit() || c == u' ';
    case '#':
        return c.isDigit() || c == u' ' || c == u'+' || c == u'-';
    case 'L':
        return c.isLetter();
    case '?':
        return c.isLetter() || c == u' ';
    case 'A':
        return c.isLetter() || c.isDigit();
    case 'a':
        return c.isLetter() || c.isDigit() || c == u' ';
    case '&':
    case 'C':
        return c.isPrint();
    default:
        return true;
    }
}

void CUGMaskedEdit::SetMask(const QString &mask)
{
    m_mask = mask;
    m_classes.clear();
    m_template.clear();
    m_hasMask = !mask.isEmpty();
    if (!m_hasMask) {
        setMaxLength(32767);
        return;
    }
    setMaxLength(int(mask.length()));
    for (qsizetype i = 0; i < mask.length(); ++i) {
        QChar c = mask.at(i);
        if (c == u'\\' && i + 1 < mask.length()) {
            c = mask.at(++i);
            m_classes += kPositionMark;
            m_template += c;
        } else if (kMaskCharacters.contains(c)) {
            m_classes += c;
            m_template += kPositionMark;
        } else {
            m_classes += kPositionMark;
            m_template += c;
        }
    }
    ReformatText();
}

bool CUGMaskedEdit::CheckChar(QChar c)
{
    if (!c.isPrint())
        return true;
    // Only a selection is cleared; the character after the caret stays.
    if (hasSelectedText())
        del();
    int position = cursorPosition();
    if (position >= m_classes.length())
        return false;
    if (m_classes.at(position) == kPositionMark) {
        // One literal is typed for the user; the character then goes after it.
        m_internalUpdate = true;
        insert(QString(m_template.at(position)));
        m_internalUpdate = false;
        position = cursorPosition();
        if (position >= m_classes.length())
            return false;
    }
    return m_classes.at(position) == kPositionMark || ClassAccepts(m_classes.at(position), c);
}

bool CUGMaskedEdit::acceptCharacter(int key)
{
    if (m_internalUpdate || !m_hasMask || key == 127)
        return true;
    return CheckChar(QChar(key));
}

QString CUGMaskedEdit::ApplyMask(const QString &text) const
{
    if (!m_hasMask)
        return text;
    QString shaped;
    qsizetype next = 0;
    for (qsizetype position = 0; position < m_classes.length() && next < text.length(); ++position) {
        if (m_classes.at(position) == kPositionMark) {
            shaped += m_template.at(position);
            continue;
        }
        while (next < text.length() && !ClassAccepts(m_classes.at(position), text.at(next)))
            ++next;
        if (next < text.length())
            shaped += text.at(next++);
    }
    return shaped;
}

void CUGMaskedEdit::ReformatText()
{
    if (!m_hasMask || m_internalUpdate || text().isEmpty())
        return;
    const int start = selectionStart();
    const int length = int(selectedText().length());
    const int caret = cursorPosition();
    m_internalUpdate = true;
    setText(ApplyMask(text()));
    m_internalUpdate = false;
    if (start >= 0)
        setSelection(start, length);
    else
        setCursorPosition(caret);
}

void CUGMaskedEdit::focusInEvent(QFocusEvent *event)
{
    CUGCell cell;
    ctrl()->GetCellComposite(ctrl()->EditColumn(), ctrl()->EditRow(), &cell);
    m_internalUpdate = false;
    SetMask(cell.Has(CellProp::EditMask) ? cell.m_editMask : QString());
    CUGEditBase::focusInEvent(event);
}

void CUGMaskedEdit::focusOutEvent(QFocusEvent *event)
{
    CUGEditBase::focusOutEvent(event);
    setMaxLength(32767);
}
