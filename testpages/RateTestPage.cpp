#include "testpages/RateTestPage.h"

#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "testpages/PacketCustomPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kRateDecimals = 2;
constexpr double kMinRate = 0.01;
constexpr double kMaxRate = 100;
// Items of the two lists: a language key, or a name that reads the same in every language.
struct ChoiceItem
{
    const char *key;
    const char *name;
};
constexpr ChoiceItem kVersionItems[] = {{nullptr, "v1"}, {nullptr, "v2"}, {nullptr, "v3"}};
constexpr ChoiceItem kPayloadItems[] = {{"TestPage_Payload_Random", nullptr},
                                        {"TestPage_Payload_Increase", nullptr},
                                        {nullptr, "0x55AA"},
                                        {nullptr, "0x00FF"},
                                        {"TestPage_Payload_All_1", nullptr},
                                        {"TestPage_Payload_All_0", nullptr}};
constexpr int kVersion2 = 1;

template <std::size_t N> void fillCombo(QComboBox *combo, const ChoiceItem (&items)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        const QString text = items[i].key ? languageText(items[i].key) : QString::fromLatin1(items[i].name);
        if (int(i) < combo->count())
            combo->setItemText(int(i), text);
        else
            combo->addItem(text);
    }
}

} // namespace

CRateTestPage::CRateTestPage(const Shape &shape, QWidget *parent)
    : CTestPageBase(shape.layout, parent), RunEditor([](CPacketCustomPage &editor) { return editor.exec(); }),
      m_shape(shape)
{
    SetPairBoxKey("TestPage_Source_Pair");
    ConfigLayout = new QGridLayout(ConfigBox);

    DurationField = addField(0, shape.rateStep ? "TestPage_Rate_Duration_Secs" : "TestPage_Rate_Duration",
                             {.minimum = 1, .maximum = 300000, .initial = 10});
    TrialsField = addField(0, "TestPage_Rate_Trials", {.minimum = 1, .maximum = 5, .initial = 1});
    DelayAfterStartField =
        addField(0, "TestPage_Rate_Delay_Start", {.minimum = 1, .maximum = 300, .initial = 10});
    DelayAfterJoinField = addField(0, "TestPage_Rate_Delay_Join",
                                   {.minimum = 1, .maximum = 300, .initial = double(shape.delayAfterJoin)});

    InitialRateField = addRateField(1, "Defualt_Initrate", 50);
    InitialRateField.label->setObjectName(QStringLiteral("ctl1218"));
    MinRateField = addRateField(1, shape.rateStep ? "TestPage_Rate_Step" : "TestPage_Rate_Min", 10);
    MaxRateField = addRateField(1, "TestPage_Rate_Max", 100);
    if (!shape.rateStep)
        ResolutionField = addRateField(1, "TestPage_Rate_Resolution", 0.01);

    constexpr NumberFieldShape frameSize{
        .minimum = kMinCustomFrameSize, .maximum = kMaxCustomFrameSize, .initial = kMinFrameSize};
    FrameStartField = addField(2, "TestPage_Frame_Start", frameSize);
    FrameStopField = addField(2, "TestPage_Frame_Stop", frameSize);
    FrameStepField = addField(2, "TestPage_Frame_Step", frameSize);

    const auto addChoice = [this](QLabel *&label, QComboBox *&combo) {
        const int row = m_nextRow[2]++;
        label = new QLabel(ConfigBox);
        combo = new QComboBox(ConfigBox);
        combo->setEditable(false);
        ConfigLayout->addWidget(label, row, 6);
        ConfigLayout->addWidget(combo, row, 7, 1, 2);
    };
    addChoice(IgmpVersionLabel, IgmpVersionCombo);
    addChoice(PayloadLabel, PayloadCombo);
    fillCombo(IgmpVersionCombo, kVersionItems);
    IgmpVersionCombo->setCurrentIndex(kVersion2);
    fillCombo(PayloadCombo, kPayloadItems);
    PayloadCombo->setCurrentIndex(0);

    CustomCheck = new QCheckBox(ConfigBox);
    CustomCheck->setObjectName(QStringLiteral("ctl1300"));
    EditButton = new QPushButton(ConfigBox);
    EditButton->setObjectName(QStringLiteral("ctl1047"));
    const int customRow = m_nextRow[2]++;
    ConfigLayout->addWidget(CustomCheck, customRow, 6);
    ConfigLayout->addWidget(EditButton, customRow, 7, 1, 2);
    connect(EditButton, &QPushButton::clicked, this, &CRateTestPage::OnEditCustom);
    ConfigLayout->setColumnStretch(9, 1);

    PairChecked.fill(0);
    InitCustomFrameTable();
    CRateTestPage::SetLanguageText();
}

