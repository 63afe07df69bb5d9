#include "help/winhelp_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <set>

namespace vantora::help {

namespace {

constexpr std::uint32_t kHelpMagic = 0x00035F3F;
constexpr std::uint16_t kBtreeMagic = 0x293B;
constexpr std::size_t kFileHeaderSize = 16;     // magic, directory start, first free block, file size
constexpr std::size_t kInternalHeaderSize = 9;  // reserved space, used space, flags
constexpr std::size_t kBtreeHeaderSize = 38;
constexpr std::size_t kLeafHeaderSize = 8;   // unused, entries, previous page, next page
constexpr std::size_t kIndexHeaderSize = 6;  // unused, entries, previous page
constexpr std::size_t kDirectoryStartAt = 4;
constexpr std::size_t kFileSizeAt = 12;
constexpr char kContextFile[] = "|CONTEXT";
constexpr char kContextMapFile[] = "|CTXOMAP";
constexpr char kTitleFile[] = "|TTLBTREE";

// Reads little-endian fields with every access checked against the file's end: the
// file comes from a tool outside the project.
class Reader {
public:
    explicit Reader(const Bytes& b) : b_(b) {}
    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        return b_[at] | b_[at + 1] << 8 | b_[at + 2] << 16 | static_cast<std::uint32_t>(b_[at + 3]) << 24;
    }
    std::uint16_t u16(std::size_t at) const {
        need(at, 2);
        return static_cast<std::uint16_t>(b_[at] | b_[at + 1] << 8);
    }
    std::int16_t i16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
    // A zero-terminated string at `at`; `at` moves past its terminator.
    std::string cstring(std::size_t& at) const {
        std::string s;
        for (;; ++at) {
            need(at, 1);
            if (b_[at] == 0) break;
            s += static_cast<char>(b_[at]);
        }
        ++at;
        return s;
    }
    void need(std::size_t at, std::size_t n) const {
        if (at > b_.size() || n > b_.size() - at) throw HelpFileError("the help file ends inside a structure");
    }

private:
    const Bytes& b_;
};

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void append16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void append32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Walks the leaf pages of the B+ tree that starts at `tree` (its header), in key
// order; `entry` reads one entry at the given offset and returns the offset after it.
void forEachLeafEntry(const Reader& r, std::size_t tree, const std::function<std::size_t(std::size_t)>& entry) {
    if (r.u16(tree) != kBtreeMagic) throw HelpFileError("a B+ tree without its magic number");
    const std::size_t pageSize = r.u16(tree + 4);
    const int rootPage = r.i16(tree + 26);
    const int levels = r.i16(tree + 32);
    const std::size_t pages = tree + kBtreeHeaderSize;
    const auto pageAt = [&](int page) {
        if (page < 0) throw HelpFileError("a B+ tree page number below zero");
        const std::size_t at = pages + static_cast<std::size_t>(page) * pageSize;
        r.need(at, pageSize);
        return at;
    };
    int page = rootPage;
    for (int level = 1; level < levels; ++level) page = r.i16(pageAt(page) + kIndexHeaderSize);  // leftmost child
    std::set<int> seen;
    while (page != -1) {
        if (!seen.insert(page).second) throw HelpFileError("a B+ tree whose leaves run in a circle");
        const std::size_t at = pageAt(page);
        const int count = r.i16(at + 2);
        std::size_t next = at + kLeafHeaderSize;
        for (int i = 0; i < count; ++i) {
            next = entry(next);
            if (next > at + pageSize) throw HelpFileError("a B+ tree entry runs past its page");
        }
        page = r.i16(at + 6);
    }
}

struct InternalFile {
    std::size_t offset;       // of its 9-byte header
    std::size_t entryOffset;  // of the offset field in the directory's entry
};

std::map<std::string, InternalFile> directory(const Reader& r) {
    if (r.u32(0) != kHelpMagic) throw HelpFileError("not a WinHelp file");
    const std::size_t dir = r.u32(kDirectoryStartAt);
    std::map<std::string, InternalFile> files;
    forEachLeafEntry(r, dir + kInternalHeaderSize, [&](std::size_t at) {
        std::string name = r.cstring(at);
        files[name] = {r.u32(at), at};
        return at + 4;
    });
    return files;
}

std::size_t treeOf(const Reader& r, const std::map<std::string, InternalFile>& files, const char* name) {
    const auto it = files.find(name);
    if (it == files.end()) throw HelpFileError(std::string("the help file has no ") + name);
    r.need(it->second.offset, kInternalHeaderSize);
    return it->second.offset + kInternalHeaderSize;
}

}  // namespace

