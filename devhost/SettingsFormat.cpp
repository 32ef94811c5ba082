#include "devhost/SettingsFormat.h"

#include "devhost/Text.h"

namespace SettingsFormat {

const char* const kHeader = "[quillFeed-devhost-settings 1]";

namespace {

std::wstring escape(const std::wstring& value)
{
    std::wstring out;
    for (wchar_t c : value) {
        switch (c) {
        case L'\\':
            out += L"\\\\";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool unescape(const std::wstring& text, std::wstring& value, std::wstring& problem)
{
    value.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            value += text[i];
            continue;
        }
        if (++i == text.size()) {
            problem = L"the value ends with a lone backslash";
            return false;
        }
        switch (text[i]) {
        case L'\\':
            value += L'\\';
            break;
        case L'r':
            value += L'\r';
            break;
        case L'n':
            value += L'\n';
            break;
        case L't':
            value += L'\t';
            break;
        default:
            problem = std::wstring(L"unknown escape \\") + text[i];
            return false;
        }
    }
    return true;
}

bool validKey(const std::wstring& key)
{
    if (key.empty())
        return false;
    for (wchar_t c : key)
        if (c < 32 || c == L'=')
            return false;
    return true;
}

bool parseLine(const std::wstring& line, Values& values, std::wstring& problem)
{
    if (line.empty() || line[0] == L'#')
        return true;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) {
        problem = L"no '=' between key and value";
        return false;
    }
    const std::wstring key = line.substr(0, equals);
    if (!validKey(key)) {
        problem = L"the key is empty or holds a control character";
        return false;
    }
    std::wstring value;
    if (!unescape(line.substr(equals + 1), value, problem))
        return false;
    if (!values.emplace(key, value).second) {
        problem = L"the key " + key + L" appears twice";
        return false;
    }
    return true;
}

} // namespace

std::string serialize(const Values& values)
{
    std::string out = std::string(kHeader) + "\n";
    for (const auto& entry : values)
        out += Text::toUtf8(entry.first + L"=" + escape(entry.second)) + "\n";
    return out;
}

bool parse(const std::string& bytes, Values& values, std::wstring& error)
{
    values.clear();
    if (bytes.empty())
        return true; // a new, empty file
    Values found;
    size_t start = 0;
    for (size_t number = 1; start < bytes.size(); ++number) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string raw = bytes.substr(start, end - start);
        start = end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        std::wstring problem;
        std::wstring line;
        if (number == 1) {
            if (raw != kHeader)
                problem = L"not a devhost settings file (the first line must be " + Text::widen(kHeader) + L")";
        } else if (!Text::fromUtf8(raw, line)) {
            problem = L"not valid UTF-8";
        } else {
            parseLine(line, found, problem);
        }
        if (!problem.empty()) {
            error = L"line " + std::to_wstring(number) + L": " + problem;
            return false;
        }
    }
    values.swap(found);
    return true;
}

} // namespace SettingsFormat
