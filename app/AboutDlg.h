// The About box: product, version, hardware-library version, build date and the maker's links.
#pragma once

#include <QDialog>

class CLabel;
class QLabel;

class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    QLabel *versionLabel() const { return m_version; }
    QLabel *libraryLabel() const { return m_library; }
    QLabel *buildDateLabel() const { return m_buildDate; }
    CLabel *webLink() const { return m_webLink; }
    CLabel *mailLink() const { return m_mailLink; }

private:
    QLabel *m_version;
    QLabel *m_library;
    QLabel *m_buildDate;
    CLabel *m_webLink;
    CLabel *m_mailLink;
};
