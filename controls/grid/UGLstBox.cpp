#include "controls/grid/UGLstBox.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDropListType.h"
#include "controls/grid/UGGrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

CUGLstBox::CUGLstBox(CUGCtrl *ctrl, CUGDropListType *type, QWidget *parent)
    : QListWidget(parent), m_ctrl(ctrl), m_type(type)
{
    setObjectName(QStringLiteral("UGLstBox%1").arg(CUGDropListType::kListId));
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::Box);
    hide();
}

bool CUGLstBox::event(QEvent *event)
{
    // Enter and Esc belong to the list, never to a dialog around the grid.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QListWidget::event(event);
}

void CUGLstBox::Close()
{
    const bool hadFocus = hasFocus();
    // Hiding a focused list ends it through its focus loss.
    hide();
    if (m_open) {
        m_open = 0;
        m_type->ListClosed(m_choiceMade != 0);
    }
    if (hadFocus)
        m_ctrl->GridWindow()->setFocus(Qt::OtherFocusReason);
}

void CUGLstBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    m_open = 1;
    m_choiceMade = 0;
    if (!m_watchingMouse) {
        m_watchingMouse = true;
        m_pressedWhileOpen = false;
        qApp->installEventFilter(this);
    }
}

void CUGLstBox::hideEvent(QHideEvent *event)
{
    stopWatchingTheMouse();
    QListWidget::hideEvent(event);
}

void CUGLstBox::stopWatchingTheMouse()
{
    if (m_watchingMouse) {
        m_watchingMouse = false;
        qApp->removeEventFilter(this);
    }
}

bool CUGLstBox::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_watchingMouse || !m_open || !watched->isWidgetType())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_pressedWhileOpen = true;
        return false;
    case QEvent::MouseButtonRelease:
        if (m_pressedWhileOpen)
            judgeReleaseElsewhere(watched, static_cast<QMouseEvent *>(event));
        return false;
    default:
        return false;
    }
}

// A release that another widget receives (its press began there) is judged by where it happens:
// on an item it chooses the item, off the list it closes the list. The receiver still gets it, so
// a button pressed there does not stay down.
void CUGLstBox::judgeReleaseElsewhere(QObject *receiver, QMouseEvent *release)
{
    auto *widget = static_cast<QWidget *>(receiver);
    if (widget == this || isAncestorOf(widget) || widget->window() != window())
        return;
    const QPoint global = release->globalPosition().toPoint();
    const QPoint onItems = viewport()->mapFromGlobal(global);
    if (QListWidgetItem *under = viewport()->rect().contains(onItems) ? itemAt(onItems) : nullptr) {
        setCurrentItem(under);
        makeChoice();
    } else if (!rect().contains(mapFromGlobal(global))) {
        Close();
    }
}

void CUGLstBox::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    if (!m_open)
        return;
    m_open = 0;
    hide();
    m_type->ListClosed(m_choiceMade != 0, event->reason() == Qt::MouseFocusReason);
}

void CUGLstBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    if (currentRow() != -1)
        makeChoice();
}

void CUGLstBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        Close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (currentRow() != -1)
            makeChoice();
        else
            Close();
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void CUGLstBox::makeChoice()
{
    m_choiceMade = 1;
    const int index = currentRow();
    const QString text = index >= 0 ? item(index)->text() : QString();
    // The list is out of the way and the focus back on the cells before any hook runs: a hook
    // may open a modal dialog.
    Close();
    m_type->MakeChoice(index, text);
}
