#include "testpages/ParameterDlg.h"

#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "engine/EngineHost.h"
#include "engine/LanguageText.h"
#include "platform/NumberText.h"
#include "testpages/Ipv4Edit.h"
#include "testpages/PageNumberField.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

constexpr std::uint32_t kGroupStart = 0xE0000101; // 224.0.1.1
constexpr std::uint32_t kStartMinRate = 10;
constexpr std::uint32_t kStartMaxRate = 80;
constexpr int kMaxRatePercent = 100;
constexpr const char *kParamVersionKeys[] = {"ParamDlg_Version_1", "ParamDlg_Version_2",
                                             "ParamDlg_Version_3"};
// The payload patterns offered: every pattern but "User define". The hexadecimal ones are names in
// every language; "Random" is a word and comes from the language file.
constexpr const char *kPayloadNames[] = {"0x00", "0x55", "0xAA", "0x55AA", "0x5A5A", nullptr, "0xFFFF"};

// Inserts the text at its case-insensitive sorted place, as a sorted combo box does.
void addSorted(QComboBox *combo, const QString &text)
{
    int at = 0;
    while (at < combo->count() && QString::compare(combo->itemText(at), text, Qt::CaseInsensitive) <= 0)
        ++at;
    combo->insertItem(at, text);
}

void fillPayloads(QComboBox *combo)
{
    for (const char *name : kPayloadNames)
        addSorted(combo, name ? QString::fromLatin1(name) : languageText("ParamDlg_Payload_Random"));
}

void setControlText(QWidget *control, const QString &text)
{
    if (auto *box = qobject_cast<QGroupBox *>(control))
        box->setTitle(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
}

} // namespace

CParameterDlg::CParameterDlg(Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    const bool rateRange = kind != Kind::Standard;
    const auto box = [this](QGroupBox *&target) {
        target = new QGroupBox(this);
        return new QGridLayout(target);
    };
    const auto row = [](QGridLayout *grid, QLabel *&label, QWidget *field, int at) {
        label = new QLabel(field->parentWidget());
        grid->addWidget(label, at, 0);
        grid->addWidget(field, at, 1);
    };
    // A number row: the edit takes digits up to the typed length and the page checks every change.
    const auto numberRow = [this](QGroupBox *parentBox, QGridLayout *grid, QLabel *&label, CNumEdit *&edit,
                                  NumberFieldShape shape, int length, NumberCheck check) {
        shape.editWidth = kNumberEditWidth;
        shape.rangeOnEdit = false;
        const NumberFieldControls field = AddNumberField(grid, parentBox, shape);
        label = field.label;
        edit = field.edit;
        // A spin may write a longer value than can be typed.
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("\\d{0,%1}").arg(length)), edit));
        Spins.push_back(field.spin);
        m_numberFields.push_back(
            {edit, field.spin, int(shape.initial), int(shape.minimum), int(shape.maximum), check});
    };
    const NumberCheck lossCheck =
        kind == Kind::MaxThroughput ? &CParameterDlg::noCheck : &CParameterDlg::lossToRange;

    QGridLayout *igmp = box(IgmpBox);
    VersionCombo = new QComboBox(IgmpBox);
    row(igmp, VersionLabel, VersionCombo, 0);
    GroupAddress = new Ipv4Edit(IgmpBox);
    row(igmp, GroupLabel, GroupAddress, 1);
    numberRow(IgmpBox, igmp, JoinLeaveLabel, JoinLeaveEdit,
              {.row = 2, .minimum = 5, .maximum = 50, .initial = 10}, 3, &CParameterDlg::clampToRange);

    QGridLayout *traffic = box(TrafficBox);
    numberRow(TrafficBox, traffic, TestTimeLabel, TestTimeEdit,
              {.row = 0, .minimum = kind == Kind::Standard ? 1.0 : 10.0, .maximum = 1000, .initial = 10}, 3,
              &CParameterDlg::clampToRange);
    numberRow(TrafficBox, traffic, PacketLengthLabel, PacketLengthEdit,
              {.row = 1, .minimum = 60, .maximum = 1514, .initial = 64}, 4, &CParameterDlg::clampToRange);
    PayloadCombo = new QComboBox(TrafficBox);
    row(traffic, PayloadLabel, PayloadCombo, 2);

    QGridLayout *load = box(LoadBox);
    int loadRow = 0;
    if (kind == Kind::Standard)
        numberRow(LoadBox, load, LoadRateLabel, LoadRateEdit,
                  {.row = loadRow++, .minimum = 1, .maximum = kMaxRatePercent, .initial = 10}, 3,
                  &CParameterDlg::clampToRange);
    if (kind == Kind::MaxThroughput)
        numberRow(LoadBox, load, InitialRateLabel, InitialRateEdit,
                  {.row = loadRow++, .minimum = 1, .maximum = kMaxRatePercent, .initial = 50}, 3,
                  &CParameterDlg::clampToRange);
    if (rateRange) {
        numberRow(LoadBox, load, MinRateLabel, MinRateEdit,
                  {.row = loadRow++, .minimum = 1, .maximum = kMaxRatePercent, .initial = kStartMinRate}, 3,
                  &CParameterDlg::minRateChanged);
        numberRow(LoadBox, load, MaxRateLabel, MaxRateEdit,
                  {.row = loadRow++, .minimum = 1, .maximum = kMaxRatePercent, .initial = kStartMaxRate}, 3,
                  &CParameterDlg::maxRateChanged);
        RandomButton = new QRadioButton(LoadBox);
        MaxMinButton = new QRadioButton(LoadBox);
        load->addWidget(RandomButton, loadRow, 0);
        load->addWidget(MaxMinButton, loadRow, 1);
        connect(RandomButton, &QRadioButton::clicked, this, [this] { LoadMode = 1; });
        connect(MaxMinButton, &QRadioButton::clicked, this, [this] { LoadMode = 0; });
    }

    QGridLayout *accept = box(AcceptBox);
    numberRow(AcceptBox, accept, HostLossLabel, HostLossEdit,
              {.row = 0, .minimum = 0, .maximum = 1000, .initial = 10}, 4, lossCheck);
    numberRow(AcceptBox, accept, NonIgmpLossLabel, NonIgmpLossEdit,
              {.row = 1, .minimum = 0, .maximum = 1000, .initial = 10}, 4, lossCheck);

    ResetButton = new QPushButton(this);
    connect(ResetButton, &QPushButton::clicked, this, &CParameterDlg::OnReset);
    auto *columns = new QGridLayout(this);
    columns->addWidget(IgmpBox, 0, 0);
    columns->addWidget(TrafficBox, 0, 1);
    columns->addWidget(LoadBox, 1, 0);
    columns->addWidget(AcceptBox, 1, 1);
    columns->addWidget(ResetButton, 2, 1, Qt::AlignRight);
    columns->setRowStretch(3, 1);

    const QSize sizes[] = {{587, 397}, {590, 346}, {630, 405}};
    resize(sizes[int(kind)]);
    for (const NumberField &field : m_numberFields)
        connect(field.edit, &QLineEdit::textChanged, this,
                [this, edit = field.edit] { onTextChanged(edit); });
    OnInitDialog();
}

