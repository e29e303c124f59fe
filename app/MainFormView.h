// The main form view. For now it holds only the run's stop flag, which the abortable waits watch.
#pragma once

#include <QWidget>
#include <cstdint>

class CMainFormView : public QWidget
{
    Q_OBJECT

public:
    explicit CMainFormView(QWidget *parent = nullptr);
    ~CMainFormView() override;

    // Sets the stop flag and wakes every abortable wait at once.
    void RequestStop();

    // 1 once Stop was given; cleared at Run and after the run.
    std::uint32_t StopRequested = 0;

signals:
    void stopRequested();
};

// The one main view; null while it does not exist.
extern CMainFormView *g_MainView;
