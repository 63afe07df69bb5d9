#include "common/localization/localization.h"

#include <algorithm>

namespace vantora::localization {

std::string LocalStrings::load(std::int16_t id) const {
    if (holding_) return held_ ? read(held_, id) : std::string();
    const LibraryHandle library = libraries_.LoadLibraryExA(libraryName_, kLoadLibraryAsDatafile);
    if (!library) return {};
    std::string result = read(library, id);
    libraries_.FreeLibrary(library);
    return result;
}

std::string LocalStrings::read(LibraryHandle library, std::int16_t id) const {
    std::string buffer(kStringBufferLength, '\0');
    if (libraries_.LoadStringA(library, static_cast<std::uint16_t>(id), buffer.data(), kStringBufferLength) <= 0)
        return {};
    // A string table entry may hold zeros of its own; none of them is text.
    buffer.erase(std::remove(buffer.begin(), buffer.end(), '\0'), buffer.end());
    return buffer;
}

LocalStrings::Held::Held(const LocalStrings& strings) {
    if (strings.holding_) return;
    holder_ = &strings;
    strings.held_ = strings.libraries_.LoadLibraryExA(strings.libraryName_, kLoadLibraryAsDatafile);
    strings.holding_ = true;
}

LocalStrings::Held::~Held() {
    if (!holder_) return;
    if (holder_->held_) holder_->libraries_.FreeLibrary(holder_->held_);
    holder_->held_ = 0;
    holder_->holding_ = false;
}

void WindowLocalizer::applyFonts(const std::vector<FontRule>& rules) {
    for (const std::string& control : view_.controlNames()) {
        const std::string designClass = view_.className(control);
        for (const FontRule& rule : rules) {
            if (std::find(rule.classes.begin(), rule.classes.end(), designClass) == rule.classes.end()) continue;
            ui::Font& font = view_.font(control);
            if (!rule.face.empty()) font.setName(rule.face);
            if (rule.charset >= 0) font.setCharset(rule.charset);
            if (rule.size > 0) font.setSize(rule.size);
        }
    }
}

void WindowLocalizer::applyCaptions(const std::vector<CaptionEntry>& entries) {
    for (const CaptionEntry& entry : entries) {
        const std::string caption = strings_.load(entry.id);
        for (std::string_view control : entry.controls) view_.setCaption(control, caption);
    }
}

void WindowLocalizer::applyCorrections(const std::vector<Correction>& corrections) {
    for (const Correction& c : corrections) {
        const bool form = c.control == formName_;
        ui::Rect r = form ? view_.formBounds() : view_.bounds(c.control);
        int& side = c.side == Side::Left ? r.left : c.side == Side::Top ? r.top : c.side == Side::Width ? r.width : r.height;
        side = c.added ? side + c.value : c.value;
        if (!form)
            view_.setBounds(c.control, r);
        else if (c.side == Side::Left || c.side == Side::Top)
            view_.moveForm(r.left, r.top);
        else
            view_.resizeForm(r.width, r.height);
    }
}

}  // namespace vantora::localization
