// Linked into the start-up benchmark's programs only. When KV_SHOWN_FD names a pipe, it writes one byte
// to it once the first main window has been exposed and painted, then ends the process at once (the
// benchmark times start-up, not shut-down). A dialog shown before that is answered the way a user
// would: by clicking its button whose text is KV_STARTUP_ANSWER.
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QPushButton>
#include <QWindow>

#include <unistd.h>

namespace {

class StartupShownHook : public QObject
{
public:
    StartupShownHook(int shownFd, QString answer, QObject *parent)
        : QObject(parent), m_shownFd(shownFd), m_answer(std::move(answer))
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            answerDialog(watched);
        else if (event->type() == QEvent::Expose && !m_reported && isExposedMainWindow(watched))
            reportAfterPaint();
        return false;
    }

private:
    void answerDialog(QObject *watched) const
    {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog || m_answer.isEmpty())
            return;
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->text() == m_answer) {
                QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
                return;
            }
    }

    static bool isExposedMainWindow(QObject *watched)
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (!window || !window->isExposed())
            return false;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->windowHandle() == window)
                return qobject_cast<QMainWindow *>(widget) != nullptr;
        return false;
    }

    // The exposure is painted while this event is delivered; the report is queued behind it.
    void reportAfterPaint()
    {
        m_reported = true;
        QMetaObject::invokeMethod(
            this,
            [fd = m_shownFd] {
                const char shown = 1;
                const bool written = ::write(fd, &shown, 1) == 1;
                ::_exit(written ? 0 : 1);
            },
            Qt::QueuedConnection);
    }

    int m_shownFd;
    QString m_answer;
    bool m_reported = false;
};

void installStartupShownHook()
{
    bool valid = false;
    const int shownFd = qEnvironmentVariableIntValue("KV_SHOWN_FD", &valid);
    if (!valid || shownFd < 0)
        return;
    auto *hook = new StartupShownHook(shownFd, qEnvironmentVariable("KV_STARTUP_ANSWER"),
                                      QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(hook);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installStartupShownHook)
