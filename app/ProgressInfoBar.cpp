#include "app/ProgressInfoBar.h"

#include "app/MainFrame.h"
#include "app/ProgInfoDlg.h"

CProgressInfoBar *g_ProgressBar = nullptr;

CProgressInfoBar::CProgressInfoBar()
{
    g_ProgressBar = this;
}

CProgressInfoBar::~CProgressInfoBar()
{
    CloseDialog();
    if (g_ProgressBar == this)
        g_ProgressBar = nullptr;
}

void CProgressInfoBar::SetText(const QString &text)
{
    Text = text;
}

void CProgressInfoBar::Start()
{
    if (g_MainFrame)
        g_MainFrame->OnRunProgress();
}

void CProgressInfoBar::RunDialog(QWidget *parent)
{
    const CProgressInfoBar &current = g_ProgressBar ? *g_ProgressBar : *this;
    // The dialog outlives this driver if the job destroys it: after exec only locals are touched.
    QPointer<CProgInfoDlg> dialog = new CProgInfoDlg(parent);
    dialog->Count = current.Count;
    dialog->Text = current.Text;
    dialog->Notify = Notify;
    m_dialog = dialog;
    dialog->exec();
    delete dialog.data();
}

void CProgressInfoBar::CloseDialog()
{
    if (m_dialog)
        m_dialog->PostClose();
}
