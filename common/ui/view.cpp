#include "common/ui/view.h"

#include <algorithm>
#include <charconv>

namespace vantora::ui {

ElementName parseElement(std::string_view name) {
    const auto open = name.find('(');
    if (open == std::string_view::npos || open == 0 || name.size() < open + 3 || name.back() != ')') return {};
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    int index = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc() || end != digits.data() + digits.size() || index < 0) return {};
    if (digits.size() > 1 && digits[0] == '0') return {};  // "Label1(03)" names no element
    return {name.substr(0, open), index};
}

bool ControlArrays::isLoaded(std::string_view element) const {
    const ElementName e = parseElement(element);
    if (e.index < 0) return false;
    if (e.index == 0) return true;
    auto it = loaded_.find(e.array);
    return it != loaded_.end() && std::binary_search(it->second.begin(), it->second.end(), e.index);
}

bool ControlArrays::load(std::string_view element) {
    const ElementName e = parseElement(element);
    if (e.index <= 0 || isLoaded(element)) return false;
    auto& indices = loaded_[std::string(e.array)];
    indices.insert(std::lower_bound(indices.begin(), indices.end(), e.index), e.index);
    return true;
}

bool ControlArrays::unload(std::string_view element) {
    const ElementName e = parseElement(element);
    if (e.index <= 0 || !isLoaded(element)) return false;
    auto& indices = loaded_.find(e.array)->second;
    indices.erase(std::lower_bound(indices.begin(), indices.end(), e.index));
    return true;
}

std::vector<int> ControlArrays::loadedBeyondZero(std::string_view array) const {
    auto it = loaded_.find(array);
    return it == loaded_.end() ? std::vector<int>{} : it->second;
}

int topmostAt(const std::vector<Rect>& rects, int x, int y) {
    for (int i = static_cast<int>(rects.size()) - 1; i >= 0; --i) {
        const Rect& r = rects[static_cast<std::size_t>(i)];
        if (x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height) return i;
    }
    return -1;
}

}  // namespace vantora::ui
