// The System Requirements box: the platform the program needs and, in a read-only table, the minimum
// FPGA, firmware and PROM versions of each test-module model.
#pragma once

#include <QDialog>

class QTableWidget;

class CSystemRequirements : public QDialog
{
    Q_OBJECT

public:
    explicit CSystemRequirements(QWidget *parent = nullptr);

    void FillTable();
    QTableWidget *table() const { return m_table; }

private:
    QTableWidget *m_table;
};
