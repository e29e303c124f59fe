// The pop-up list of a drop-list cell. It lives as long as its drop-list type and is only hidden
// and shown: a hook may open a modal dialog while a choice is being made, so the list is never
// destroyed from inside its own handlers. Enter and Esc stay in the list. While it is open it
// watches every mouse button: a click that ends outside it closes it, one that ends on an item
// chooses that item.
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
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void makeChoice();
    void stopWatchingTheMouse();
    void judgeReleaseElsewhere(QObject *receiver, QMouseEvent *release);

    CUGCtrl *m_ctrl;
    CUGDropListType *m_type;
    bool m_watchingMouse = false;
    bool m_pressedWhileOpen = false; // the release of the press that opened the list is not a click on it
};
