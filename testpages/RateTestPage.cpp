#include "testpages/RateTestPage.h"

#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "platform/Prompter.h"
#include "testpages/PacketCustomPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

CRateTestPage::CRateTestPage(PortLayout layout, std::uint32_t kind, QWidget *parent)
    : CTestPageBase(layout, parent), RunEditor([](CPacketCustomPage &editor) { return editor.exec(); }),
      m_kind(kind)
{
    SetPairBoxKey("TestPage_Source_Pair");
    ConfigLayout = new QGridLayout(ConfigBox);
    InitialRateLabel = new QLabel(ConfigBox);
    InitialRateLabel->setObjectName(QStringLiteral("ctl1218"));
    ConfigLayout->addWidget(InitialRateLabel, 0, 0);
    CustomCheck = new QCheckBox(ConfigBox);
    CustomCheck->setObjectName(QStringLiteral("ctl1300"));
    ConfigLayout->addWidget(CustomCheck, 1, 0);
    EditButton = new QPushButton(ConfigBox);
    EditButton->setObjectName(QStringLiteral("ctl1047"));
    ConfigLayout->addWidget(EditButton, 1, 1);
    connect(EditButton, &QPushButton::clicked, this, &CRateTestPage::OnEditCustom);
    InitCustomFrameTable();
    CRateTestPage::SetLanguageText();
}

void CRateTestPage::InitCustomFrameTable()
{
    CustomFrameTable = DefaultCustomFrames();
}

void CRateTestPage::OnEditCustom()
{
    CPacketCustomPage editor(CustomFrameTable, m_kind, this);
    RunEditor(editor);
}

void CRateTestPage::SetLanguageText()
{
    CTestPageBase::SetLanguageText();
    const EngineHost &host = EngineHost::instance();
    InitialRateLabel->setText(host.text(QStringLiteral("Defualt_Initrate")));
    CustomCheck->setText(host.text(QStringLiteral("TestPage_Custom")));
    EditButton->setText(host.text(QStringLiteral("TestPage_Edit")));
}

void CRateTestPage::ApplyRatePage(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, &HostPortList);
}

bool CRateTestPage::CheckFrameRows(bool rateStep) const
{
    for (std::size_t i = 0; i < FrameRows.size(); ++i) {
        const UtCustomFrame &row = FrameRows[i];
        if (row.FrameSize < kMinFrameSize) {
            const QString text =
                EngineHost::instance().text(QStringLiteral("TestPage_Frame_Too_Small"));
            Prompter::current().messageBox(text.arg(i + 1).arg(int(row.FrameSize)).arg(kMinFrameSize), MB_OK);
            return false;
        }
        if (!IsUsableFrameRow(row, rateStep))
            return false;
    }
    return true;
}