CRateTestPage::NumberField CRateTestPage::addField(int column, const char *labelKey, NumberFieldShape shape)
{
    shape.row = m_nextRow[column]++;
    shape.column = column * 3;
    shape.editWidth = kNumberEditWidth;
    const NumberField field{AddNumberField(ConfigLayout, ConfigBox, shape), labelKey};
    field.label->setText(languageText(labelKey));
    m_numberFields.push_back(field);
    return field;
}

CRateTestPage::NumberField CRateTestPage::addRateField(int column, const char *labelKey, double value)
{
    return addField(column, labelKey,
                    {.minimum = kMinRate, .maximum = kMaxRate, .initial = value, .decimals = kRateDecimals});
}

int CRateTestPage::intOf(const NumberField &field)
{
    return toIntPrefix(field.edit->text());
}

double CRateTestPage::rateOf(const NumberField &field)
{
    return toDoublePrefix(field.edit->text());
}

void CRateTestPage::InitCustomFrameTable()
{
    CustomFrameTable = DefaultCustomFrames();
}

void CRateTestPage::OnEditCustom()
{
    CPacketCustomPage editor(CustomFrameTable, m_shape.kind, this);
    RunEditor(editor);
}

void CRateTestPage::SetLanguageText()
{
    CTestPageBase::SetLanguageText();
    for (const NumberField &field : m_numberFields)
        field.label->setText(languageText(field.labelKey));
    IgmpVersionLabel->setText(languageText("TestPage_IGMP_Version"));
    // The text breaks its line for a narrower place; here it stands on one row beside its list.
    PayloadLabel->setText(languageText("TestPage_Frame_Payload").remove(u'\n'));
    fillCombo(IgmpVersionCombo, kVersionItems);
    fillCombo(PayloadCombo, kPayloadItems);
    CustomCheck->setText(languageText("TestPage_Custom"));
    EditButton->setText(languageText("TestPage_Edit"));
}

std::vector<CTestPageBase::SectionField> CRateTestPage::SectionFields()
{
    std::vector<SectionField> fields = {
        {"TestDuration", DurationField.edit},
        {"NumberOfTrails", TrialsField.edit},
        {"DelayAfterStart", DelayAfterStartField.edit},
        {"FrameStartFrom", FrameStartField.edit},
        {"FrameEnd", FrameStopField.edit},
        {"FrameStep", FrameStepField.edit},
        {"FramePayload", PayloadCombo},
        {"InitialRate", InitialRateField.edit},
        {m_shape.rateStep ? "RateStep" : "MinRate", MinRateField.edit},
        {"MaxRate", MaxRateField.edit},
    };
    if (ResolutionField.edit)
        fields.push_back({"Resolution", ResolutionField.edit});
    fields.push_back({"IGMPVer", IgmpVersionCombo});
    fields.push_back({"DelayTimeAfterJoin", DelayAfterJoinField.edit});
    fields.push_back({"SelectedCustom", CustomCheck});
    return fields;
}

std::vector<UtCustomFrame> CRateTestPage::FrameRowsOfFields() const
{
    std::vector<UtCustomFrame> rows;
    const qint64 start = intOf(FrameStartField);
    const qint64 stop = intOf(FrameStopField);
    const qint64 step = intOf(FrameStepField);
    // A step below 1 would never reach the stop size.
    if (step < 1 || start < 1)
        return rows;
    const double resolution = m_shape.rateStep ? 0.0 : rateOf(ResolutionField);
    const auto append = [&](qint64 size) {
        rows.push_back({rateOf(InitialRateField), rateOf(MinRateField), rateOf(MaxRateField), resolution,
                        std::uint16_t(size)});
    };
    for (qint64 size = start; size <= stop; size += step) {
        append(size);
        if (size < stop && size + step > stop)
            append(stop);
    }
    return rows;
}

