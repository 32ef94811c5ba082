#pragma once
// A TLS client session through the system's Schannel over a connected socket.
// Socket waits, time limits and cancellation are the socket's (SocketIo);
// failures of TLS itself, and a refused certificate, are RSS::NetException.
#include <string>

#include "net/SspiHandles.h"
#include "net/Stream.h"

class TlsStream : public Stream {
public:
    TlsStream(Stream& socket, std::wstring host);

    // The handshake and the check of the server's certificate for the host.
    StreamResult handshake(uint64_t until);

    // A server that closes without close_notify ends the data like one that
    // sends it; closedCleanly tells the two apart.
    StreamResult receive(char* buffer, DWORD size, uint64_t until) override;
    StreamResult send(const char* data, DWORD size, uint64_t until) override;
    bool closedCleanly() const override { return closeNotified_; }

private:
    StreamResult negotiate(uint64_t until);
    StreamResult readMore(uint64_t until);
    StreamResult sendRaw(const char* data, size_t size, uint64_t until);
    StreamResult sendToken(const SecBuffer& token, uint64_t until);
    SECURITY_STATUS decrypt();
    void keepExtra(const SecBuffer& extra);

    Stream& socket_;
    std::wstring host_;
    TlsCredentials credentials_;
    TlsContext context_;
    SecPkgContext_StreamSizes sizes_{};
    std::string incoming_; // received, not yet decrypted
    std::string plain_;    // decrypted, not yet handed out
    bool closed_ = false;
    bool closeNotified_ = false;
    bool lastRecordEmpty_ = false; // the last record decrypted held no data
};
