#include "app/LogoDlg.h"

#include "app/ShellArt.h"
#include "platform/ColorRef.h"

#include <QLabel>
#include <QVBoxLayout>

CLogoDlg::CLogoDlg(QWidget *parent) : QWidget(parent), m_picture(new QLabel(this))
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, fromColorRef(RGB(192, 192, 192)));
    setPalette(palette);
    setAutoFillBackground(true);
    resize(720, 494);
    // The picture follows every size change of the page.
    m_picture->setPixmap(QPixmap::fromImage(ShellArt::bitmap(ShellArt::LogoPicture)));
    m_picture->setScaledContents(true);
    m_picture->setMinimumSize(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picture);
}
