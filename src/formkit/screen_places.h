#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

class QScreen;
class QWidget;

namespace vantrel {

// How much of a window's title bar must stand on a screen for the user to take the window by it
// (all of a narrower title bar), pixels.
constexpr int kTitleBarGrip = 100;

// Whether the user can take a window whose frame is at frame by its title bar, titleHeight high:
// the title bar's middle row lies on one of the screens (their available areas), over
// kTitleBarGrip pixels at least.
bool TitleBarReachable(const QRect& frame, int titleHeight, const QList<QRect>& screens);

// The available areas of the screens there are.
QList<QRect> AvailableScreenAreas();

// A window's frame margins as the window system gave them; none until it has framed the window.
QMargins FrameMarginsOf(const QWidget& window);
// The height of a window's title bar: its frame's top, or the style's guess until it is framed.
int TitleBarHeight(const QWidget& window);
// Whether the window system has framed the window yet.
bool IsFramed(const QWidget& window);

// The screen a window is on (the primary screen when it has none yet), and the primary screen;
// with their origins, in pixels.
QRect ScreenRectOf(const QWidget& window);
QRect PrimaryScreenRect();

}  // namespace vantrel
