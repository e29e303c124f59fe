#include "reports/ChartSetting.h"

#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineHost.h"
#include "engine/LanguageText.h"
#include "ports/PortCheckGrid.h"
#include "reports/ChartSettingOpener.h"
#include "testpages/RateTestPage.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// A rectangle of the dialog's layout, given in dialog units of "MS Shell Dlg" 8 (base units 6 x 13).
QRect chartSettingRect(int x, int y, int width, int height)
{
    const auto px = [](int dlu) { return (dlu * 6 + 2) / 4; };
    const auto py = [](int dlu) { return (dlu * 13 + 4) / 8; };
    return QRect(px(x), py(y), px(x + width) - px(x), py(y + height) - py(y));
}

} // namespace

CChartSetting::CChartSetting(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      TestPairButton(new CButtonST(this)), FrameSizeGrid(new CPortCheckGrid(this)),
      TestPairGrid(new CPortCheckGrid(this)), CurrentGrid(new CPortCheckGrid(this)),
      AutoCheck(new QCheckBox(this)), AddButton(new QPushButton(this)), DelButton(new QPushButton(this)),
      OkButton(new QPushButton(this))
{
    setWindowTitle(languageText("ChartSet_Title"));
    setFixedSize(chartSettingRect(0, 0, 294, 130).size());

    const struct
    {
        const char *key;
        QRect rect;
    } labels[] = {
        {"ChartSet_Test_Group", chartSettingRect(13, 10, 65, 11)},
        {"ChartSet_Frame_Size", chartSettingRect(89, 10, 64, 9)},
        {"ChartSet_Current", chartSettingRect(190, 10, 66, 13)},
    };
    for (const auto &label : labels)
        (new QLabel(languageText(label.key), this))->setGeometry(label.rect);

    const struct
    {
        QPushButton *button;
        const char *name;
        const char *key;
        QRect rect;
    } buttons[] = {
        {OkButton, "ctl1047", "ChartSet_OK", chartSettingRect(242, 112, 42, 13)},
        {AddButton, "ctl1341", "ChartSet_Add", chartSettingRect(159, 37, 25, 14)},
        {DelButton, "ctl1049", "ChartSet_Del", chartSettingRect(159, 70, 25, 14)},
        {TestPairButton, "ctl1025", "ChartSet_Test_Pair", chartSettingRect(63, 110, 50, 14)},
    };
    for (const auto &button : buttons) {
        button.button->setObjectName(QString::fromLatin1(button.name));
        button.button->setText(languageText(button.key));
        button.button->setGeometry(button.rect);
    }
    TestPairButton->hide();
    AutoCheck->setObjectName(QStringLiteral("ctl1541"));
    AutoCheck->setText(languageText("ChartSet_Auto"));
    AutoCheck->setGeometry(chartSettingRect(148, 113, 81, 10));

    TestPairGrid->setObjectName(QStringLiteral("ctl1340"));
    TestPairGrid->setGeometry(chartSettingRect(13, 28, 65, 77));
    FrameSizeGrid->setObjectName(QStringLiteral("ctl1338"));
    FrameSizeGrid->setGeometry(chartSettingRect(89, 28, 65, 77));
    CurrentGrid->setObjectName(QStringLiteral("ctl1342"));
    CurrentGrid->setGeometry(chartSettingRect(190, 28, 93, 77));

    TestPairGrid->InitAttachedWindow(this);
    TestPairGrid->ChangeColumnWidth(0, 88);
    FrameSizeGrid->InitAttachedWindow(this);
    FrameSizeGrid->ChangeColumnWidth(0, 70);
    fillFromOpener();
    CurrentGrid->InitAttachedWindow(this);
    CurrentGrid->SetColumnCount(2);
    CurrentGrid->ChangeColumnWidth(0, 120);
    CurrentGrid->ChangeColumnWidth(1, 0);

    // "OK", "Add" and the hidden "Test Pair" button do nothing.
    connect(AutoCheck, &QCheckBox::clicked, this, &CChartSetting::OnAutoClicked);
    connect(DelButton, &QPushButton::clicked, this, &CChartSetting::OnDelClicked);
    OnAutoClicked();
    // "OK" is the first tab stop and has the focus when the dialog opens.
    OkButton->setFocus();
}

void CChartSetting::fillFromOpener()
{
    const int page = ChartSettingOpener::OpeningPage();
    const CRateTestPage *config = ChartSettingOpener::ConfigPage(page);
    if (page == ChartSettingOpener::kNone || page == ChartSettingOpener::Filter)
        return;
    AutoCheck->setChecked(ChartSettingOpener::AutoRunningStep() == 1);
    if (!config)
        return;
    int row = 0;
    for (int pair = 1; pair < int(config->PairChecked.size()); ++pair) {
        if (config->PairChecked[std::size_t(pair)] == 1)
            TestPairGrid->AddRow(row++, languageText("ChartSet_Pair_Row").arg(pair), 0, nullptr,
                                 kRowCheckStyle);
    }
    for (std::size_t i = 0; i < config->CustomFrameTable.size(); ++i)
        FrameSizeGrid->AddRow(int(i), QString::number(config->CustomFrameTable[i].FrameSize), 0, nullptr,
                              kRowCheckStyle);
}

void CChartSetting::OnAutoClicked()
{
    const bool locked = AutoCheck->isChecked();
    for (QWidget *control :
         std::initializer_list<QWidget *>{TestPairGrid, CurrentGrid, FrameSizeGrid, AddButton, DelButton})
        control->setEnabled(!locked);
}

void CChartSetting::OnDelClicked()
{
    for (int row = 0; row < CurrentGrid->GetRowCount();) {
        if (IsRowChecked(CurrentGrid, row) == 0) {
            ++row;
            continue;
        }
        // A row the store keeps is passed over; the next row moves up into a deleted one's place.
        const int rows = CurrentGrid->GetRowCount();
        if (CurrentGrid->CurrentSheet()->m_dataSource->DeleteRowAt(row) == 0)
            CurrentGrid->SetRowCount(rows - 1);
        else
            ++row;
    }
    CurrentGrid->update();
}

void CChartSetting::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && plain && !qobject_cast<QPushButton *>(focusWidget())) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
