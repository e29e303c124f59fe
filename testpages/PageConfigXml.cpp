// The section of a test page in the configuration file: the selected flag, the ticked pairs, the page's
// own fields, the custom frame-size table of a rate page and the protocol settings of the ports shown
// in the page's port-settings grid.
#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "platform/ConfigFieldReader.h"
#include "platform/NumberText.h"
#include "ports/PortCheckGrid.h"
#include "testpages/DlgLatency.h"
#include "testpages/RateTestPage.h"
#include "testpages/TestPageBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <climits>

namespace {

const QString kConfigRoot = QStringLiteral("Tavrix-IGMP-TQ_Config");

QString numberedName(const char *name, int number)
{
    return QString::fromLatin1(name) + formatInt(number);
}

// The four address bytes a.b.c.d as the file keeps them: one little-endian signed 32-bit number.
int addressNumber(const std::uint8_t (&bytes)[4])
{
    return int(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
               std::uint32_t(bytes[3]) << 24);
}

void setAddressNumber(qint64 value, std::uint8_t (&bytes)[4])
{
    const auto bits = std::uint32_t(value); // the low 32 bits: signed and unsigned spellings alike
    for (int i = 0; i < 4; ++i)
        bytes[i] = std::uint8_t(bits >> (8 * i));
}

// The next child of that name when its text is one number within [minimum, maximum]; a child with any
// other text is refused. False when there is no such child or it was refused.
bool readChildDouble(XmlDocument &xml, ConfigFieldReader &reader, const char16_t *name, double minimum,
                     double maximum, double &value)
{
    if (!xml.FindChildElement(QStringView(name)))
        return false;
    bool number = false;
    const double read = xml.GetChildText().trimmed().toDouble(&number);
    if (!number || !(read >= minimum && read <= maximum)) {
        reader.refuseChild();
        return false;
    }
    value = read;
    return true;
}

// The next child whose tag is the stem followed by digits only, in document order.
bool findNumberedChild(XmlDocument &xml, QStringView stem)
{
    while (xml.FindChildElement()) {
        const QString tag = xml.GetChildTagName();
        if (tag.size() > stem.size() && tag.startsWith(stem) &&
            std::all_of(tag.begin() + stem.size(), tag.end(), [](QChar c) { return c.isDigit(); }))
            return true;
    }
    return false;
}

// The bounds of a row's rates in the frame-size table's editor.
constexpr double kMinCustomRate = 0.01;
constexpr double kMaxCustomRate = 100.0;

std::vector<UtCustomFrame> *frameTableOf(CTestPageBase &page)
{
    auto *ratePage = dynamic_cast<CRateTestPage *>(&page);
    return ratePage ? &ratePage->CustomFrameTable : nullptr;
}

// The Latency page keeps its rate step where the others keep their minimum rate.
const char16_t *minRateElement(CTestPageBase &page)
{
    return dynamic_cast<CDlgLatency *>(&page) ? u"CustomRateStep" : u"CustomMinRate";
}

void writeFields(XmlDocument &xml, const std::vector<CTestPageBase::SectionField> &fields)
{
    for (const CTestPageBase::SectionField &field : fields) {
        const QString name = QString::fromLatin1(field.element);
        if (auto *edit = qobject_cast<QLineEdit *>(field.control))
            xml.AddElement(name, edit->text());
        else if (auto *combo = qobject_cast<QComboBox *>(field.control))
            xml.AddElementInt(name, combo->currentIndex());
        else if (auto *check = qobject_cast<QCheckBox *>(field.control))
            xml.AddElementInt(name, check->isChecked() ? 1 : 0);
    }
}

void readFields(XmlDocument &xml, ConfigFieldReader &reader,
                const std::vector<CTestPageBase::SectionField> &fields)
{
    for (const CTestPageBase::SectionField &field : fields) {
        const QString element = QString::fromLatin1(field.element);
        if (auto *combo = qobject_cast<QComboBox *>(field.control)) {
            // -1 is the list without a selection, as it is written.
            qint64 index = 0;
            if (reader.readInRange(element, -1, combo->count() - 1, index)) {
                const QSignalBlocker blocker(combo);
                combo->setCurrentIndex(int(index));
            }
            continue;
        }
        if (auto *check = qobject_cast<QCheckBox *>(field.control)) {
            if (const auto ticked = reader.readFlag(element)) {
                const QSignalBlocker blocker(check);
                check->setChecked(*ticked);
            }
            continue;
        }
        if (!xml.FindChildElement(element))
            continue;
        if (auto *edit = qobject_cast<QLineEdit *>(field.control))
            CTestPageBase::LoadFieldText(*edit, xml.GetChildText(), reader);
    }
}

void writeFrameTable(XmlDocument &xml, const std::vector<UtCustomFrame> &table, const char16_t *minRateName)
{
    xml.AddElementInt(u"CustomRecordNumber", int(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const UtCustomFrame &row = table[i];
        xml.AddElement(numberedName("Item", int(i + 1)));
        xml.EnterElement();
        xml.AddElementInt(u"CustomFrameSize", row.FrameSize);
        xml.AddElement(u"CustomInitialRate", formatFixed(row.InitialRate, 2));
        xml.AddElement(QStringView(minRateName), formatFixed(row.MinRate, 2));
        xml.AddElement(u"CustomMaxRate", formatFixed(row.MaxRate, 2));
        xml.AddElement(u"CustomResolution", formatFixed(row.Resolution, 2));
        xml.LeaveElement();
    }
}

// Rows 1..N of the file into the table, only when N fits the table (else N is refused); the table keeps
// its length.
void readFrameTable(XmlDocument &xml, ConfigFieldReader &reader, std::vector<UtCustomFrame> &table,
                    const char16_t *minRateName)
{
    qint64 count = 0;
    if (!reader.readInRange(u"CustomRecordNumber", 1, qint64(table.size()), count))
        return;
    for (int i = 1; i <= count; ++i) {
        if (!xml.FindChildElement(numberedName("Item", i)))
            continue;
        xml.EnterElement();
        UtCustomFrame &row = table[std::size_t(i - 1)];
        double value = 0;
        // A frame size is whole: a fraction is cut, as the row's editor does.
        if (readChildDouble(xml, reader, u"CustomFrameSize", kMinCustomFrameSize, kMaxCustomFrameSize, value))
            row.FrameSize = std::uint16_t(value);
        // The row is packed: each rate is stored by name.
        if (readChildDouble(xml, reader, u"CustomInitialRate", kMinCustomRate, kMaxCustomRate, value))
            row.InitialRate = value;
        if (readChildDouble(xml, reader, minRateName, kMinCustomRate, kMaxCustomRate, value))
            row.MinRate = value;
        if (readChildDouble(xml, reader, u"CustomMaxRate", kMinCustomRate, kMaxCustomRate, value))
            row.MaxRate = value;
        if (readChildDouble(xml, reader, u"CustomResolution", kMinCustomRate, kMaxCustomRate, value))
            row.Resolution = value;
        xml.LeaveElement();
    }
}

} // namespace

void CTestPageBase::LoadFieldText(QLineEdit &edit, const QString &text, ConfigFieldReader &reader)
{
    // An empty field is written as an empty element and comes back as it was.
    const auto *number = qobject_cast<CNumEdit *>(&edit);
    if (number && !text.trimmed().isEmpty() && !number->config().holdsInRange(text)) {
        reader.refuseChild();
        return;
    }
    const QSignalBlocker blocker(edit);
    edit.setText(text);
}

void CTestPageBase::WritePortBlock(XmlDocument &xml)
{
    ensurePortSettings();
    for (const PortRow &row : InventoryPortRows()) {
        const UtPortProtocolSettings &settings = PortSettingsList[row.index];
        // Numbered by the grid row, so a skipped row leaves a gap.
        xml.AddElement(numberedName("AvailablePortSettings", row.row + 1));
        xml.EnterElement();
        xml.AddElement(u"ModuleName", row.label);
        xml.AddElementInt(u"VLanState", settings.VLanState);
        xml.AddElementInt(u"VLanID", settings.VLanID);
        xml.AddElementInt(u"CFI", settings.CFI);
        xml.AddElementInt(u"VLanPriority", settings.VLanPriority);
        xml.AddElementInt(u"IPAddress", addressNumber(settings.IPAddress));
        xml.AddElementInt(u"GatewayIP", addressNumber(settings.GatewayIP));
        xml.AddElementInt(u"Mask", addressNumber(settings.Mask));
        if (m_layout == PortLayout::MixClass) {
            xml.AddElementInt(u"UniVLanState", settings.UniVLanState);
            xml.AddElementInt(u"UniVLanID", settings.UniVLanID);
            xml.AddElementInt(u"UniCFI", settings.UniCFI);
            xml.AddElementInt(u"UniVLanPriority", settings.UniVLanPriority);
        }
        xml.LeaveElement();
    }
}

void CTestPageBase::ReadPortBlock(XmlDocument &xml, ConfigFieldReader &reader)
{
    ensurePortSettings();
    // The file's settings replace what the grid held, tag texts that fitted no setting included.
    m_untakenTagTexts.clear();
    // Every numbered element, gaps and all: a row skipped by the writer costs no later port.
    while (findNumberedChild(xml, u"AvailablePortSettings")) {
        xml.EnterElement();
        const bool named = xml.FindChildElement(u"ModuleName");
        UtPortKey key{};
        std::int32_t index = -1;
        if (named && ParsePortLabel(xml.GetChildText(), key))
            index = FindPortRecordIndex(key.Id.CID, key.Id.BID, key.Id.PID);
        if (index >= 0 && std::size_t(index) < g_Session.Ports.size()) {
            UtPortProtocolSettings &settings = PortSettingsList[std::size_t(index)];
            qint64 value = 0;
            if (const auto flag = reader.readFlag(u"VLanState"))
                settings.VLanState = *flag;
            if (const auto field = reader.readField<std::uint16_t>(u"VLanID", 0, kMaxVLanId))
                settings.VLanID = *field;
            if (const auto flag = reader.readFlag(u"CFI"))
                settings.CFI = *flag;
            if (const auto field = reader.readField<std::uint8_t>(u"VLanPriority", 0, kMaxVLanPriority))
                settings.VLanPriority = *field;
            // The four address bytes as one number, signed or unsigned.
            if (reader.readInRange(u"IPAddress", INT_MIN, UINT_MAX, value))
                setAddressNumber(value, settings.IPAddress);
            if (reader.readInRange(u"GatewayIP", INT_MIN, UINT_MAX, value))
                setAddressNumber(value, settings.GatewayIP);
            if (reader.readInRange(u"Mask", INT_MIN, UINT_MAX, value))
                setAddressNumber(value, settings.Mask);
            if (m_layout == PortLayout::MixClass) {
                if (const auto flag = reader.readFlag(u"UniVLanState"))
                    settings.UniVLanState = *flag;
                if (const auto field = reader.readField<std::uint16_t>(u"UniVLanID", 0, kMaxVLanId))
                    settings.UniVLanID = *field;
                if (const auto flag = reader.readFlag(u"UniCFI"))
                    settings.UniCFI = *flag;
                if (const auto field =
                        reader.readField<std::uint8_t>(u"UniVLanPriority", 0, kMaxVLanPriority))
                    settings.UniVLanPriority = *field;
            }
        }
        xml.LeaveElement();
        // An element without its port label ends the block.
        if (!named)
            return;
    }
}

bool CTestPageBase::SaveXml(CTestPageBase &page, const char *section, bool selected, XmlDocument &xml)
{
    page.StorePortSettings();
    if (xml.GetTagNameAt(xml.GetParentPos()) != kConfigRoot)
        return false;
    xml.AddElement(QString::fromLatin1(section));
    xml.EnterElement();
    xml.AddElementInt(u"isSelected", selected ? 1 : 0);

    xml.AddElement(u"PairSettings");
    xml.EnterElement();
    const CIGMPTestPlan *plan = EngineHost::instance().testPlan();
    const int pairRows = page.PairGrid ? page.PairGrid->GetRowCount() : 0;
    int written = 0;
    for (int row = 0; row < pairRows; ++row) {
        QString label;
        page.PairGrid->GetRowText(row, label);
        const int pair = PairNumberOfLabel(label);
        if (pair == 0 || !IsRowChecked(page.PairGrid, row))
            continue;
        xml.AddElement(numberedName("PairSel", ++written));
        xml.EnterElement();
        xml.AddElementInt(u"Pair", pair);
        if (page.m_layout == PortLayout::MixClass && plan && std::size_t(pair) <= plan->TestPairs.size()) {
            const UtTestPair &testPair = plan->TestPairs[std::size_t(pair - 1)];
            xml.AddElementInt(u"UniCastCID", testPair.UniCid);
            xml.AddElementInt(u"UniCastBID", testPair.UniBid);
            xml.AddElementInt(u"UniCastPID", testPair.UniPid);
        }
        xml.LeaveElement();
    }
    xml.LeaveElement();

    writeFields(xml, page.SectionFields());
    if (const std::vector<UtCustomFrame> *table = frameTableOf(page))
        writeFrameTable(xml, *table, minRateElement(page));
    page.WritePortBlock(xml);
    xml.LeaveElement();
    return true;
}

void CTestPageBase::LoadXml(CTestPageBase &page, const char *section, XmlDocument &xml, bool &selected,
                            QStringList &refused)
{
    ConfigFieldReader reader(xml, refused);
    xml.ResetPos();
    if (xml.FindElement() && xml.FindChildElement(QString::fromLatin1(section))) {
        xml.EnterElement();
        if (const auto flag = reader.readFlag(u"isSelected"))
            selected = *flag;
        if (xml.FindChildElement(u"PairSettings")) {
            xml.EnterElement();
            CIGMPTestPlan *plan = EngineHost::instance().testPlan();
            while (findNumberedChild(xml, u"PairSel")) {
                xml.EnterElement();
                qint64 pair = 0;
                // Pairs not listed keep their flags.
                if (reader.readInRange(u"Pair", 1, qint64(kMaxTestPairs), pair)) {
                    page.PairChecked[std::size_t(pair)] = 1;
                    if (page.m_layout == PortLayout::MixClass && plan &&
                        std::size_t(pair) <= plan->TestPairs.size()) {
                        UtTestPair &testPair = plan->TestPairs[std::size_t(pair - 1)];
                        if (const auto field = reader.readField<std::uint16_t>(u"UniCastCID"))
                            testPair.UniCid = *field;
                        if (const auto field = reader.readField<std::uint8_t>(u"UniCastBID"))
                            testPair.UniBid = *field;
                        if (const auto field = reader.readField<std::uint8_t>(u"UniCastPID"))
                            testPair.UniPid = *field;
                    }
                }
                xml.LeaveElement();
            }
            xml.LeaveElement();
        }
        readFields(xml, reader, page.SectionFields());
        if (std::vector<UtCustomFrame> *table = frameTableOf(page))
            readFrameTable(xml, reader, *table, minRateElement(page));
        page.ReadPortBlock(xml, reader);
    }
    // The grids from the flags and the list, then the list from the grids as they now stand.
    page.FillPairGrid();
    page.StorePortSettings();
    page.repaint();
}
