#include "engine/FeedFetches.h"

#include <algorithm>
#include <utility>

#include <winsock2.h>

#include "base/RSSException.h"
#include "engine/NextAsk.h"
#include "net/HttpClient.h"
#include "net/Url.h"
#include "rss/FeedReader.h"
#include "rss/WebPage.h"
#include "services/CallbackGuard.h"

FeedDocument FetchedFeed::take()
{
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*document);
}

namespace {

const wchar_t kNoFeedOnPage[] =
    L"This address is a web page that names no feed: find the feed's link on the site and add that address";

// Asks `address` and reads the answer into `outcome`, unless it is a web page:
// then the page is what comes back, for the caller to look into. `movedTo`
// gets where the address moved for good, if it did.
std::optional<HttpAnswer> readOrPage(const std::wstring& address, const HttpValidators& known,
                                     const FetchControl& control, FetchedFeed& outcome, std::wstring& movedTo)
{
    const Url url = Url::parse(address.c_str());
    HttpAnswer answer = HttpClient::fetch(url, known, control);
    movedTo = std::move(answer.movedTo);
    if (!answer.notModified && isWebPage(answer.mediaType, answer.body))
        return answer;
    outcome.notModified = answer.notModified;
    outcome.cacheSeconds = cacheLifetime(answer.cache);
    if (!answer.notModified) {
        outcome.document = readFeedBody(std::move(answer.body), url);
        outcome.validators = std::move(answer.validators);
    }
    return std::nullopt;
}

// Reads the feed a page named; its failures name it, so the user sees which
// feed was tried.
void readFoundFeed(const std::wstring& feed, const HttpValidators& known, const FetchControl& control,
                   FetchedFeed& outcome)
{
    try {
        std::wstring movedTo; // a found feed is found again on the page: its moves are not kept
        if (readOrPage(feed, known, control, outcome, movedTo))
            throw RSS::RSSException(L"The feed the page names is a web page too");
        outcome.foundFeed = feed;
    } catch (RSS::RSSException& failure) {
        failure.message += L" (the feed found on the page: " + feed + L")";
        throw;
    }
}

// Asks the listed address where it lives now: where it moved, when it did,
// else itself. A move whose target is not there (404, 410) is forgotten and
// the listed address asked once more before anything is said; one whose
// target fails otherwise is forgotten after the warning.
std::optional<HttpAnswer> readListed(const FeedRequest& request, const HttpValidators& known,
                                     const FetchControl& control, FetchedFeed& outcome)
{
    if (!request.movedTo.empty()) {
        try {
            std::wstring further;
            std::optional<HttpAnswer> page = readOrPage(request.movedTo, known, control, outcome, further);
            outcome.movedTo = further.empty() ? request.movedTo : further;
            return page;
        } catch (const RSS::NotThereException&) {
            outcome.moveForgotten = true;
        } catch (RSS::RSSException& failure) {
            // A move is kept only while its target reads well: the next
            // refresh asks the listed address, which moves it again if it must.
            outcome.moveForgotten = !control.cancelled();
            failure.message += L" (asked where the feed moved: " + request.movedTo + L")";
            throw;
        }
    }
    const HttpValidators none; // the validators came from where it moved
    std::optional<HttpAnswer> page = readOrPage(request.address, outcome.moveForgotten ? none : known, control, outcome,
                                                outcome.movedTo);
    if (!Url::parse(request.address.c_str()).userInfo.empty())
        outcome.movedTo.clear(); // asked elsewhere, it would go without its credentials
    return page;
}

void readAddress(const FeedRequest& request, const FetchControl& control, FetchedFeed& outcome)
{
    std::exception_ptr foundFailed;
    if (!request.foundFeed.empty()) {
        try {
            readFoundFeed(request.foundFeed, request.known, control, outcome);
            outcome.movedTo = request.movedTo; // the page was not asked: nothing learnt of its moves
            return;
        } catch (...) {
            foundFailed = std::current_exception(); // the page may name another one now
        }
    }
    const HttpValidators none;
    const std::optional<HttpAnswer> page = readListed(request, request.knownPage ? none : request.known, control, outcome);
    if (!page)
        return;
    const std::wstring feed = firstFeedLink(page->body, page->finalAddress);
    if (feed.empty())
        throw RSS::RSSException(kNoFeedOnPage);
    if (feed == request.foundFeed && foundFailed)
        std::rethrow_exception(foundFailed);
    outcome.pageAsked = true;
    readFoundFeed(feed, request.known, control, outcome);
}

} // namespace

FetchedFeed fetchFeed(const FeedRequest& request, const FetchControl& control)
{
    FetchedFeed outcome;
    outcome.skipped = request.skipped;
    if (request.skipped)
        return outcome;
    try {
        readAddress(request, control, outcome);
    } catch (...) {
        outcome.failure = std::current_exception();
    }
    return outcome;
}

FeedFetches::FeedFetches(std::vector<FeedRequest> requests, const FetchControl& control, const HostLink* link)
    : requests_(std::move(requests)), control_(control), link_(link), outcomes_(requests_.size()),
      finished_(requests_.size(), false)
{
    const size_t wanted = std::min(kMaxThreads, requests_.size());
    threads_.reserve(wanted); // no allocation may fail once a thread runs on this object
    for (size_t i = 0; i < wanted; ++i) {
        UniqueHandle thread(CreateThread(nullptr, 0, &FeedFetches::threadMain, this, 0, nullptr));
        if (!thread)
            break; // fewer threads only make the refresh slower
        threads_.push_back(std::move(thread));
    }
    std::lock_guard<std::mutex> hold(mutex_);
    window_ = std::max<size_t>(threads_.size(), 1);
    changed_.notify_all();
}

FeedFetches::~FeedFetches()
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
    }
    changed_.notify_all(); // fetchers waiting for the worker to catch up
    for (const UniqueHandle& thread : threads_)
        WaitForSingleObject(thread.get(), INFINITE);
}

FetchedFeed FeedFetches::take(size_t index)
{
    if (threads_.empty()) // none could be started: fetch on the caller's thread
        return fetch(index);
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [&] { return finished_[index]; });
    taken_ = std::max(taken_, index + 1);
    FetchedFeed outcome = std::move(outcomes_[index]);
    hold.unlock();
    changed_.notify_all(); // room in the window for the next address
    return outcome;
}

DWORD WINAPI FeedFetches::threadMain(LPVOID self)
{
    auto* fetches = static_cast<FeedFetches*>(self);
    return guarded(fetches->link_, L"fetch thread", DWORD{0}, [fetches] {
        fetches->work();
        return DWORD{0};
    });
}

void FeedFetches::work()
{
    while (const std::optional<size_t> index = claim())
        finish(*index, fetch(*index));
}

std::optional<size_t> FeedFetches::claim()
{
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [&] { return stopping_ || next_ == requests_.size() || next_ < taken_ + window_; });
    if (stopping_ || next_ == requests_.size())
        return std::nullopt;
    return next_++;
}

FetchedFeed FeedFetches::fetch(size_t index) const
{
    // After unload nothing more goes out; the worker stops at the same time.
    if (control_.cancelled()) {
        FetchedFeed skipped;
        skipped.failure = std::make_exception_ptr(RSS::NetException(L"Download cancelled", WSAEINTR));
        return skipped;
    }
    return fetchFeed(requests_[index], control_);
}

void FeedFetches::finish(size_t index, FetchedFeed outcome)
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        outcomes_[index] = std::move(outcome);
        finished_[index] = true;
    }
    changed_.notify_all();
}
