#pragma once
// A web page given where a feed was expected: people copy a site's address,
// not its feed's. Tells a page from a feed, and finds the feed the page
// announces in its <link> elements, tokenising tags and attributes the way
// browsers do (not a DOM: nothing but tags and attributes is read).
#include <string>

// Whether an answer is a web page: typed as HTML or XHTML (unless it begins
// as a feed, as misconfigured servers send them), or untyped or generically
// typed and beginning like an HTML document.
bool isWebPage(const std::string& mediaType, const std::string& body);

// The first feed link of the page, resolved against its <base href> and the
// page's own address; empty when the page names none.
std::wstring firstFeedLink(const std::string& page, const std::wstring& pageAddress);
