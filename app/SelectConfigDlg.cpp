#include "app/SelectConfigDlg.h"

#include "app/LangMag.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CSelectConfigDlg::CSelectConfigDlg(QWidget *parent)
    : QDialog(parent), m_note(new QLabel(this)), m_open(new QRadioButton(this)),
      m_create(new QRadioButton(this)), m_ok(new QPushButton(this))
{
    setModal(true);
    m_ok->setAutoDefault(false);
    m_ok->setDefault(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    layout->addWidget(m_open);
    layout->addWidget(m_create);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    connect(m_open, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Choice = 1;
    });
    connect(m_create, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Choice = 2;
    });
    connect(m_ok, &QPushButton::clicked, this, [this] { done(Choice); });
    RelabelControls();
    m_open->setChecked(true);
}

void CSelectConfigDlg::RelabelControls()
{
    setWindowTitle(g_LangMag.GetString(QStringLiteral("Select_Config_Title")));
    m_note->setText(g_LangMag.GetString(QStringLiteral("Select_Config_Note")));
    m_open->setText(g_LangMag.GetString(QStringLiteral("Select_Config_Open_Exist")));
    m_create->setText(g_LangMag.GetString(QStringLiteral("Select_Config_Create_New")));
    m_ok->setText(g_LangMag.GetString(QStringLiteral("Select_Config_OK")));
}

void CSelectConfigDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CSelectConfigDlg::reject()
{
    done(-1);
}
