#pragma once
// The documents of one refresh, fetched and read several at a time on threads
// the refresh owns, and handed to the worker one by one in list order.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "rss/Channel.h"

#include "net/FetchControl.h"
#include "net/HttpAnswer.h"

// One address of the list as the refresh asks it.
struct FeedRequest {
    std::wstring address;
    HttpValidators known; // of the channel kept from an earlier answer
    // Not asked in this refresh: the server asked for a wait that is not
    // over, or the address is not due yet.
    bool skipped = false;
    // Where the feed moved for good: asked instead of the address; when it
    // answers 404 or 410 the address is asked once more.
    std::wstring movedTo;
    // The address is a web page: the feed it named a short while ago, asked
    // in its place (empty: ask the page), and that the page is asked without
    // the validators, which are the feed's.
    std::wstring foundFeed;
    bool knownPage = false;
};

// What fetching and reading one address gave: its document, that nothing
// changed, that it was not asked, or what failed.
struct FetchedFeed {
    std::optional<FeedDocument> document;
    HttpValidators validators; // of the answer the document came from
    bool notModified = false;
    bool skipped = false;
    std::optional<int64_t> cacheSeconds; // what the answer's cache headers allow; nullopt: nothing said
    std::wstring movedTo;       // where the address asked moved for good in this fetch; empty: nowhere
    bool moveForgotten = false; // the address moved to is not there: the listed one was asked
    std::wstring foundFeed; // the feed read for a web page; empty when the address is a feed
    bool pageAsked = false; // the page was asked and named foundFeed
    std::exception_ptr failure;
    // The document, or the failure thrown again.
    FeedDocument take();
};

// Fetches and reads one address on the calling thread; never throws.
FetchedFeed fetchFeed(const FeedRequest& request, const FetchControl& control);
inline FetchedFeed fetchFeed(const std::wstring& address, const FetchControl& control)
{
    FeedRequest request;
    request.address = address;
    return fetchFeed(request, control);
}

class HostLink;

class FeedFetches {
public:
    static constexpr size_t kMaxThreads = 8;

    // Starts fetching at once; the threads stop taking addresses when the
    // control is cancelled (the load that started the refresh ends). What a
    // thread's guard swallows is logged through `link`.
    FeedFetches(std::vector<FeedRequest> requests, const FetchControl& control, const HostLink* link);
    // Lets the fetches in flight end (unload cuts them short) and joins every thread.
    ~FeedFetches();
    FeedFetches(const FeedFetches&) = delete;
    FeedFetches& operator=(const FeedFetches&) = delete;

    // Waits for the outcome of the address at `index` and moves it out;
    // addresses are taken in list order.
    FetchedFeed take(size_t index);

private:
    static DWORD WINAPI threadMain(LPVOID self);
    void work();
    std::optional<size_t> claim();
    FetchedFeed fetch(size_t index) const;
    void finish(size_t index, FetchedFeed outcome);

    std::vector<FeedRequest> requests_;
    const FetchControl& control_;
    const HostLink* link_;
    std::vector<FetchedFeed> outcomes_;
    std::vector<bool> finished_;
    size_t next_ = 0;
    // The worker has taken every outcome before this index. A thread claims an
    // address only within `window_` of it, so a stalled early address holds
    // back at most one outcome per thread, not the whole list's documents.
    size_t taken_ = 0;
    size_t window_ = 0;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<UniqueHandle> threads_;
};
