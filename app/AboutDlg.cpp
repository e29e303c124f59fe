#include "app/AboutDlg.h"

#include "app/HardwareLink.h"
#include "app/KvIGMPTQApp.h"
#include "app/ShellArt.h"
#include "engine/EngineUtils.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace {

QLabel *linkLabel(const QString &url, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(url, text.toHtmlEscaped()), parent);
    label->setOpenExternalLinks(true);
    return label;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent), m_version(new QLabel(this)), m_library(new QLabel(this)), m_buildDate(new QLabel(this))
{
    setWindowTitle(QStringLiteral("About Tavrix-IGMP-TQ"));
    setModal(true);
    char libraryVersion[11] = {};
    HardwareLink::current().GetVerNum(libraryVersion);
    m_version->setText(QStringLiteral("Version: v1.0b016"));
    m_library->setText(QStringLiteral("KvAPI:   v%1").arg(AnsiToCString(libraryVersion)));
    const UtBuildDate date = g_App ? g_App->BuildDate : UtBuildDate{};
    m_buildDate->setText(QString::asprintf("%04d/%02d/%02d", date.Year, date.Month, date.Day));

    auto *picture = new QLabel(this);
    picture->setPixmap(
        QPixmap::fromImage(ShellArt::bitmap(155)).scaledToWidth(160, Qt::SmoothTransformation));
    auto *layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 6, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Tavrix-IGMP-TQ"), this), 0, 1);
    layout->addWidget(m_version, 1, 1);
    layout->addWidget(m_library, 2, 1);
    layout->addWidget(m_buildDate, 3, 1);
    layout->addWidget(linkLabel(QStringLiteral("https://www.corvane.example/"),
                                QStringLiteral("www.corvane.example"), this),
                      4, 1);
    layout->addWidget(linkLabel(QStringLiteral("mailto:support@corvane.example"),
                                QStringLiteral("support@corvane.example"), this),
                      5, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 6, 0, 1, 2);
}
