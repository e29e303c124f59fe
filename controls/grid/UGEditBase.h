// What both in-cell editors share: the keys that end an edit and move on to a neighbouring cell,
// Esc that cancels, the key check through the grid's hooks, and handing the text back to the grid
// when the editor loses the focus. Enter and Esc stay in the editor, so a dialog around the grid
// neither presses its default button nor closes.
#pragma once

#include <QLineEdit>

class CUGCtrl;

class CUGEditBase : public QLineEdit
{
    Q_OBJECT

public:
    CUGEditBase(CUGCtrl *ctrl, QWidget *parent);

    int m_cancel = 0;
    int m_moveOn = 0;
    int m_nextCol = 0;
    int m_nextRow = 0;
    int m_lastKey = 0;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    // The check a typed character passes: the data source's, then the grid's hook (which may
    // change it); false refuses it.
    bool checkEditKey(int *key);
    // A derived editor's own test of a typed character before the hooks; the base takes all.
    virtual bool acceptCharacter(int key);
    CUGCtrl *ctrl() const { return m_ctrl; }

private:
    // Ends the edit with the present flags; the grid may start the next edit at once.
    void finishEdit();
    void moveOnTo(int col, int row);
    void typeCharacter(QKeyEvent *event);

    CUGCtrl *m_ctrl;
    // Set while the edit is being finished: the focus loss that hiding the editor causes must
    // not finish it a second time.
    bool m_finishing = false;
};
