#pragma once
// The remembered state on disk, in a file of the plug-in's own beside the
// host's configuration file: read at load, written after every refresh that
// changed it. A new file is written and flushed, then put in the old one's
// place in one step, so a crash at any moment leaves the old state or the new.
#include <string>

class FeedStore;
class HostLink;

// "quillFeed.state" in the folder of the configuration file; empty when the
// host named none, or a folder that does not exist (nothing is kept then).
std::wstring feedStatePath(const std::wstring& configFile);

// Fills an empty store from the file. A file that cannot be read or does not
// read as a whole state is set aside as "<path>.damaged" and logged once;
// the store then starts empty. Never throws.
void loadFeedState(FeedStore& store, const std::wstring& path, const HostLink& link) noexcept;

// Writes the store's state when it differs from what was last read or
// written; a failure is logged and the next refresh tries again. Never throws.
void saveFeedState(FeedStore& store, const std::wstring& path, const HostLink& link) noexcept;
