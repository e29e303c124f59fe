#include "testpages/PacketCustomPage.h"

#include "controls/grid/UGGridInfo.h"
#include "engine/EngineHost.h"
#include "engine/LanguageText.h"
#include "platform/NumberText.h"
#include "testpages/CustomFrame.h"
#include "testpages/PacketCustomGrid.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

constexpr COLORREF kHeadingBack = RGB(101, 140, 217);
constexpr unsigned short kPacketCentred = 0x24;
constexpr unsigned kMultiLineHeading = 2;
constexpr int kColumns = 5;

} // namespace

CPacketCustomPage::CPacketCustomPage(std::vector<UtCustomFrame> &table, std::uint32_t kind, QWidget *parent)
    : QDialog(parent), m_table(table), m_kind(kind)
{
    setWindowTitle(languageText("PacketDlg_Title"));
    resize(570, 304);
    auto *layout = new QVBoxLayout(this);
    Grid = new CPacketCustomGrid(this);
    Grid->setObjectName(QStringLiteral("ctl1500"));
    layout->addWidget(Grid, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OkButton = new QPushButton(languageText("PacketDlg_OK"), this);
    CancelButton = new QPushButton(languageText("PacketDlg_Cancel"), this);
    DefaultButton = new QPushButton(languageText("PacketDlg_Default"), this);
    // No default button: Enter neither stores nor closes.
    for (QPushButton *button : {OkButton, CancelButton, DefaultButton}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(OkButton, &QPushButton::clicked, this, &CPacketCustomPage::OnOkButton);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // Esc closes the editor wherever the focus is: the grid keeps every other key for itself, and an
    // open cell editor takes its own Esc first.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QDialog::reject, Qt::WidgetWithChildrenShortcut);
    connect(DefaultButton, &QPushButton::clicked, this, &CPacketCustomPage::OnDefault);

    UgLogFont font;
    font.height = 14;
    font.faceName = QStringLiteral("Arial");
    Grid->InitAttachedWindow(this);
    const int fontIndex = Grid->FindOrAddFont(font);
    CUGGridInfo *sheet = Grid->CurrentSheet();
    sheet->m_hScrollHeight = 0;
    Grid->LayOutChildWindows();
    Grid->SetTopHeadingHeight(30);
    sheet->m_userSizingMode = 0;
    CUGCell *heading = sheet->m_hdgDefaultCell.get();
    heading->m_backColor = kHeadingBack;
    heading->m_alignment = kPacketCentred;
    heading->m_borderStyle = 0;
    heading->m_properties |= CellProp::BackColor | CellProp::Alignment | CellProp::BorderStyle;
    if (fontIndex >= 0) {
        heading->m_font = Grid->GetFont(fontIndex);
        heading->m_properties |= CellProp::Font;
    }
    CUGCell *body = sheet->m_gridDefaultCell.get();
    body->m_alignment = kPacketCentred;
    body->m_properties |= CellProp::Alignment;
    FillTable();
}

void CPacketCustomPage::FillTable()
{
    if (m_kind < 1 || m_kind > 4)
        return;
    Grid->SetColumnCount(kColumns);
    const char *headings[kColumns] = {"PacketDlg_Col_Size", "PacketDlg_Col_Initial",
                                      m_kind == 4 ? "PacketDlg_Col_Step" : "PacketDlg_Col_Min",
                                      "PacketDlg_Col_Max", "PacketDlg_Col_Resolution"};
    for (int col = 0; col < kColumns; ++col) {
        Grid->SetCellText(col, -1, languageText(headings[col]));
        Grid->SetCellTypeParam(col, -1, kMultiLineHeading);
    }
    Grid->SetRowCount(int(m_table.size()));
    for (std::size_t i = 0; i < m_table.size(); ++i) {
        const int row = int(i);
        const UtCustomFrame &frame = m_table[i];
        Grid->SetCellNumber(0, row, frame.FrameSize);
        const double rates[4] = {frame.InitialRate, frame.MinRate, frame.MaxRate, frame.Resolution};
        for (int col = 1; col < kColumns; ++col)
            Grid->SetCellText(col, row, formatFixed(rates[col - 1], 2));
        Grid->SetCellNumber(-1, row, row + 1);
    }
    Grid->RepaintAllParts();
}

void CPacketCustomPage::OnOkButton()
{
    if (m_kind >= 1 && m_kind <= 4) {
        m_table.clear();
        for (int row = 0; row < Grid->GetRowCount(); ++row) {
            QString cells[kColumns];
            for (int col = 0; col < kColumns; ++col)
                Grid->GetCellTextTo(col, row, cells[col]);
            m_table.push_back({toDoublePrefix(cells[1]), toDoublePrefix(cells[2]), toDoublePrefix(cells[3]),
                               toDoublePrefix(cells[4]), FrameSizeOfText(cells[0])});
        }
    }
    accept();
}

void CPacketCustomPage::OnDefault()
{
    if (m_kind < 1 || m_kind > 4)
        return;
    m_table = DefaultCustomFrames();
    FillTable();
}

void CPacketCustomPage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
