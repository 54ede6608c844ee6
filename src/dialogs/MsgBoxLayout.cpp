#include "dialogs/MsgBoxLayout.h"

#include <algorithm>

namespace {
constexpr int kGap = 100;
constexpr int kBand = 200;
constexpr int kAspect = 3;
// A message that would not let the box settle stops widening it here.
constexpr int kWidestClient = 1000000;
} // namespace

MsgBoxLayout layOutMsgBox(const MsgBoxLayoutInput &in)
{
    MsgBoxLayout out;
    const int frameHeight = in.verticalFrame + in.caption;
    int outerWidth = in.clientWidth + in.horizontalFrame;
    int outerHeight = in.clientHeight + frameHeight;
    const auto clientWidth = [&] { return outerWidth - in.horizontalFrame; };
    const auto clientHeight = [&] { return outerHeight - frameHeight; };

    out.messageLeft = in.picture.left() + in.picture.width() + kGap;
    for (const int width : in.buttonWidths)
        out.rowWidth += width;
    if (!in.buttonWidths.empty())
        out.rowWidth += int(in.buttonWidths.size() - 1) * kGap;

    for (;;) {
        const int available = clientWidth() - out.messageLeft - kGap;
        if (available <= 0) {
            outerWidth += kGap;
            continue;
        }
        out.messageWidth = available;
        out.messageHeight = in.messageHeight ? std::max(0, in.messageHeight(available)) : 0;
        out.rowTop =
            std::max(in.messageTop + out.messageHeight, in.picture.top() + in.picture.height()) + kBand;
        outerHeight = out.rowTop + in.buttonHeight + kBand + frameHeight;

        out.buttonLefts.clear();
        int left = clientWidth() / 2 - out.rowWidth / 2;
        for (const int width : in.buttonWidths) {
            out.buttonLefts.push_back(left);
            left += width + kGap;
        }
        if (!out.buttonLefts.empty() && out.buttonLefts.front() < 0) {
            outerWidth = out.rowWidth + in.horizontalFrame;
            continue;
        }
        if (kAspect * clientHeight() > clientWidth() && clientWidth() < kWidestClient) {
            outerWidth += kGap;
            continue;
        }
        break;
    }

    out.clientWidth = clientWidth();
    out.clientHeight = clientHeight();
    out.outerWidth = outerWidth;
    out.outerHeight = outerHeight;
    out.windowLeft = (in.screenWidth - outerWidth) / 2;
    out.windowTop = (in.screenHeight - outerHeight) / 2;
    return out;
}
