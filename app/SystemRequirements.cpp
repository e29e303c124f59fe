#include "app/SystemRequirements.h"

#include "app/LangMag.h"
#include "engine/ModuleVersionTable.h"
#include "platform/ColorRef.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const COLORREF kColumnHeadingColor = RGB(0xC0, 0xD8, 0xF0);
const COLORREF kSideHeadingColor = RGB(0xE0, 0xE0, 0xE0);

QString text(const char *key)
{
    return g_LangMag.GetString(QString::fromLatin1(key));
}
} // namespace

CSystemRequirements::CSystemRequirements(QWidget *parent) : QDialog(parent), m_table(new QTableWidget(this))
{
    setWindowTitle(text("SysReq_Title"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    for (const char *key : {"SysReq_Platform", "SysReq_Windows", "SysReq_Processor", "SysReq_Memory_XP",
                            "SysReq_Memory_Vista", "SysReq_Disk", "SysReq_Instrument"})
        layout->addWidget(new QLabel(text(key), this));
    layout->addWidget(m_table, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    FillTable();
    resize(340, 520);
}

void CSystemRequirements::FillTable()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::PreferAntialias);
    m_table->setFont(font);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setColumnCount(3);
    m_table->setRowCount(int(g_ModuleVersionTable.size()));
    m_table->setCornerButtonEnabled(false);
    m_table->setStyleSheet(
        QStringLiteral("QHeaderView::section:horizontal { background-color: %1; }"
                       "QHeaderView::section:vertical { background-color: %2; }"
                       "QTableCornerButton::section { background-color: %1; }")
            .arg(fromColorRef(kColumnHeadingColor).name(), fromColorRef(kSideHeadingColor).name()));
    m_table->setHorizontalHeaderLabels({text("SysReq_FPGA"), text("SysReq_Firmware"), text("SysReq_PROM")});
    // The corner names what the side headings list; the label lives on the corner button, so it
    // follows the corner's size.
    if (auto *cornerButton = m_table->findChild<QAbstractButton *>()) {
        auto *corner = new QLabel(text("SysReq_Module_Name"), cornerButton);
        corner->setObjectName(QStringLiteral("corner"));
        corner->setFont(font);
        corner->setAlignment(Qt::AlignCenter);
        auto *cornerLayout = new QVBoxLayout(cornerButton);
        cornerLayout->setContentsMargins(0, 0, 0, 0);
        cornerLayout->addWidget(corner);
        m_table->verticalHeader()->setMinimumWidth(corner->sizeHint().width() + 4);
    }
    for (int column = 0; column < 3; ++column)
        m_table->setColumnWidth(column, 60);
    for (int row = 0; row < int(g_ModuleVersionTable.size()); ++row) {
        const UtModuleVersion &versions = g_ModuleVersionTable[size_t(row)];
        m_table->setVerticalHeaderItem(row, new QTableWidgetItem(versions.Model));
        const QString texts[] = {versions.Fpga, versions.Firmware, versions.Prom};
        for (int column = 0; column < 3; ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
}
