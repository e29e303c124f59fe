// The section of a test page in the configuration file: the selected flag, the ticked pairs, the page's
// own fields, the custom frame-size table of a rate page and the protocol settings of the ports shown
// in the page's port-settings grid.
#include "controls/grid/MyCug.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/XmlDocument.h"
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

// The integer at the start of the next child of that name (0 when it has no digits); false when no
// such child follows the last one found.
bool readChildInt(XmlDocument &xml, const char16_t *name, qint64 &value)
{
    if (!xml.FindChildElement(QStringView(name)))
        return false;
    parseDecimalPrefix(xml.GetChildText(), value, LLONG_MIN, LLONG_MAX);
    return true;
}

bool readChildDouble(XmlDocument &xml, const char16_t *name, double &value)
{
    if (!xml.FindChildElement(QStringView(name)))
        return false;
    value = toDoublePrefix(xml.GetChildText());
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

// A frame size of the file as a row holds it: the fraction cut, then held to the editor's bounds.
std::uint16_t loadedFrameSize(double value)
{
    if (!(value >= kMinCustomFrameSize))
        return std::uint16_t(kMinCustomFrameSize);
    return std::uint16_t(std::min<double>(value, kMaxCustomFrameSize));
}

// A rate of the file held to the editor's bounds 0.01..100.
double loadedRate(double value)
{
    if (!(value >= 0.01))
        return 0.01;
    return std::min(value, 100.0);
}

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

void readFields(XmlDocument &xml, const std::vector<CTestPageBase::SectionField> &fields)
{
    for (const CTestPageBase::SectionField &field : fields) {
        if (!xml.FindChildElement(QString::fromLatin1(field.element)))
            continue;
        const QString text = xml.GetChildText();
        const QSignalBlocker blocker(field.control);
        if (auto *edit = qobject_cast<QLineEdit *>(field.control)) {
            edit->setText(text);
        } else if (auto *combo = qobject_cast<QComboBox *>(field.control)) {
            // An index outside the list leaves no entry selected.
            const int index = toIntPrefix(text);
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
        } else if (auto *check = qobject_cast<QCheckBox *>(field.control)) {
            check->setChecked(toIntPrefix(text) != 0);
        }
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

// Rows 1..N of the file into the table, only when N fits the table; the table keeps its length.
void readFrameTable(XmlDocument &xml, std::vector<UtCustomFrame> &table, const char16_t *minRateName)
{
    qint64 count = 0;
    readChildInt(xml, u"CustomRecordNumber", count);
    if (count < 1 || std::size_t(count) > table.size())
        return;
    for (int i = 1; i <= count; ++i) {
        if (!xml.FindChildElement(numberedName("Item", i)))
            continue;
        xml.EnterElement();
        UtCustomFrame &row = table[std::size_t(i - 1)];
        double value = 0;
        if (readChildDouble(xml, u"CustomFrameSize", value))
            row.FrameSize = loadedFrameSize(value);
        if (readChildDouble(xml, u"CustomInitialRate", value))
            row.InitialRate = loadedRate(value);
        if (readChildDouble(xml, minRateName, value))
            row.MinRate = loadedRate(value);
        if (readChildDouble(xml, u"CustomMaxRate", value))
            row.MaxRate = loadedRate(value);
        if (readChildDouble(xml, u"CustomResolution", value))
            row.Resolution = loadedRate(value);
        xml.LeaveElement();
    }
}

} // namespace

void CTestPageBase::WritePortBlock(XmlDocument &xml)
{
    ensurePortSettings();
    const int rows = PortGrid->GetRowCount();
    for (int row = 0; row < rows; ++row) {
        QString label;
        PortGrid->GetCellTextTo(0, row, label);
        if (label.isEmpty())
            return;
        UtPortKey key{};
        if (!ParsePortLabel(label, key))
            continue;
        const std::int32_t index = FindPortRecordIndex(key.Id.CID, key.Id.BID, key.Id.PID);
        if (index < 0 || std::size_t(index) >= g_Session.Ports.size())
            continue;
        const UtPortProtocolSettings &settings = PortSettingsList[std::size_t(index)];
        // Numbered by the grid row, so a skipped row leaves a gap.
        xml.AddElement(numberedName("AvailablePortSettings", row + 1));
        xml.EnterElement();
        xml.AddElement(u"ModuleName", label);
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

void CTestPageBase::ReadPortBlock(XmlDocument &xml)
{
    ensurePortSettings();
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
            if (readChildInt(xml, u"VLanState", value))
                settings.VLanState = value != 0;
            if (readChildInt(xml, u"VLanID", value))
                settings.VLanID = std::uint16_t(value);
            if (readChildInt(xml, u"CFI", value))
                settings.CFI = value != 0;
            if (readChildInt(xml, u"VLanPriority", value))
                settings.VLanPriority = std::uint8_t(value);
            if (readChildInt(xml, u"IPAddress", value))
                setAddressNumber(value, settings.IPAddress);
            if (readChildInt(xml, u"GatewayIP", value))
                setAddressNumber(value, settings.GatewayIP);
            if (readChildInt(xml, u"Mask", value))
                setAddressNumber(value, settings.Mask);
            if (m_layout == PortLayout::MixClass) {
                if (readChildInt(xml, u"UniVLanState", value))
                    settings.UniVLanState = value != 0;
                if (readChildInt(xml, u"UniVLanID", value))
                    settings.UniVLanID = std::uint16_t(value);
                if (readChildInt(xml, u"UniCFI", value))
                    settings.UniCFI = value != 0;
                if (readChildInt(xml, u"UniVLanPriority", value))
                    settings.UniVLanPriority = std::uint8_t(value);
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

bool CTestPageBase::LoadXml(CTestPageBase &page, const char *section, QStringView fileText, bool &selected)
{
    XmlDocument xml;
    if (!xml.ParseText(fileText)) {
        Prompter::current().messageBox(EngineHost::instance().text(QStringLiteral("PortDlg_Load_Fail")));
        return false;
    }
    if (xml.FindElement() && xml.FindChildElement(QString::fromLatin1(section))) {
        xml.EnterElement();
        qint64 value = 0;
        if (readChildInt(xml, u"isSelected", value))
            selected = value != 0;
        if (xml.FindChildElement(u"PairSettings")) {
            xml.EnterElement();
            CIGMPTestPlan *plan = EngineHost::instance().testPlan();
            while (findNumberedChild(xml, u"PairSel")) {
                xml.EnterElement();
                qint64 pair = 0;
                // Pairs not listed keep their flags.
                if (readChildInt(xml, u"Pair", pair) && pair >= 1 && pair <= qint64(kMaxTestPairs)) {
                    page.PairChecked[std::size_t(pair)] = 1;
                    if (page.m_layout == PortLayout::MixClass && plan &&
                        std::size_t(pair) <= plan->TestPairs.size()) {
                        UtTestPair &testPair = plan->TestPairs[std::size_t(pair - 1)];
                        if (readChildInt(xml, u"UniCastCID", value))
                            testPair.UniCid = std::uint16_t(value);
                        if (readChildInt(xml, u"UniCastBID", value))
                            testPair.UniBid = std::uint8_t(value);
                        if (readChildInt(xml, u"UniCastPID", value))
                            testPair.UniPid = std::uint8_t(value);
                    }
                }
                xml.LeaveElement();
            }
            xml.LeaveElement();
        }
        readFields(xml, page.SectionFields());
        if (std::vector<UtCustomFrame> *table = frameTableOf(page))
            readFrameTable(xml, *table, minRateElement(page));
        page.ReadPortBlock(xml);
    }
    // The grids from the flags and the list, then the list from the grids as they now stand.
    page.FillPairGrid();
    page.StorePortSettings();
    page.repaint();
    return true;
}