void CParameterDlg::OnInitDialog()
{
    if (m_kind != Kind::Standard) {
        LastMinRate = kStartMinRate;
        LastMaxRate = kStartMaxRate;
    }
    SetLanguageText();
    InitControls();
}

void CParameterDlg::SetLanguageText()
{
    struct Keyed
    {
        const char *key;
        QWidget *control;
    };
    std::vector<Keyed> keys;
    const auto common = [&](const char *const(&names)[9]) {
        QWidget *const controls[] = {IgmpBox,           VersionLabel, GroupLabel,
                                     JoinLeaveLabel,    TrafficBox,   TestTimeLabel,
                                     PacketLengthLabel, PayloadLabel, LoadBox};
        for (int i = 0; i < 9; ++i)
            keys.push_back({names[i], controls[i]});
    };
    switch (m_kind) {
    case Kind::Standard:
        common({"StandardDlg_IGMP_Field", "StandardDlg_IGMP_Version", "StandardDlg_Group_Adreess",
                "StandardDlg_Join_Leave", "StandardDlg_Traffic_Field", "StandardDlg_Test_Time",
                "StandardDlg_Packet_Len", "StandardDlg_Packet_Payload", "StandardDlg_Load_Field"});
        keys.insert(keys.end(), {{"StandardDlg_Load_Rate", LoadRateLabel},
                                 {"StandardDlg_Accept_Field", AcceptBox},
                                 {"StandardDlg_Host_Lost", HostLossLabel},
                                 {"StandardDlg_NonIGMP_Lost", NonIgmpLossLabel},
                                 {"StandardDlg_BT_Reset", ResetButton}});
        break;
    case Kind::Dynamic:
        common({"DynamicDlg_IGMP_Field", "DynamicDlg_IGMP_Version", "DynamicDlg_Group_Adreess",
                "DynamicDlg_Join_Leave", "DynamicDlg_Traffic_Field", "DynamicDlg_Test_Time",
                "DynamicDlg_Packet_Len", "DynamicDlg_Packet_Payload", "DynamicDlg_Load_Field"});
        keys.insert(keys.end(), {{"DynamicDlg_Min_Rate", MinRateLabel},
                                 {"DynamicDlg_Max_Rate", MaxRateLabel},
                                 {"DynamicDlg_Load_Random", RandomButton},
                                 {"DynamicDlg_Load_MaxMin", MaxMinButton},
                                 {"DynamicDlg_Accept_Field", AcceptBox},
                                 {"DynamicDlg_Host_Lost", HostLossLabel},
                                 {"DynamicDlg_NonIGMP_Lost", NonIgmpLossLabel},
                                 {"DynamicDlg_BT_Reset", ResetButton}});
        break;
    case Kind::MaxThroughput:
        common({"MaxDlg_IGMP_Field", "MaxDlg_IGMP_Version", "MaxDlg_Group_Adreess", "MaxDlg_Join_Leave",
                "MaxDlg_Traffic_Field", "MaxDlg_Test_Time", "MaxDlg_Packet_Len", "MaxDlg_Packet_Payload",
                "MaxDlg_Load_Field"});
        keys.insert(keys.end(), {{"MaxDlg_Init_Rate", InitialRateLabel},
                                 {"MaxDlg_Min_Rate", MinRateLabel},
                                 {"MaxDlg_Max_Rate", MaxRateLabel},
                                 {"MaxDlg_Load_Random", RandomButton},
                                 {"MaxDlg_Load_MaxMin", MaxMinButton},
                                 {"MaxDlgDlg_BT_Reset", ResetButton},
                                 {"MaxDlg_Accept_Field", AcceptBox},
                                 {"MaxDlg_Host_Lost", HostLossLabel},
                                 {"MaxDlg_NonIGMP_Lost", NonIgmpLossLabel}});
        break;
    }
    for (const Keyed &entry : keys)
        setControlText(entry.control, languageText(entry.key));
    // The choice lists are names too: refilled in the new language, keeping the choice.
    if (VersionCombo->count() > 0) {
        const int version = VersionCombo->currentIndex();
        const int payload = PayloadCombo->currentIndex();
        VersionCombo->clear();
        PayloadCombo->clear();
        for (const char *key : kParamVersionKeys)
            addSorted(VersionCombo, languageText(key));
        fillPayloads(PayloadCombo);
        VersionCombo->setCurrentIndex(version);
        PayloadCombo->setCurrentIndex(payload);
    }
}

