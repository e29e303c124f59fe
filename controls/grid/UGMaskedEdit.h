// The in-cell editor for cells with an input mask. Mask characters: 0 digit, 9 digit or space,
// # digit, space, + or -, L letter, ? letter or space, A letter or digit, a letter, digit or space,
// & and C any printable character; any other character, or one after a backslash, is a literal
// that the editor types itself.
#pragma once

#include "controls/grid/UGEditBase.h"

#include <QString>

class CUGMaskedEdit : public CUGEditBase
{
    Q_OBJECT

public:
    static constexpr QChar kPrompt = u'_';
    // Marks a literal position in the classes and an input position in the template.
    static constexpr QChar kPositionMark = QChar(8);

    CUGMaskedEdit(CUGCtrl *ctrl, QWidget *parent);

    // An empty mask turns the mask off.
    void SetMask(const QString &mask);
    // Whether the typed character may go in at the caret; may type one literal before it.
    bool CheckChar(QChar c);
    // The text fitted into the mask: literals in their places, characters that fit the classes.
    QString ApplyMask(const QString &text) const;
    void ReformatText();

    const QString &PositionClasses() const { return m_classes; }
    const QString &LiteralTemplate() const { return m_template; }
    bool HasMask() const { return m_hasMask; }
    static bool ClassAccepts(QChar maskChar, QChar c);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool acceptCharacter(int key) override;

private:
    QString m_mask;
    bool m_hasMask = false;
    QString m_classes;
    QString m_template;
    bool m_internalUpdate = false;
};
