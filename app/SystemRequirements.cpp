#include "app/SystemRequirements.h"

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
} // namespace

CSystemRequirements::CSystemRequirements(QWidget *parent) : QDialog(parent), m_table(new QTableWidget(this))
{
    setWindowTitle(QStringLiteral("System Requirements"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    for (const char *line : {"Operation platform requirements", "-- Microsoft Windows XP/Vista/7/8/10",
                             "-- Pentium 1.3Ghz or higher", "-- 512MB of RAM for Windows XP",
                             "-- 1.0 GB of RAM for Windows Vista/7/8/10",
                             "-- 10GB of available hard disk space", "Corvane instrument requirements"})
        layout->addWidget(new QLabel(QString::fromLatin1(line), this));
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
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("FPGA"), QStringLiteral("Firmware"), QStringLiteral("PROM")});
    // The corner names what the side headings list; the label lives on the corner button, so it
    // follows the corner's size.
    if (auto *cornerButton = m_table->findChild<QAbstractButton *>()) {
        auto *corner = new QLabel(QStringLiteral("Module Name"), cornerButton);
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
