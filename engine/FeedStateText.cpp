#include "engine/FeedStateText.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

const char kHeader[] = "quillFeed state 1";

std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring wide(std::string_view text)
{
    if (text.empty())
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), chars);
    return out;
}

std::string escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '\\') {
            char code[4];
            snprintf(code, sizeof code, "\\%02x", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool unescaped(std::string_view text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool number(std::string_view text, int64_t& value)
{
    if (text.empty() || text.size() > 20)
        return false;
    const std::string digits(text);
    char* end = nullptr;
    value = strtoll(digits.c_str(), &end, 10);
    return end == digits.c_str() + digits.size();
}

void line(std::string& out, const char* word, const std::string& value)
{
    out.append(word).append(1, ' ').append(value).append(1, '\n');
}

void writeRecord(std::string& out, const std::wstring& address, const FeedMemory& memory)
{
    line(out, "feed", escaped(utf8(address)));
    line(out, "seen", std::to_string(memory.lastSeen));
    if (memory.checked)
        out += "checked\n";
    line(out, "listed", std::to_string(memory.listedAt));
    if (memory.quietUntil != 0)
        line(out, "quiet", std::to_string(memory.quietUntil));
    if (!memory.validators.etag.empty())
        line(out, "etag", escaped(memory.validators.etag));
    if (!memory.validators.lastModified.empty())
        line(out, "modified", escaped(memory.validators.lastModified));
    if (!memory.validators.origin.empty())
        line(out, "origin", escaped(utf8(memory.validators.origin)));
    if (memory.dueAt != 0)
        line(out, "due", std::to_string(memory.dueAt));
    if (memory.cacheSeconds != 0)
        line(out, "cache", std::to_string(memory.cacheSeconds));
    if (!memory.movedTo.empty())
        line(out, "moved", escaped(utf8(memory.movedTo)));
    if (!memory.foundFeed.empty())
        line(out, "found", std::to_string(memory.foundAt) + " " + escaped(utf8(memory.foundFeed)));
    for (const auto& [identity, seenAt] : memory.identities)
        line(out, "id", std::to_string(seenAt) + " " + escaped(utf8(identity)));
}

// One line of a record: its word and the rest.
class StateReader {
public:
    explicit StateReader(std::map<std::wstring, FeedMemory>& feeds) : feeds_(feeds) {}

    bool take(std::string_view word, std::string_view rest, std::string& why);
    size_t records() const { return records_; }

private:
    bool feedLine(std::string_view rest);
    bool factLine(std::string_view word, std::string_view rest);

    std::map<std::wstring, FeedMemory>& feeds_;
    FeedMemory* current_ = nullptr;
    size_t records_ = 0;
    std::string scratch_;
};

bool StateReader::take(std::string_view word, std::string_view rest, std::string& why)
{
    const bool read = word == "feed" ? feedLine(rest) : current_ != nullptr && factLine(word, rest);
    if (!read)
        why = "unreadable \"" + std::string(word) + "\" line";
    return read;
}

bool StateReader::feedLine(std::string_view rest)
{
    if (!unescaped(rest, scratch_))
        return false;
    current_ = &feeds_[wide(scratch_)];
    ++records_;
    return true;
}

bool StateReader::factLine(std::string_view word, std::string_view rest)
{
    FeedMemory& memory = *current_;
    if (word == "seen")
        return number(rest, memory.lastSeen);
    if (word == "checked") {
        memory.checked = true;
        return rest.empty();
    }
    if (word == "listed")
        return number(rest, memory.listedAt);
    if (word == "quiet")
        return number(rest, memory.quietUntil);
    if (word == "due")
        return number(rest, memory.dueAt);
    if (word == "cache")
        return number(rest, memory.cacheSeconds);
    if (word == "moved") {
        const bool ok = unescaped(rest, scratch_);
        memory.movedTo = wide(scratch_);
        return ok;
    }
    if (word == "etag")
        return unescaped(rest, memory.validators.etag);
    if (word == "modified")
        return unescaped(rest, memory.validators.lastModified);
    if (word == "origin") {
        const bool ok = unescaped(rest, scratch_);
        memory.validators.origin = wide(scratch_);
        return ok;
    }
    if (word == "id" || word == "found") {
        const size_t space = rest.find(' ');
        int64_t at = 0;
        if (space == std::string_view::npos || !number(rest.substr(0, space), at) ||
            !unescaped(rest.substr(space + 1), scratch_))
            return false;
        if (word == "id") {
            memory.identities[wide(scratch_)] = at;
        } else {
            memory.foundFeed = wide(scratch_);
            memory.foundAt = at;
        }
        return true;
    }
    return true; // a fact of a later version: skipped
}

} // namespace

std::string writeFeedState(const std::map<std::wstring, FeedMemory>& feeds)
{
    std::string out = std::string(kHeader) + "\n";
    for (const auto& [address, memory] : feeds)
        writeRecord(out, address, memory);
    line(out, "end", std::to_string(feeds.size()));
    return out;
}

bool readFeedState(const std::string& text, std::map<std::wstring, FeedMemory>& feeds, std::string& why)
{
    feeds.clear();
    StateReader reader(feeds);
    size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos)
            break; // a last line without its LF: the file was cut
        const std::string_view whole(text.data() + at, end - at);
        at = end + 1;
        if (first) {
            first = false;
            if (whole != kHeader) {
                why = "not a state of this version";
                break;
            }
            continue;
        }
        const size_t space = whole.find(' ');
        const std::string_view word = whole.substr(0, space);
        const std::string_view rest = space == std::string_view::npos ? std::string_view() : whole.substr(space + 1);
        if (word == "end") {
            int64_t count = -1;
            if (at == text.size() && number(rest, count) && static_cast<size_t>(count) == reader.records())
                return true;
            why = "wrong end";
            break;
        }
        if (!reader.take(word, rest, why))
            break;
    }
    if (why.empty())
        why = first ? "empty" : "cut short";
    feeds.clear();
    return false;
}
