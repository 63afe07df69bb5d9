#include "common/win32/control_kinds_win32.h"


namespace vantora::win32 {

namespace {

class ImageKind final : public ui::ImageControl {
public:
    ImageKind(HWND w, HINSTANCE instance, bool button) : w_(w), instance_(instance), button_(button) {}
    void setBitmap(int resourceId) override {
        UniqueBitmap bitmap;
        if (resourceId > 0)
            bitmap.reset(static_cast<HBITMAP>(
                LoadImageA(instance_, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        if (resourceId > 0 && !bitmap) return;
        if (button_) {
            setStyleBits(w_, BS_BITMAP, BS_BITMAP);
            SendMessageA(w_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
        } else {
            setStyleBits(w_, SS_TYPEMASK, SS_BITMAP);
            auto previous = reinterpret_cast<HBITMAP>(
                SendMessageA(w_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get())));
            // A bitmap the template gave the control comes back to us, to be freed.
            UniqueBitmap fromTemplate(previous != bitmap_.get() ? previous : nullptr);
        }
        InvalidateRect(w_, nullptr, TRUE);
        bitmap_ = std::move(bitmap);
        id_ = resourceId > 0 ? resourceId : 0;
    }
    int bitmap() const override {
        const auto shown = SendMessageA(w_, button_ ? BM_GETIMAGE : STM_GETIMAGE, IMAGE_BITMAP, 0);
        return bitmap_ && shown == reinterpret_cast<LRESULT>(bitmap_.get()) ? id_ : 0;
    }

private:
    HWND w_;
    HINSTANCE instance_;
    bool button_;
    UniqueBitmap bitmap_;
    int id_ = 0;
};

}  // namespace

std::unique_ptr<ui::ImageControl> makeImage(HWND control, HINSTANCE instance, bool button) {
    return std::make_unique<ImageKind>(control, instance, button);
}

}  // namespace vantora::win32
