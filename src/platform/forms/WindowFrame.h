#pragma once
// The frame the window system draws around a window: borders and title bar, in
// pixels. A window lays itself out in client coordinates and needs the frame only
// to know its outer size.

#include <functional>

class QWidget;

namespace platform {

struct FrameSizes {
    int horizontal = 0; // left border + right border
    int vertical = 0;   // upper border + lower border, title bar excluded
    int caption = 0;    // title bar
    bool operator==(const FrameSizes &) const = default;
};

// The frame of a top-level window. One not framed yet (about to be shown) gets the
// frame measured on another window of the program; zero until the window system
// has framed any (no window manager, offscreen).
FrameSizes windowFrame(const QWidget *window);

// Replaces the measure (tests); an empty function goes back to the real one.
void setWindowFrameFunction(std::function<FrameSizes(const QWidget *)> function);

} // namespace platform
