#include "app/DlgWaitProgress.h"

#include "app/LangMag.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CDlgWaitProgress::CDlgWaitProgress()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_progress(new QProgressBar(this))
{
    setFixedSize(222, 75);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(g_LangMag.GetString(QStringLiteral("Wait_Stop_Test")), this));
    layout->addWidget(m_progress);
    connect(&m_stepTimer, &QTimer::timeout, this, &CDlgWaitProgress::OnTimer);
    m_stepTimer.start(100);
}

void CDlgWaitProgress::OnTimer()
{
    const int next = m_progress->value() + 1;
    m_progress->setValue(next > m_progress->maximum() ? m_progress->minimum() : next);
}
