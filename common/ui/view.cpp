#include "common/ui/view.h"

#include <algorithm>
#include <charconv>

namespace vantora::ui {

std::string indexed(std::string_view name, int index) {
    return std::string(name) + "(" + std::to_string(index) + ")";
}

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

// Out of line so that every host and form shares one copy: inline, each object that
// calls them kept a private clone of its own.
void View::on(std::string_view control, Event event, Handler handler) {
    handlers_[{std::string(control), event}] = std::move(handler);
}

void View::on(std::string_view control, Event event, std::function<void()> handler) {
    on(control, event, Handler([h = std::move(handler)](int) { h(); }));
}

void View::onArray(std::string_view array, Event event, ArrayHandler handler) {
    arrayHandlers_[{std::string(array), event}] = std::move(handler);
}

bool View::raise(std::string_view control, Event event, int argument) {
    if (auto it = handlers_.find({std::string(control), event}); it != handlers_.end()) {
        Handler handler = it->second;  // a handler may re-register itself
        handler(argument);
        return true;
    }
    const ElementName element = parseElement(control);
    if (element.index < 0) return false;
    auto it = arrayHandlers_.find({std::string(element.array), event});
    if (it == arrayHandlers_.end()) return false;
    ArrayHandler handler = it->second;
    handler(element.index, argument);
    return true;
}

void View::setValue(std::string_view control, int value) {
    if (value == this->value(control)) return;
    storeValue(control, value);
    if (value != kUnchecked || className(control) != "OptionButton") raise(control, Event::Click);
}

void View::setListIndex(std::string_view control, int index) {
    if (index < -1 || index >= listCount(control)) return;  // not accepted: nothing changes
    if (index == listIndex(control)) return;
    storeListIndex(control, index);
    raise(control, Event::Click);
}

}  // namespace vantora::ui