std::vector<ContextEntry> parseContextList(std::string_view text) {
    std::vector<ContextEntry> entries;
    std::set<std::uint32_t> numbers;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.remove_prefix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::string where = "context list line " + std::to_string(lineNumber) + ": ";
        ContextEntry e{};
        const auto [rest, ec] = std::from_chars(line.data(), line.data() + line.size(), e.number);
        std::string_view topic(rest, static_cast<std::size_t>(line.data() + line.size() - rest));
        if (ec != std::errc{} || topic.empty() || !std::isspace(static_cast<unsigned char>(topic.front())))
            throw HelpFileError(where + "expected a number and a topic name");
        while (std::isspace(static_cast<unsigned char>(topic.front()))) topic.remove_prefix(1);
        contextHash(topic);  // refuses a name that viewers would hash differently
        if (!numbers.insert(e.number).second) throw HelpFileError(where + "number " + std::to_string(e.number) + " given twice");
        e.topic = std::string(topic);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::uint32_t contextHash(std::string_view topic) {
    if (topic.empty()) throw HelpFileError("an empty topic name");
    std::uint32_t hash = 0;
    for (const char c : topic) {
        std::uint32_t value;
        if (c >= 'A' && c <= 'Z') value = static_cast<std::uint32_t>(c - 'A') + 17;
        else if (c >= 'a' && c <= 'z') value = static_cast<std::uint32_t>(c - 'a') + 17;
        else if (c >= '1' && c <= '9') value = static_cast<std::uint32_t>(c - '0');
        else if (c == '0') value = 10;
        else if (c == '.') value = 12;
        else if (c == '_') value = 13;
        else throw HelpFileError("topic name \"" + std::string(topic) + "\" holds a character other than letters, digits, '.' and '_'");
        hash = hash * 43 + value;  // wraps as the viewers' 32-bit arithmetic does
    }
    return hash;
}

Bytes withContextMap(const Bytes& file, const std::vector<ContextEntry>& entries) {
    const Reader r(file);
    const auto files = directory(r);
    std::map<std::uint32_t, std::uint32_t> topicOfHash;
    forEachLeafEntry(r, treeOf(r, files, kContextFile), [&](std::size_t at) {
        topicOfHash[r.u32(at)] = r.u32(at + 4);
        return at + 8;
    });
    std::vector<std::pair<std::uint32_t, std::uint32_t>> map;  // number, topic offset
    for (const ContextEntry& e : entries) {
        const auto it = topicOfHash.find(contextHash(e.topic));
        if (it == topicOfHash.end())
            throw HelpFileError("context " + std::to_string(e.number) + ": no topic named \"" + e.topic + "\"");
        map.emplace_back(e.number, it->second);
    }
    std::sort(map.begin(), map.end());
    if (map.size() > 0xFFFF) throw HelpFileError("more contexts than a context map holds");

    // The new map goes to the end of the file and the directory entry points there; the
    // old one, which Halibut leaves empty, is left unreferenced.
    const auto old = files.find(kContextMapFile);
    if (old == files.end()) throw HelpFileError("the help file has no |CTXOMAP entry to point at the map");
    Bytes out = file;
    const std::size_t at = out.size();
    const std::uint32_t used = static_cast<std::uint32_t>(2 + 8 * map.size());
    append32(out, used + kInternalHeaderSize);  // the reserved space counts this header too
    append32(out, used);
    out.push_back(0);
    append16(out, static_cast<std::uint16_t>(map.size()));
    for (const auto& [number, topic] : map) {
        append32(out, number);
        append32(out, topic);
    }
    put32(out, old->second.entryOffset, static_cast<std::uint32_t>(at));
    put32(out, kFileSizeAt, static_cast<std::uint32_t>(out.size()));
    return out;
}

std::map<std::uint32_t, std::string> contextTitles(const Bytes& file) {
    const Reader r(file);
    const auto files = directory(r);
    std::map<std::uint32_t, std::string> titleOfTopic;
    forEachLeafEntry(r, treeOf(r, files, kTitleFile), [&](std::size_t at) {
        const std::uint32_t topic = r.u32(at);
        at += 4;
        titleOfTopic[topic] = r.cstring(at);
        return at;
    });
    const std::size_t map = treeOf(r, files, kContextMapFile);
    std::map<std::uint32_t, std::string> titles;
    for (std::size_t i = 0, n = r.u16(map); i < n; ++i) {
        const std::size_t at = map + 2 + 8 * i;
        const auto title = titleOfTopic.find(r.u32(at + 4));
        titles[r.u32(at)] = title == titleOfTopic.end() ? std::string() : title->second;
    }
    return titles;
}

}  // namespace vantora::help
