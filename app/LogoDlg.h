// The start page: the product picture stretched over a light-grey page.
#pragma once

#include <QWidget>

class QLabel;

class CLogoDlg : public QWidget
{
    Q_OBJECT

public:
    explicit CLogoDlg(QWidget *parent = nullptr);
    QLabel *picture() const { return m_picture; }

private:
    QLabel *m_picture;
};
