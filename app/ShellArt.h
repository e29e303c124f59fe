// The shell's pictures, drawn in code: the tool bar's button pictures, lamp and idle picture, the
// connection icons of the status bar, the start page's logo and the About box's product picture. Ids
// are the resource numbers the windows ask for.
#pragma once

#include <QIcon>
#include <QImage>

namespace ShellArt {

// The pictures by their resource numbers. White is the transparent colour of every button picture.
enum Picture : int
{
    // Tool bar buttons.
    ReconnectPicture = 145,
    LoadPicture = 216,
    SavePicture = 215,
    LogPicture = 158,
    TestConfigPicture = 177,
    ReportPicture = 146,
    RunIdlePicture = 159,
    RunRunningPicture = 160,
    StopRunningPicture = 173,
    StopIdlePicture = 174,
    PairingPicture = 188,
    SparePicture = 229,
    // The tool bar's lamp (off, and its two blinking states) and idle picture.
    LampOffPicture = 132,
    LampOnPicture = 185,
    LampBlinkPicture = 186,
    IdleToolPicture = 211,
    LogoPicture = 155,
    // Banner strips of the start page: normal and demo mode.
    BannerPicture = 135,
    DemoBannerPicture = 136,
    // Test pictures.
    MixClassTestPicture = 274,
    AggregateTestPicture = 275,
    ScaleGroupTestPicture = 276,
    LatencyTestPicture = 233,
    CapacityTestPicture = 278,
    JoinLeaveTestPicture = 279,
    // The arrows of the view's Apply button and of the description page's button.
    ApplyArrowPicture = 281,
    DescriptionArrowPicture = 288,
    // Connection icons of the status bar.
    NotConnectedIcon = 133,
    ConnectedIcon = 134,
};

QImage bitmap(int id);
// The caption a test picture carries: its test's name in the current language (empty for other ids).
QString testPictureCaption(int id);
// A connection icon: ConnectedIcon or NotConnectedIcon.
QIcon icon(int id);

} // namespace ShellArt
