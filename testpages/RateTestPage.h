// What the four rate pages (Mixed Class, Aggregate, Scale, Latency) add to the page frame: the test
// duration and trials, the load rates, the frame-size range or the custom frame-size table with its
// "Custom" box and "Edit.." button, the payload and IGMP version, the delay after join; the frame-size
// rows the next run walks, built from them, and the host ports of the last copy into the test plan.
#pragma once

#include "testpages/CustomFrame.h"
#include "testpages/PageNumberField.h"
#include "testpages/TestPageBase.h"

#include <functional>
#include <vector>

class CPacketCustomPage;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QPushButton;

class CRateTestPage : public CTestPageBase
{
    Q_OBJECT

public:
    // What differs between the four pages' shared fields.
    struct Shape
    {
        PortLayout layout;
        std::uint32_t
            kind;      // the frame-size editor's test kind: 1 Mixed Class, 2 Aggregate, 3 Scale, 4 Latency
        bool rateStep; // Latency: a rate step in place of the minimum rate, and no resolution
        int delayAfterJoin; // the field's first value
    };
    // A numeric edit with its label and the spinner beside it, and the language key of the label.
    struct NumberField : NumberFieldControls
    {
        const char *labelKey = nullptr;
    };

    CRateTestPage(const Shape &shape, QWidget *parent);

    // The seven default rows into the custom frame-size table.
    void InitCustomFrameTable();
    // "Edit..": the frame-size editor on this page's table, modally.
    void OnEditCustom();
    // Also the field labels and the choices of the two lists.
    void SetLanguageText() override;
    std::vector<SectionField> SectionFields() override;
    // The checks every rate page makes before a run, in order: the port grid rebuilt from the ticked
    // pairs; every listed port serves a pair ticked on this page; a frame-size range that ends; every
    // numeric field within its own range (a loaded file bypasses the edits' limits); the page's own
    // counts; the rows the run will walk usable by the engine.
    bool CheckFieldsValid() override;

    // Rebuilds FrameRows: the custom table when "Custom" is ticked (nothing logged), else the rows of
    // the frame-size and rate fields, with the rate and frame-length lines in the test log.
    void LogRateParameters();
    // The rows of the fields: every size from the start by the step up to the stop, the stop size always
    // among them; none for a step or start below 1.
    std::vector<UtCustomFrame> FrameRowsOfFields() const;

    // Runs the editor; tests put a double here.
    std::function<int(CPacketCustomPage &)> RunEditor;

    // The frame-size rows the runner walks, in order.
    std::vector<UtCustomFrame> FrameRows;
    // The custom frame-size table: always seven rows.
    std::vector<UtCustomFrame> CustomFrameTable;
    // The host ports of the last copy into the test plan, in the order of the plan's host list.
    std::vector<UtTestPort> HostPortList;

    QGridLayout *ConfigLayout = nullptr; // inside ConfigBox
    NumberField DurationField;
    NumberField TrialsField;
    NumberField DelayAfterStartField;
    NumberField InitialRateField;
    NumberField MinRateField; // the rate step on the Latency page
    NumberField MaxRateField;
    NumberField ResolutionField; // none on the Latency page
    NumberField FrameStartField;
    NumberField FrameStopField;
    NumberField FrameStepField;
    NumberField DelayAfterJoinField;
    QLabel *IgmpVersionLabel = nullptr;
    QComboBox *IgmpVersionCombo = nullptr;
    QLabel *PayloadLabel = nullptr;
    QComboBox *PayloadCombo = nullptr;
    QCheckBox *CustomCheck = nullptr;
    QPushButton *EditButton = nullptr;

protected:
    // Adds a numeric field below the last one of a column of the configuration box (0 the test
    // timing, 1 the rates, 2 the frame sizes), with the range, decimals and first value of the shape.
    NumberField addField(int column, const char *labelKey, NumberFieldShape shape);
    // A rate field: two decimals, 0.01 to 100.
    NumberField addRateField(int column, const char *labelKey, double value);
    // Whole number and rate of a field's text (no number: 0).
    static int intOf(const NumberField &field);
    static double rateOf(const NumberField &field);

    // The page's own counts; a refusal names the fields.
    virtual bool countsValid() const { return true; }
    // Refusal texts of a field out of its range and of a field above another.
    static QString rangeRefusal(const NumberField &field);
    static QString aboveRefusal(const NumberField &field, const NumberField &other);
    // The parts of the copy into the test plan that every rate page shares: the ticked pairs and the
    // listed ports (hosts also into HostPortList); the test duration and trials; the payload pattern
    // and IGMP version of the two lists.
    void ApplyRatePage(CIGMPTestPlan &plan);
    void applyTiming(CIGMPTestPlan &plan) const;
    void applyPayloadAndVersion(CIGMPTestPlan &plan) const;
    // True when every row can be run (by the rate step on the Latency page). A refused row is named in
    // the refusal: one below the 64-byte minimum, which the editor and the fields allow, with its size.
    bool CheckFrameRows(const std::vector<UtCustomFrame> &rows) const;

private:
    bool checkPortRows();

    Shape m_shape;
    int m_nextRow[3] = {};
    std::vector<NumberField> m_numberFields;
};