void CParameterDlg::InitControls()
{
    VersionCombo->clear();
    for (const char *key : kParamVersionKeys)
        addSorted(VersionCombo, languageText(key));
    VersionCombo->setCurrentIndex(VersionCombo->findText(languageText("ParamDlg_Version_2")));
    PayloadCombo->clear();
    fillPayloads(PayloadCombo);
    PayloadCombo->setCurrentIndex(PayloadCombo->findText(languageText("ParamDlg_Payload_Random")));
    GroupAddress->setAddress(kGroupStart);
    // The start values are written whole: a check between two of them would judge a half-reset pair
    // of rates.
    m_checking = true;
    for (const NumberField &field : m_numberFields) {
        field.edit->setText(formatInt(field.start));
        field.spin->SetValue(field.start);
    }
    m_checking = false;
    if (MinRateEdit) {
        LastMinRate = kStartMinRate;
        LastMaxRate = kStartMaxRate;
        RandomButton->setChecked(true);
        LoadMode = 1;
    }
}

void CParameterDlg::OnReset()
{
    InitControls();
}

void CParameterDlg::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter && event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The Dynamic and Max Throughput pages close on Enter and Escape; the Standard page ignores both.
    if (m_kind != Kind::Standard)
        hide();
    event->accept();
}

void CParameterDlg::onTextChanged(CNumEdit *edit)
{
    if (m_checking)
        return;
    m_checking = true;
    for (const NumberField &field : m_numberFields) {
        if (field.edit == edit)
            (this->*field.check)(edit, field.minimum, field.maximum);
    }
    m_checking = false;
}

void CParameterDlg::writeNumber(CNumEdit *edit, std::uint32_t value)
{
    edit->setText(formatUInt(value));
}

void CParameterDlg::clampToRange(CNumEdit *edit, int minimum, int maximum)
{
    const int value = toIntPrefix(edit->text());
    if (value < minimum)
        writeNumber(edit, std::uint32_t(minimum));
    else if (value > maximum)
        writeNumber(edit, std::uint32_t(maximum));
}

void CParameterDlg::lossToRange(CNumEdit *edit, int minimum, int maximum)
{
    if (edit->text().isEmpty())
        edit->setText(QStringLiteral("1"));
    else
        clampToRange(edit, minimum, maximum);
}

void CParameterDlg::minRateChanged(CNumEdit *, int, int)
{
    const int minimum = toIntPrefix(MinRateEdit->text());
    const int maximum = toIntPrefix(MaxRateEdit->text());
    if (maximum == 0)
        return;
    if (minimum >= maximum) {
        writeNumber(MinRateEdit, LastMinRate);
    } else if (minimum < 1) {
        LastMinRate = 1;
        writeNumber(MinRateEdit, 1);
    } else {
        LastMinRate = std::uint32_t(minimum);
    }
}

void CParameterDlg::maxRateChanged(CNumEdit *, int, int)
{
    const int maximum = toIntPrefix(MaxRateEdit->text());
    const int minimum = toIntPrefix(MinRateEdit->text());
    if (maximum <= minimum) {
        writeNumber(MaxRateEdit, LastMaxRate);
    } else if (maximum > kMaxRatePercent) {
        LastMaxRate = kMaxRatePercent;
        writeNumber(MaxRateEdit, kMaxRatePercent);
    } else {
        LastMaxRate = std::uint32_t(maximum);
    }
}
