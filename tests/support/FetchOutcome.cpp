#include "FetchOutcome.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/RSSException.h"
#include "net/HttpClient.h"

FetchOutcome fetchOutcome(const Url& url, const FetchControl& control)
{
    FetchOutcome outcome;
    try {
        outcome.body = HttpClient::fetch(url, control);
        outcome.kind = "body";
    } catch (const RSS::NetException& e) {
        outcome = {"NetException", e.message, e.errorCode, {}};
    } catch (const RSS::RSSException& e) {
        outcome = {"RSSException", e.message, 0, {}};
    } catch (const std::out_of_range&) {
        outcome.kind = "out_of_range";
    }
    return outcome;
}

FetchOutcome fetchOutcome(const std::wstring& address, const FetchControl& control)
{
    return fetchOutcome(Url::parse(address.c_str()), control);
}

bool operator==(const FetchOutcome& a, const FetchOutcome& b)
{
    return a.kind == b.kind && a.message == b.message && a.errorCode == b.errorCode && a.body == b.body;
}

void PrintTo(const FetchOutcome& outcome, std::ostream* out)
{
    *out << outcome.kind << " " << testing::PrintToString(outcome.message) << " code " << outcome.errorCode
         << " body of " << outcome.body.size() << " bytes";
}
