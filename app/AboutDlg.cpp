#include "app/AboutDlg.h"

#include "app/HardwareLink.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/ShellArt.h"
#include "controls/widgets/Label.h"
#include "engine/EngineUtils.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace {

// A blue, underlined link with the hand cursor.
CLabel *linkLabel(const QString &text, bool mail, QWidget *parent)
{
    auto *label = new CLabel(text, parent);
    if (mail)
        label->MakeMailLink(true, false);
    else
        label->MakeHyperlink(true, false);
    label->ChangeTextColor(RGB(0, 0, 255)).UseUnderline(true).UseLinkCursor(QCursor(Qt::PointingHandCursor));
    // Room for the whole text and a little margin.
    label->setMinimumSize(label->fontMetrics().size(Qt::TextSingleLine, text) + QSize(4, 2));
    return label;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget *parent)
    : QDialog(parent), m_version(new QLabel(this)), m_library(new QLabel(this)),
      m_buildDate(new QLabel(this)), m_webLink(linkLabel(QStringLiteral("www.corvane.example"), false, this)),
      m_mailLink(linkLabel(QStringLiteral("support@corvane.example"), true, this))
{
    setWindowTitle(g_LangMag.GetString(QStringLiteral("About_Title")));
    setModal(true);
    char libraryVersion[11] = {};
    HardwareLink::current().GetVerNum(libraryVersion);
    m_version->setText(g_LangMag.GetString(QStringLiteral("About_Version")));
    m_library->setText(QStringLiteral("KvAPI:   v%1").arg(AnsiToCString(libraryVersion)));
    const UtBuildDate date = g_App ? g_App->BuildDate : UtBuildDate{};
    m_buildDate->setText(QString::asprintf("%04d/%02d/%02d", date.Year, date.Month, date.Day));
    m_webLink->ChangeLinkTarget(QStringLiteral("https://www.corvane.example/"));

    auto *picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(ShellArt::bitmap(ShellArt::LogoPicture))
                           .scaledToWidth(160, Qt::SmoothTransformation));
    auto *layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 6, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Tavrix-IGMP-TQ"), this), 0, 1);
    layout->addWidget(m_version, 1, 1);
    layout->addWidget(m_library, 2, 1);
    layout->addWidget(m_buildDate, 3, 1);
    layout->addWidget(m_webLink, 4, 1);
    layout->addWidget(m_mailLink, 5, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 6, 0, 1, 2);
}
