#pragma once
// One answer as the exchange read it: the head (status line and header lines,
// up to and with the empty line) and, for a 200 answer, the body as framed
// and decoded. Portable: no sockets here.
#include <string>

struct HttpResponse {
    std::string head; // without its empty line when the server never finished it
    std::string body;
};