void CRateTestPage::LogRateParameters()
{
    FrameRows.clear();
    if (CustomCheck->isChecked()) {
        FrameRows = CustomFrameTable;
        return;
    }
    const EngineHost &host = EngineHost::instance();
    if (m_shape.rateStep)
        host.log(QString::asprintf("* Initial Rate:   %.2f%%   Step Rate: %.2f %%   Maximum Rate:  %.2f%%\n",
                                   rateOf(InitialRateField), rateOf(MinRateField), rateOf(MaxRateField)));
    else
        host.log(QString::asprintf("* Initial Rate:   %.2f%%   Minimum Rate: %.2f %%   Maximum Rate:  %.2f%% "
                                   "  Rate Resoultion: %.2f%%\n",
                                   rateOf(InitialRateField), rateOf(MinRateField), rateOf(MaxRateField),
                                   rateOf(ResolutionField)));
    host.log(QStringLiteral("* \n"));
    FrameRows = FrameRowsOfFields();
    host.log(QString::asprintf("* Frame Length Start:   %dkb   Frame Length Stop:  %d kb   Frame Length "
                               "Step:  %d   Total Tested Frame : %d\n",
                               intOf(FrameStartField), intOf(FrameStopField), intOf(FrameStepField),
                               int(FrameRows.size())));
}

bool CRateTestPage::checkPortRows()
{
    const int rows = PortGrid->GetRowCount();
    for (int row = 0; row < rows; ++row) {
        QString label;
        PortGrid->GetCellTextTo(0, row, label);
        if (label.isEmpty())
            return row > 0 || refuse(languageText("TestPage_Refuse_No_Port"));
        UtPortKey key{};
        if (!ParsePortLabel(label, key))
            continue;
        const std::int32_t index = FindPortRecordIndex(key.Id.CID, key.Id.BID, key.Id.PID);
        if (index < 0 || std::size_t(index) >= g_Session.Ports.size())
            continue;
        const UtPortRecord &record = g_Session.Ports[std::size_t(index)];
        const std::uint8_t pair = record.SourcePair > 0 ? record.SourcePair : record.HostPair;
        if (pair == 0 || pair >= PairChecked.size() || PairChecked[pair] != 1)
            return refuse(languageText("TestPage_Refuse_Port_Pair").arg(label.trimmed(), formatInt(pair)));
    }
    return true;
}

QString CRateTestPage::rangeRefusal(const NumberField &field)
{
    const NumEditConfig &config = field.edit->config();
    const auto bound = [&](double value) {
        return config.floatMode ? formatFixed(value, kRateDecimals) : formatInt(int(value));
    };
    return RangeRefusal(field.label, field.edit->text(), bound(config.minimum), bound(config.maximum));
}

QString CRateTestPage::aboveRefusal(const NumberField &field, const NumberField &other)
{
    return AboveRefusal(field.label, field.edit->text(), other.label, other.edit->text());
}

bool CRateTestPage::CheckFieldsValid()
{
    clearRefusal();
    FillPortInfoGridForCheckedPairs();
    if (!checkPairTicked() || !checkPortRows() || !checkPortTags())
        return false;
    for (const NumberField &field : m_numberFields) {
        if (!field.edit->config().holdsInRange(field.edit->text()))
            return refuse(rangeRefusal(field));
    }
    if (intOf(FrameStartField) > intOf(FrameStopField))
        return refuse(aboveRefusal(FrameStartField, FrameStopField));
    if (!countsValid())
        return false;
    if (!CustomCheck->isChecked()) {
        // The rate fields in the order a run steps through them.
        if (!m_shape.rateStep && rateOf(MinRateField) > rateOf(InitialRateField))
            return refuse(aboveRefusal(MinRateField, InitialRateField));
        if (rateOf(InitialRateField) > rateOf(MaxRateField))
            return refuse(aboveRefusal(InitialRateField, MaxRateField));
    }
    return CheckFrameRows(CustomCheck->isChecked() ? CustomFrameTable : FrameRowsOfFields());
}

void CRateTestPage::applyTiming(CIGMPTestPlan &plan) const
{
    plan.TestDuration = std::uint32_t(intOf(DurationField));
    plan.NumberOfTrials = std::uint32_t(intOf(TrialsField));
}

void CRateTestPage::applyPayloadAndVersion(CIGMPTestPlan &plan) const
{
    plan.PayloadPattern = PayloadPatternOfIndex(PayloadCombo->currentIndex());
    plan.IgmpVersion = IgmpVersionOfIndex(IgmpVersionCombo->currentIndex());
}

void CRateTestPage::ApplyRatePage(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, &HostPortList);
}

bool CRateTestPage::CheckFrameRows(const std::vector<UtCustomFrame> &rows) const
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const UtCustomFrame &row = rows[i];
        if (row.FrameSize < kMinFrameSize)
            return refuse(languageText("TestPage_Frame_Too_Small")
                              .arg(i + 1)
                              .arg(int(row.FrameSize))
                              .arg(kMinFrameSize));
        if (!IsUsableFrameRow(row, m_shape.rateStep))
            return refuse(languageText("TestPage_Refuse_Frame_Row").arg(i + 1).arg(int(row.FrameSize)));
    }
    return true;
}
