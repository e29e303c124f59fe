// The pop-up list of a drop-list cell. It lives as long as its drop-list type and is only hidden
// and shown: a hook may open a modal dialog while a choice is being made, so the list is never
// destroyed from inside its own handlers. Enter and Esc stay in the list.
#pragma once

#include <QListWidget>

class CUGCtrl;
class CUGDropListType;

class CUGLstBox : public QListWidget
{
    Q_OBJECT

public:
    CUGLstBox(CUGCtrl *ctrl, CUGDropListType *type, QWidget *parent);

    int m_open = 0;
    int m_choiceMade = 0;

    // Hides the list and gives the focus back to the cell area.
    void Close();

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void makeChoice();

    CUGCtrl *m_ctrl;
    CUGDropListType *m_type;
};
