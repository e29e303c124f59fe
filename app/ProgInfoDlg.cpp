#include "app/ProgInfoDlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CProgInfoDlg *g_ProgInfoDlg = nullptr;

CProgInfoDlg::CProgInfoDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_text(new QLabel(this)),
      m_progress(new QProgressBar(this))
{
    setModal(true);
    setFixedSize(222, 75);
    m_progress->setTextVisible(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_progress);
    m_stepTimer.setInterval(500);
    m_notifyTimer.setInterval(300);
    m_notifyTimer.setSingleShot(true);
    m_notifyTimer.setTimerType(Qt::PreciseTimer); // never earlier than 300 ms
    connect(&m_stepTimer, &QTimer::timeout, this, [this] { OnTimer(kStepTimer); });
    connect(&m_notifyTimer, &QTimer::timeout, this, [this] { OnTimer(kNotifyTimer); });
    g_ProgInfoDlg = this;
}

CProgInfoDlg::~CProgInfoDlg()
{
    if (g_ProgInfoDlg == this)
        g_ProgInfoDlg = nullptr;
}

void CProgInfoDlg::SetText(const QString &text)
{
    Text = text;
    m_text->setText(text);
}

int CProgInfoDlg::exec()
{
    const int steps = int(std::min<std::uint32_t>(Count, INT32_MAX / 2) * 2);
    m_progress->setRange(0, steps);
    m_progress->setValue(0);
    m_text->setText(Text);
    m_notifyTimer.start();
    m_stepTimer.start();
    return QDialog::exec();
}

void CProgInfoDlg::OnTimer(int id)
{
    if (id == kStepTimer) {
        // The bar fills in Count seconds and then stays full until the job ends.
        if (m_progress->value() < m_progress->maximum())
            m_progress->setValue(m_progress->value() + 1);
    } else if (id == kNotifyTimer) {
        m_notifyTimer.stop();
        // Posted: the job starts from the dialog's own loop, not from inside this timer call.
        if (Notify)
            QMetaObject::invokeMethod(this, Notify, Qt::QueuedConnection);
    }
}

void CProgInfoDlg::PostClose()
{
    QMetaObject::invokeMethod(
        this, [this] { done(0); }, Qt::QueuedConnection);
}

void CProgInfoDlg::reject() {}

void CProgInfoDlg::done(int result)
{
    m_stepTimer.stop();
    m_notifyTimer.stop();
    QDialog::done(result);
}
