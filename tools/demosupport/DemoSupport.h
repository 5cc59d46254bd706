#pragma once
// What the demos and the tests both drive windows with: rendering a control or form to pixels and PNG
// files, and synthetic mouse and keyboard input that takes the same road as the desktop's (raw input, then
// the message loop).

#include "classlib/controls/Application.h"
#include "classlib/controls/Control.h"
#include "classlib/graphics/Surface.h"

namespace demosupport {

// Paints what is invalid, then composes the control's window with its child windows (a graphic control: its
// rectangle of its parent's). Pixels are 0x00RRGGBB, the window's device pixels: at a scale above 1 the
// picture is larger than the control.
TSurface Render(TControl* Control);
// The colour at a pixel, as a TColor (0x00BBGGRR).
TColor PixelAt(const TSurface& Surface, int X, int Y);
// Writes Surface to $QUENDREL_TEST_OUTPUT/Name (the working directory without it); answers the path.
AnsiString SavePng(const TSurface& Surface, const AnsiString& Name);
AnsiString RenderToPng(TControl* Control, const AnsiString& Name);
AnsiString OutputPath(const AnsiString& Name);
// Photographs the real desktop (the X display's root window) into OutputPath(Name) and reads the picture
// back; empty when no photograph could be taken. What the desktop shows, not what the windows hold.
TSurface PhotographDesktop(const AnsiString& Name);

// Input at a point of Control's client area. Each call queues the raw event and runs the message loop.
void MouseMove(TControl* Control, int X, int Y, unsigned Modifiers = 0);
void MouseDown(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, unsigned Modifiers = 0);
void MouseUp(TControl* Control, int X, int Y, TMouseButton Button = mbLeft, unsigned Modifiers = 0);
void Click(TControl* Control, int X, int Y, TMouseButton Button = mbLeft);
void DoubleClick(TControl* Control, int X, int Y);
// Keys go to the focused window. Text is the character the key types ("" for none).
void KeyDown(WORD Key, unsigned Modifiers = 0, const AnsiString& Text = "");
void KeyUp(WORD Key, unsigned Modifiers = 0);
void PressKey(WORD Key, unsigned Modifiers = 0, const AnsiString& Text = "");
// Types each character: its key down (with the character) and up.
void Type(const AnsiString& Text);
// Queue input without running the loop, for a modal loop (a menu, a modal form) that takes it when it runs.
// A mouse event at a screen point goes to the top-level window of Control.
void QueueKey(WORD Key, unsigned Modifiers = 0);
// One key going down or up, as a keyboard sends it: Alt+F4 is Alt down, F4 down and up, then Alt up.
void QueueKeyEvent(WORD Key, unsigned Modifiers, bool Down);
void QueueMouse(TControl* Control, TPoint Screen, TMouseButton Button, bool Down);
void QueueMouseMove(TControl* Control, TPoint Screen);
// Runs the message loop until nothing waits.
void Pump();

} // namespace demosupport
