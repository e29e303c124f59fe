// The driver of the busy dialog. A job sets Count (its expected seconds), the text and the notify
// callable, then calls Start: the main frame runs the busy dialog modally, the dialog calls the notify
// callable 300 ms after it shows, and the job ends the dialog with CloseDialog on every path.
#pragma once

#include "app/ProgInfoDlg.h"

#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

class CProgressInfoBar
{
public:
    CProgressInfoBar();
    // Closes the dialog when it is still on screen.
    ~CProgressInfoBar();
    CProgressInfoBar(const CProgressInfoBar &) = delete;
    CProgressInfoBar &operator=(const CProgressInfoBar &) = delete;

    void SetText(const QString &text);
    // Has the main frame run the busy dialog; returns once it has closed. Nothing without a main frame.
    void Start();
    // Runs the busy dialog modally over the parent with Count and Text of the current driver and this
    // driver's notify callable.
    void RunDialog(QWidget *parent);
    // Ends the busy dialog (when it exists) once control is back in its loop.
    void CloseDialog();

    // The busy dialog on screen, null when none.
    CProgInfoDlg *Dialog() const { return m_dialog; }

    std::uint32_t Count = 10000;
    QString Text = QStringLiteral("Processing,Please wait...");
    std::function<void()> Notify;

private:
    QPointer<CProgInfoDlg> m_dialog;
};

// The current driver (the application's).
extern CProgressInfoBar *g_ProgressBar;
