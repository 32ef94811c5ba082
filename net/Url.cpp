#include "net/Url.h"

Url Url::parse(const wchar_t*)
{
    return Url{};
}
