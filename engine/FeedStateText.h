#pragma once
// The text of the remembered state: what the store knows of each address,
// one line per fact, so that a restart neither loses nor repeats news.
//
//   quillFeed state 1                 the format and its version
//   feed <address>                    starts an address's record
//   seen <time>                       newest publication date met
//   checked                           a check with items succeeded
//   listed <time>                     last refresh that found it in the list
//   quiet <time>                      not to be asked before then
//   due <time>                        next asked then (its hints; 0 or none: every refresh)
//   cache <seconds>                   the server's last cache lifetime
//   moved <address>                   where the feed moved for good
//   etag <text> / modified <text> / origin <address>   validators and their server
//   found <time> <address>            the feed a web page named, when the page was asked
//   id <time> <identity>              an item's identity, last seen then
//   end <count>                       the number of records: a cut file has none
//
// UTF-8, lines end in LF; in texts a backslash, and every byte below 0x20,
// is written as a backslash and two hex digits. Times are seconds since
// 1970 (UTC). A word the reader does not know within a record is skipped, so
// a later version can add facts; anything else that does not read is damage.
#include <map>
#include <string>

#include "engine/FeedMemory.h"

std::string writeFeedState(const std::map<std::wstring, FeedMemory>& feeds);

// False, with the reason, when the text is not a whole state of this version;
// `feeds` then holds nothing.
bool readFeedState(const std::string& text, std::map<std::wstring, FeedMemory>& feeds, std::string& why);
