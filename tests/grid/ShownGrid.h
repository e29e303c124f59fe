// A program grid attached in a shown, active dialog with a default OK button.
#pragma once

#include "ProbeGrid.h"

#include "controls/grid/UGDropListType.h"
#include "controls/grid/UGLstBox.h"

#include <QApplication>

template <typename Grid> struct ShownGrid
{
    explicit ShownGrid(QSize size = QSize(400, 260), QWidget *page = nullptr)
    {
        dialog.resize(size.width(), size.height() + 40);
        ok = new QPushButton("OK", &dialog);
        ok->setDefault(true);
        ok->setGeometry(size.width() - 60, size.height() + 10, 50, 24);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        QWidget *parent = &dialog;
        if (page) {
            page->setParent(&dialog);
            page->setGeometry(0, 0, size.width(), size.height());
            parent = page;
        }
        grid = new Grid(parent);
        grid->setGeometry(0, 0, size.width(), size.height());
        grid->InitAttachedWindow(&dialog);
    }
    void show()
    {
        dialog.show();
        dialog.activateWindow();
        (void)QTest::qWaitForWindowActive(&dialog);
        grid->GridWindow()->setFocus();
        QCoreApplication::processEvents();
    }
    QString text(int col, int row)
    {
        QString shown;
        grid->GetCellTextTo(col, row, shown);
        return shown;
    }
    // Chooses a value in the drop list of a cell as the user does: Enter opens the list, Return
    // takes the highlighted entry.
    bool choose(int col, int row, const QString &value)
    {
        grid->MoveCurrentCellTo(col, row);
        QTest::keyClick(grid->GridWindow(), Qt::Key_Return);
        auto *type = static_cast<CUGDropListType *>(grid->GetCellTypeByIndex(CUGCtrl::CellTypeDropList));
        CUGLstBox *list = type->ListBox();
        if (!list || !list->isVisible())
            return false;
        const auto found = list->findItems(value, Qt::MatchExactly);
        if (found.isEmpty()) {
            QTest::keyClick(list, Qt::Key_Escape);
            return false;
        }
        list->setCurrentItem(found.first());
        QTest::keyClick(list, Qt::Key_Return);
        return true;
    }
    QImage image() { return grid->GridWindow()->grab().toImage(); }

    QDialog dialog;
    QPushButton *ok;
    Grid *grid;
};
