// The shell's pictures, drawn in code: the tool bar's button pictures, lamp and idle picture, the
// connection icons of the status bar, the start page's logo and the About box's product picture. Ids
// are the resource numbers the windows ask for.
#pragma once

#include <QIcon>
#include <QImage>

namespace ShellArt {

// Button pictures: 145 Reconnect, 216 Load, 215 Save, 158 Log, 177 Test configuration, 146 Report,
// 159/160 Run (idle/running), 173/174 Stop (running/idle), 188 Pairing, 229 spare. Lamp 132, 185, 186;
// idle picture 211; logo 155. White is the transparent colour of every button picture.
QImage bitmap(int id);
// Connection icons: 134 connected, 133 not connected.
QIcon icon(int id);

} // namespace ShellArt
