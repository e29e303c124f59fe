// The cell store interface of the grid. Every operation has a base answer: -1 (not supported) for
// the store operations, allow (1) for the policy questions, nothing for the notifications.
#pragma once

#include <QString>

class CUGCell;
class GridStoreOwner;
class QWidget;

class CUGDataSource
{
public:
    virtual ~CUGDataSource() = default;

    virtual int GetLastStoredRow() { return -1; }
    virtual int AppendRow() { return -1; }
    virtual int OpenRowAt(int /*row*/) { return -1; }
    virtual int AppendColumn() { return -1; }
    virtual int InsertColumnAt(int /*col*/) { return -1; }
    virtual int DeleteRowAt(int /*row*/) { return -1; }
    virtual int DeleteColumnAt(int /*col*/) { return -1; }
    virtual int ClearCellAt(int /*col*/, int /*row*/) { return -1; }
    virtual int ClearAllCells() { return -1; }
    virtual int LoadCell(int /*col*/, int /*row*/, CUGCell * /*cell*/) { return -1; }
    virtual int StoreCell(int /*col*/, int /*row*/, CUGCell * /*cell*/) { return -1; }
    virtual int FindText(QString /*text*/, int * /*col*/, int * /*row*/, int /*flags*/) { return -1; }
    virtual int FindNextText(QString /*text*/, int * /*col*/, int * /*row*/, int /*flags*/) { return -1; }
    virtual int SortRows(const int * /*cols*/, int /*count*/, int /*flags*/) { return -1; }
    virtual int SortByColumn(int /*col*/, int /*flags*/) { return -1; }
    virtual int FetchRowsPastEnd(int /*rowCount*/, int /*rowsWanted*/, int * /*rowsFound*/) { return -1; }
    virtual void OnCurrentRowChanged(int /*oldRow*/, int /*newRow*/) {}
    virtual void OnCurrentColumnChanged(int /*oldCol*/, int /*newCol*/) {}
    virtual int MayMoveToColumn(int /*oldCol*/, int /*oldRow*/, int /*newCol*/, int /*newRow*/) { return 1; }
    virtual int MayStartEdit(int /*col*/, int /*row*/, QWidget ** /*editor*/) { return 1; }
    virtual int MayFinishEdit(int /*col*/, int /*row*/, QWidget * /*editor*/, const QString & /*text*/,
                              int /*cancelled*/)
    {
        return 1;
    }
    virtual int MayMoveEditOn(int /*oldCol*/, int /*oldRow*/, int * /*newCol*/, int * /*newRow*/)
    {
        return 1;
    }
    virtual int FindPrevFilledCell(int * /*col*/, int /*row*/) { return -1; }
    // A key typed in an in-cell editor; 0 refuses it, and the key may be changed.
    virtual int CheckEditKey(int /*col*/, int /*row*/, QWidget * /*editor*/, int * /*key*/) { return 1; }

    void SetOwner(GridStoreOwner *owner) { m_owner = owner; }
    GridStoreOwner *Owner() const { return m_owner; }

private:
    GridStoreOwner *m_owner = nullptr;
};
