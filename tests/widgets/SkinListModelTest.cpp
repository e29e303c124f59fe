// The skinned list's rows as the model keeps them: texts of any script, cells set out of order, a new
// column among stored cells, and changes reported only for texts that differ.
#include "controls/widgets/SkinListModel.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(SkinListModel, TextsAndChangeReports)
{
    SkinListModel model;
    for (int column = 0; column < 4; ++column)
        model.insertColumn(column, QString::number(column), Qt::AlignLeft);
    EXPECT_EQ(model.insertRow(5, QString::fromUtf8("端口 1")), 0);
    model.insertRow(1, QString());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    EXPECT_TRUE(model.setText(1, 2, "far"));
    EXPECT_EQ(model.text(1, 0), "");
    EXPECT_EQ(model.text(1, 2), "far");
    EXPECT_EQ(model.text(1, 3), "");
    EXPECT_TRUE(model.setTexts(0, 1, {"a", QString::fromUtf8("组播"), "c", "beyond the last column"}));
    EXPECT_EQ(model.text(0, 0), QString::fromUtf8("端口 1"));
    EXPECT_EQ(model.text(0, 2), QString::fromUtf8("组播"));
    EXPECT_EQ(model.text(0, 3), "c");
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed[1][0].toModelIndex(), model.index(0, 1));
    EXPECT_EQ(changed[1][1].toModelIndex(), model.index(0, 3));

    // Only the texts that differ count as a change.
    changed.clear();
    EXPECT_TRUE(model.setTexts(0, 1, {"a", QString::fromUtf8("组播"), "d"}));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(0, 3));
    EXPECT_TRUE(model.setText(1, 0, QString()));
    EXPECT_EQ(changed.size(), 1);

    // A zero character cannot end a text early.
    EXPECT_TRUE(model.setText(1, 1, QString("x") + QChar(0) + "y"));
    EXPECT_EQ(model.text(1, 1), "xy");
    EXPECT_EQ(model.text(1, 2), "far");

    model.insertColumn(1, "new", Qt::AlignRight);
    EXPECT_EQ(model.text(0, 0), QString::fromUtf8("端口 1"));
    EXPECT_EQ(model.text(0, 1), "");
    EXPECT_EQ(model.text(0, 2), "a");
    EXPECT_EQ(model.text(0, 4), "d");
    EXPECT_FALSE(model.setText(2, 0, "no such row"));
    EXPECT_FALSE(model.setText(0, 5, "no such column"));

    // Several columns at once: stored cells move past all of them, reported as one insertion.
    QSignalSpy inserted(&model, &QAbstractItemModel::columnsInserted);
    model.insertColumnList(2, {{"x", Qt::AlignLeft}, {"y", Qt::AlignCenter}});
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 2);
    EXPECT_EQ(inserted[0][2].toInt(), 3);
    EXPECT_EQ(model.columnCount(), 7);
    EXPECT_EQ(model.caption(3), "y");
    EXPECT_EQ(model.alignment(3), Qt::AlignCenter);
    EXPECT_EQ(model.text(0, 4), "a");
    EXPECT_EQ(model.text(0, 6), "d");
    EXPECT_EQ(model.text(1, 4), "xy");
    EXPECT_EQ(model.text(1, 5), "far");
}
