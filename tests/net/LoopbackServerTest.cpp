#include <gtest/gtest.h>

#include <ws2tcpip.h>

#include <string>

#include "FetchOutcome.h"
#include "LoopbackServer.h"
#include "base/UniqueHandle.h"

namespace {

using Mode = ScriptedResponse::Mode;

// A plain blocking client socket, so these tests do not depend on the HTTP client.
class RawClient {
public:
    explicit RawClient(const char* address)
    {
        WSADATA data;
        winsock_.reset(WSAStartup(MAKEWORD(2, 2), &data) == 0);
        socket_.reset(socket(AF_INET, SOCK_STREAM, 0));
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_port = htons(80);
        inet_pton(AF_INET, address, &target.sin_addr);
        connected_ = connect(socket_.get(), reinterpret_cast<sockaddr*>(&target), sizeof target) == 0;
        DWORD limitMs = 5000; // a broken server fails the test instead of hanging it
        setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limitMs), sizeof limitMs);
    }
    bool connected() const { return connected_; }
    void send(const std::string& bytes) { ::send(socket_.get(), bytes.data(), static_cast<int>(bytes.size()), 0); }
    // Everything until the server closes; the error code of a failed recv in *error.
    std::string readAll(int* error = nullptr)
    {
        std::string text;
        char buffer[4096];
        int got;
        while ((got = recv(socket_.get(), buffer, sizeof buffer, 0)) > 0)
            text.append(buffer, got);
        if (error)
            *error = got < 0 ? WSAGetLastError() : 0;
        return text;
    }

private:
    UniqueWinsock winsock_; // declared first: closed after the socket
    UniqueSocket socket_;
    bool connected_ = false;
};

TEST(LoopbackServer, RecordsARequestSentInPiecesAndAnswersUnknownPathsWith404)
{
    LoopbackServer server("127.0.4.60");
    RawClient client("127.0.4.60");
    ASSERT_TRUE(client.connected());
    client.send("GET /nowhere HTTP/1.0\r\nHo");
    ASSERT_TRUE(server.waitUntil([&] { return server.bytesReceived() == 25; })) << "the first piece was not read alone";
    client.send("st: x\r\n\r\n");
    const std::string answer = client.readAll();
    EXPECT_EQ(answer.substr(0, 22), "HTTP/1.0 404 Not Found");
    const std::vector<std::string> expected{"GET /nowhere HTTP/1.0\r\nHost: x\r\n\r\n"};
    EXPECT_EQ(server.requests(), expected);
    EXPECT_EQ(server.connectionCount(), 1u);
}

TEST(LoopbackServer, SendsScriptedChunksInOrderThenCloses)
{
    LoopbackServer server("127.0.4.61");
    ScriptedResponse script = rawResponse({"one,", std::string("tw\0o,", 5), "three"});
    script.pauseBetweenChunksMs = 20;
    server.serve("/c", script);
    RawClient client("127.0.4.61");
    client.send("GET /c HTTP/1.0\r\n\r\n");
    EXPECT_EQ(client.readAll(), std::string("one,tw\0o,three", 14));
}

TEST(LoopbackServer, ResetModeAbortsTheConnection)
{
    LoopbackServer server("127.0.4.62");
    server.serve("/r", rawResponse({}, Mode::Reset));
    RawClient client("127.0.4.62");
    client.send("GET /r HTTP/1.0\r\n\r\n");
    int error = 0;
    EXPECT_EQ(client.readAll(&error), "");
    EXPECT_EQ(error, WSAECONNRESET);
}

TEST(LoopbackServer, StopsPromptlyWhileClientsStallOrStayConnected)
{
    auto server = std::make_unique<LoopbackServer>("127.0.4.63");
    server->serve("/silent", rawResponse({}, Mode::Silent));
    server->serve("/endless", rawResponse({std::string(65536, 'e')}, Mode::Endless));
    RawClient silent("127.0.4.63");
    RawClient neverReads("127.0.4.63");
    silent.send("GET /silent HTTP/1.0\r\n\r\n");
    neverReads.send("GET /endless HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(server->waitUntil([&] { return server->requests().size() == 2; }));
    ASSERT_TRUE(server->waitUntil([&] { return server->stalledSends() > 0; })) << "the endless sender never filled the buffers";
    EXPECT_EQ(server->finishedCount(), 0u);
    EXPECT_LT(elapsedMs([&] { server.reset(); }), 3000u);
}

} // namespace
