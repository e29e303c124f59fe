// The wait dialog shown while a running test stops: a fixed text and a bar that keeps sweeping. It is
// modeless and has no parent, so that it stays usable while the main frame is disabled.
#pragma once

#include <QDialog>
#include <QTimer>

class QProgressBar;

class CDlgWaitProgress : public QDialog
{
    Q_OBJECT

public:
    CDlgWaitProgress();

    // Timer 1: one step every 100 ms; past the end the bar starts again (one sweep per 10 s).
    void OnTimer();
    QProgressBar *progressBar() const { return m_progress; }

private:
    QProgressBar *m_progress;
    QTimer m_stepTimer;
};
