#pragma once
// Where the message box puts its message and buttons and how large it becomes, in
// twips: the message beside the picture, wrapped to the room left; one centred row
// of buttons below the taller of the two; the box widened until the row fits and
// the client area is at least three times as wide as high; then centred on screen.

#include <QRect>
#include <functional>
#include <vector>

struct MsgBoxLayoutInput {
    int clientWidth = 4695; // current client area; the box never gets narrower
    int clientHeight = 1905;
    QRect picture{100, 120, 480, 480};
    int messageTop = 240;
    std::vector<int> buttonWidths; // in position order
    int buttonHeight = 345;
    // Window frame: borders left + right, borders top + bottom, title bar.
    int horizontalFrame = 0;
    int verticalFrame = 0;
    int caption = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    // Height of the message wrapped at a width.
    std::function<int(int width)> messageHeight;
};

struct MsgBoxLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    int outerWidth = 0;
    int outerHeight = 0;
    int messageLeft = 0;
    int messageWidth = 0;
    int messageHeight = 0;
    int rowTop = 0;
    int rowWidth = 0;
    std::vector<int> buttonLefts;
    int windowLeft = 0; // outer corner, screen coordinates
    int windowTop = 0;
};

MsgBoxLayout layOutMsgBox(const MsgBoxLayoutInput &in);
