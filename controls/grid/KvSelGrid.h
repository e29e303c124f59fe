// The ports selected for a role, with a speed drop list beside each port.
#pragma once

#include "controls/grid/KvPortlistGrid.h"

class CKvSelGrid : public CKvPortlistGrid
{
    Q_OBJECT

public:
    explicit CKvSelGrid(QWidget *parent = nullptr);

    // The speed choices of a port type code, each ended by a line feed.
    static QString SpeedChoices(int portTypeCode);

    int AddCheckRow(int row, const QString &text, int checked, const QFont *font, int value) override;
    virtual int SetRowSpeedChoices(int row, int portTypeCode, const QString &current);
    virtual int GetRowSpeed(int row, QString &text);

    void HookSetUpGrid() override;

    int SpeedColumn() const { return m_speedCol; }

private:
    int m_speedCol = 0;
};
