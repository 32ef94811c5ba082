#include "net/HttpClient.h"

namespace HttpClient {
std::string fetch(Url)
{
    return std::string();
}
FetchLimits limits()
{
    return FetchLimits{};
}
void setLimits(const FetchLimits&)
{
}
void cancelAll()
{
}
void resumeAll()
{
}
} // namespace HttpClient
