#include "ports/SysInfoDlg.h"

#include "engine/EngineHost.h"
#include "engine/HardwareInfo.h"
#include "engine/Session.h"
#include "platform/kvapi/KvAPI.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cstring>

namespace {

const char *const kLabelKeys[CSysInfoDlg::FieldCount] = {
    "SysInfo_Model",      "SysInfo_Agent",       "SysInfo_S/N",
    "SysInfo_MAC",        "SysInfo_PCB_Version", "SysInfo_HW_Version",
    "SysInfo_FW_Version", "SysInfo_API_Version", "SysInfo_Manu_Date",
};

const QString kAgent = QStringLiteral("Corvane Agent");
const QString kNotAvailable = QStringLiteral("n/a");

// "v" and at most 10 characters of the library's version text.
QString apiText(const QString &version)
{
    return QStringLiteral("v") + version.left(10);
}

QString libraryVersion()
{
    char buffer[64] = {};
    // The library's own version: no call reaches the server.
    Kv_SYS_GetVerNum(buffer);
    return QString::fromLocal8Bit(buffer, qsizetype(strnlen(buffer, sizeof buffer)));
}

} // namespace

CSysInfoDlg::CSysInfoDlg(QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    m_group = new QGroupBox(this);
    outer->addWidget(m_group);
    outer->addStretch();
    auto *grid = new QGridLayout(m_group);
    for (int field = 0; field < FieldCount; ++field) {
        m_labels[field] = new QLabel(m_group);
        m_values[field] = new QLineEdit(m_group);
        m_values[field]->setReadOnly(true);
        grid->addWidget(m_labels[field], field, 0);
        grid->addWidget(m_values[field], field, 1);
    }
    grid->setColumnStretch(1, 1);
    SetLanguageText();
    FillValues();
}

void CSysInfoDlg::SetLanguageText()
{
    m_group->setTitle(EngineHost::instance().text(QStringLiteral("SysInfo_ST_Field")));
    for (int field = 0; field < FieldCount; ++field)
        m_labels[field]->setText(EngineHost::instance().text(QString::fromLatin1(kLabelKeys[field])));
}

void CSysInfoDlg::FillValues()
{
    if (EngineHost::instance().isDemoMode()) {
        ShowNotConnectedValues();
        return;
    }
    showValues(ValuesOf(g_Session, libraryVersion()));
}

void CSysInfoDlg::ShowNotConnectedValues()
{
    showValues(NotConnectedValues(libraryVersion()));
}

QString CSysInfoDlg::labelText(int field) const
{
    return field >= 0 && field < FieldCount ? m_labels[field]->text() : QString();
}

QString CSysInfoDlg::valueText(int field) const
{
    return field >= 0 && field < FieldCount ? m_values[field]->text() : QString();
}

std::array<QString, CSysInfoDlg::FieldCount> CSysInfoDlg::ValuesOf(const UtSession &session,
                                                                   const QString &apiVersion)
{
    std::array<QString, FieldCount> values;
    const std::uint8_t model = session.Controller.Model;
    if (IsLiteControllerModel(model) || !IsKnownControllerModel(model))
        return values; // a controller whose records this page does not know
    const UtSystemInfo info = SystemInfoOf(session);
    values[Model] = session.ChassisModelName;
    values[Agent] = kAgent;
    values[SerialNumber] = info.ChassisSerial;
    values[Mac] = FormatMac(info.MAC, u"-");
    values[PcbVersion] = QStringLiteral("v%1").arg(info.Pcb);
    values[HardwareVersion] = FormatVersion(info.Hardware);
    values[FirmwareVersion] = FormatVersion(info.Firmware);
    values[ApiVersion] = apiText(apiVersion);
    values[ManufactureDate] = FormatManufactureDate(info.Date);
    return values;
}

std::array<QString, CSysInfoDlg::FieldCount> CSysInfoDlg::NotConnectedValues(const QString &apiVersion)
{
    const QString version = FormatVersion({0, 1, 0});
    return {QStringLiteral("Halverns-H1(QM-C2)"),
            kAgent,
            kNotAvailable,
            QStringLiteral("00-00-00-00-00-00"),
            version,
            version,
            version,
            apiText(apiVersion),
            kNotAvailable};
}

void CSysInfoDlg::showEvent(QShowEvent *event)
{
    // The controller's answers may land after the page was built: show what the session holds now.
    FillValues();
    QWidget::showEvent(event);
}

void CSysInfoDlg::showValues(const std::array<QString, FieldCount> &values)
{
    for (int field = 0; field < FieldCount; ++field)
        m_values[field]->setText(values[field]);
}
