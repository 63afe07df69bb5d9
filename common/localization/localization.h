#pragma once
// The suite's one way of localizing a window: numbered strings fetched one at a time
// from the program's resource library, and a localizer per window that sets captions
// in table order, changes fonts by the controls' design classes and corrects geometry.
// Each program supplies its library name and its tables; the routine is the same.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/ports/screen.h"
#include "common/ports/string_library.h"
#include "common/ui/view.h"

namespace vantora::localization {

inline constexpr int kStringBufferLength = 255;
inline constexpr int kDefaultCharset = 1;  // the platform's default character set

// LoadLocalString of one program. The library is loaded as a data file by its bare
// name, so the process's library search decides where it is found; it is loaded and
// freed again for every string. A missing library or string, or any failure, gives "".
class LocalStrings {
public:
    LocalStrings(StringLibraryPort& libraries, std::string libraryName)
        : libraries_(libraries), libraryName_(std::move(libraryName)) {}
    LocalStrings(const LocalStrings&) = delete;
    LocalStrings& operator=(const LocalStrings&) = delete;
    std::string load(std::int16_t id) const;

    // While one lives, the library is loaded once, when it begins, and every string comes
    // from that copy (or is "" when there was none); it is freed when the Held ends. A
    // window asks for dozens of strings in one go, and each load searches folders and maps
    // the file again. The first Held of several nested ones does the holding.
    class Held {
    public:
        explicit Held(const LocalStrings& strings);
        ~Held();
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        const LocalStrings* holder_ = nullptr;
    };

private:
    std::string read(LibraryHandle library, std::int16_t id) const;

    StringLibraryPort& libraries_;
    std::string libraryName_;
    mutable bool holding_ = false;
    mutable LibraryHandle held_ = 0;
};

// A font change for every control of the named design classes. Empty face, negative
// charset and zero size keep what the control has.
struct FontRule {
    std::vector<std::string_view> classes;
    std::string face;
    int charset = -1;
    int size = 0;
};

// The captions one string sets, in the order of the window's table.
struct CaptionEntry {
    std::int16_t id;
    std::vector<std::string_view> controls;
};

enum class Side { Left, Top, Width, Height };

// One geometry change in twips: a signed value is added to the current one, an
// unsigned one replaces it. The form's own name addresses the window itself.
struct Correction {
    std::string_view control;
    Side side;
    int value;
    bool added;
};
constexpr Correction setTo(std::string_view control, Side side, int value) { return {control, side, value, false}; }
constexpr Correction addTo(std::string_view control, Side side, int value) { return {control, side, value, true}; }

class WindowLocalizer {
public:
    // The library stays loaded for as long as the localizer lives.
    WindowLocalizer(ui::View& view, std::string_view formName, const LocalStrings& strings, ScreenPort& screen)
        : view_(view), formName_(formName), strings_(strings), held_(strings), screen_(screen) {}

    // Horizontal dots per inch of the whole screen.
    int screenResolution() const { return screen_.screenDeviceCaps(kLogPixelsX); }
    std::string text(std::int16_t id) const { return strings_.load(id); }
    // Every control of the window, each rule whose classes name the control's class:
    // face, then character set, then size, each on the control's font.
    void applyFonts(const std::vector<FontRule>& rules);
    // A missing string empties its captions: there is no fallback to the design text.
    void applyCaptions(const std::vector<CaptionEntry>& entries);
    void applyCorrections(const std::vector<Correction>& corrections);

private:
    ui::View& view_;
    std::string formName_;
    const LocalStrings& strings_;
    LocalStrings::Held held_;
    ScreenPort& screen_;
};

}  // namespace vantora::localization
