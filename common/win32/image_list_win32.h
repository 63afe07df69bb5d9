#pragma once
// An image list of a dialog's table: the pictures its list and tree views show.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "common/ui/view.h"
#include "common/win32/owners.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

class ImageListKind final : public ui::ImageList {
public:
    explicit ImageListKind(HINSTANCE instance) : instance_(instance) {}

    int addBitmap(int resourceId) override {
        UniqueBitmap bitmap(static_cast<HBITMAP>(
            LoadImageA(instance_, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        BITMAP info{};
        if (!bitmap || !GetObjectA(bitmap.get(), sizeof info, &info) || !ensure(info.bmWidth, info.bmHeight)) return 0;
        // Magenta is the see-through colour of the pictures in the resource scripts.
        return later::ImageList_AddMasked(list_.get(), bitmap.get(), RGB(255, 0, 255)) + 1;
    }
    int addIcon(std::uintptr_t handle) override {
        HICON icon = reinterpret_cast<HICON>(handle);
        ICONINFO info{};
        if (!icon || !GetIconInfo(icon, &info)) return 0;
        UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
        BITMAP size{};
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        const bool mono = !color;
        if (!GetObjectA(mono ? mask.get() : color.get(), sizeof size, &size)) return 0;
        if (!ensure(size.bmWidth, mono ? size.bmHeight / 2 : size.bmHeight)) return 0;
        return later::ImageList_ReplaceIcon(list_.get(), -1, icon) + 1;
    }
    int addPicture(const ui::Picture& p) override {
        if (p.width <= 0 || p.height <= 0 || p.pixels.size() != static_cast<std::size_t>(p.width) * p.height ||
            !ensure(p.width, p.height))
            return 0;
        // One scratch bitmap of the picture's size serves every add: the list copies it.
        if (!scratch_ || scratchWidth_ != p.width || scratchHeight_ != p.height) {
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            scratch_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &scratchBits_, nullptr, 0));
            scratchWidth_ = p.width, scratchHeight_ = p.height;
            if (!scratch_ || !scratchBits_) {
                scratch_.reset();
                return 0;
            }
        }
        auto* out = static_cast<DWORD*>(scratchBits_);
        // 0x00BBGGRR to the DIB's 0xAARRGGBB, opaque.
        for (std::size_t i = 0; i < p.pixels.size(); ++i) {
            const ui::Color c = p.pixels[i];
            out[i] = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
        GdiFlush();
        return later::ImageList_Add(list_.get(), scratch_.get(), nullptr) + 1;
    }
    int count() const override { return list_ ? later::ImageList_GetImageCount(list_.get()) : 0; }
    void clear() override {
        if (list_) later::ImageList_Remove(list_.get(), -1);
    }
    HIMAGELIST handle() const { return list_.get(); }

private:
    // The list takes the size of its first picture.
    bool ensure(int width, int height) {
        // Grown by a folder's worth at a time: a list that grows by a few pictures copies
        // all of them each time, which a folder of a thousand files makes slow.
        if (!list_) list_.reset(later::ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 64));
        return static_cast<bool>(list_);
    }

    HINSTANCE instance_;
    UniqueImageList list_;
    UniqueBitmap scratch_;
    void* scratchBits_ = nullptr;
    int scratchWidth_ = 0, scratchHeight_ = 0;
};

}  // namespace vantora::win32
