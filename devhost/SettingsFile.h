#pragma once
// One configuration file on disk and its values in memory. Saving writes a
// temporary file and then replaces the old one, so a crash leaves either the
// old or the new file whole; a file that does not parse is never replaced.
#include <optional>
#include <string>

#include "devhost/SettingsFormat.h"

class SettingsFile {
public:
    explicit SettingsFile(std::wstring path) : path_(std::move(path)) {}

    const std::wstring& path() const { return path_; }

    // A missing file is an empty one. On failure the values stay as they were.
    bool load(std::wstring& error);
    bool save(std::wstring& error) const;

    std::optional<std::wstring> get(const std::wstring& key) const;
    void set(const std::wstring& key, const std::wstring& value);
    const SettingsFormat::Values& values() const { return values_; }

private:
    std::wstring path_;
    SettingsFormat::Values values_;
};

namespace FileBytes {
enum class Result { Read, Missing, Failed };
Result read(const std::wstring& path, std::string& bytes, std::wstring& error);
// Creates the folders of a file path that do not exist yet.
bool makeParentFolders(const std::wstring& path, std::wstring& error);
} // namespace FileBytes
