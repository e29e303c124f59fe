// The shell's pictures, drawn in code: the tool bar's button pictures, lamp and idle picture, the
// connection icons of the status bar, the start page's logo and the About box's product picture. Ids
// are the resource numbers the windows ask for.
#pragma once

#include <QIcon>
#include <QImage>

namespace ShellArt {

// Button pictures: 145 Reconnect, 216 Load, 215 Save, 158 Log, 177 Test configuration, 146 Report,
// 159/160 Run (idle/running), 173/174 Stop (running/idle), 188 Pairing, 229 spare. Lamp 132, 185, 186;
// idle picture 211; logo 155; banner strips 135 (normal) and 136 (demo mode); test pictures 274 Mixed
// Class, 275 Aggregate, 276 Scale Group, 233 Latency, 278 Capacity, 279 Join/Leave; the arrows of the
// view's Apply button 281 and the description page's button 288; the reservation tree's 16 x 16
// pictures 139 (active devices), 190 (chassis), 189 (board); the module marks 298 (outdated, red) and
// 302 (lite, "L"). White is the transparent colour of every button picture.
QImage bitmap(int id);
// The caption a test picture carries: its test's name in the current language (empty for other ids).
QString testPictureCaption(int id);
// Connection icons: 134 connected, 133 not connected.
QIcon icon(int id);

} // namespace ShellArt
