#pragma once
// The help viewer: a file's topic by context number, its contents, a What's This popup.
#include <cstdint>
#include <string>

namespace vantora {

class HelpPort {
public:
    virtual ~HelpPort() = default;
    virtual void showContext(const std::string& helpFile, std::uint32_t context) = 0;
    // The file's contents topic: help on a window as a whole, where no number names it.
    virtual void showContents(const std::string& helpFile) = 0;
    // A What's This topic: a popup beside the control rather than the help window.
    // Hosts without popups show the whole topic.
    virtual void showContextPopup(const std::string& helpFile, std::uint32_t context) {
        showContext(helpFile, context);
    }
};

}  // namespace vantora
