#pragma once
// Plain value records of one parsed feed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Item {
    std::wstring title;
    std::wstring description;
    std::wstring link;
    std::wstring guid;
    int64_t pubDate = 0;
    std::wstring author;
    std::wstring category;
    std::wstring comments;
    std::wstring enclosure;
    std::wstring source;
};

struct Channel {
    std::wstring title;
    std::wstring link;
    std::wstring description;
    std::wstring category;
    std::wstring cloud;
    std::wstring copyright;
    std::wstring docs;
    std::wstring generator;
    std::wstring image;
    std::wstring language;
    int64_t lastBuildDate = 0;
    std::wstring managingEditor;
    int64_t pubDate = 0;
    std::wstring rating;
    std::wstring skipDays;
    std::wstring skipHours;
    std::wstring textInput;
    int32_t ttl = 0;
    std::wstring webMaster;
    // sy:updatePeriod and sy:updateFrequency, as the feed gives them: how
    // often it says it changes (0: no frequency given).
    std::wstring updatePeriod;
    int32_t updateFrequency = 0;
    std::vector<Item> items;
};

struct FeedDocument {
    Channel channel;
};

// Channels as a refresh shows them; one channel may be shown by several
// refreshes while its address answers that nothing changed.
using SharedChannel = std::shared_ptr<const Channel>;
using ChannelList = std::vector<SharedChannel>;
