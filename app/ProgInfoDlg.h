// The busy dialog: a text and a progress bar on screen while a long job runs inside its modal loop.
// 300 ms after it shows it starts the job (its notify callable); the job ends it when done.
#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;

class CProgInfoDlg : public QDialog
{
    Q_OBJECT

public:
    // Timer ids: 1 steps the bar every 500 ms, 2 starts the job once after 300 ms.
    static constexpr int kStepTimer = 1;
    static constexpr int kNotifyTimer = 2;

    explicit CProgInfoDlg(QWidget *parent = nullptr);
    ~CProgInfoDlg() override;

    void SetText(const QString &text);

    // Shows the dialog modally; returns when it has been ended.
    int exec() override;
    // What a timer does when it fires (public so that tests can step it without waiting).
    void OnTimer(int id);
    // Ends the dialog the way a posted close message would: once control is back in its loop.
    void PostClose();

    QProgressBar *progressBar() const { return m_progress; }
    QLabel *textLabel() const { return m_text; }

    std::uint32_t Count = 5;
    QString Text = QStringLiteral("Detecting Halvern System...");
    std::function<void()> Notify;

protected:
    void reject() override; // Escape does not end a busy dialog: only its job does
    void done(int result) override;

private:
    QLabel *m_text;
    QProgressBar *m_progress;
    QTimer m_stepTimer;
    QTimer m_notifyTimer;
};

// The busy dialog on screen, null when none.
extern CProgInfoDlg *g_ProgInfoDlg;
