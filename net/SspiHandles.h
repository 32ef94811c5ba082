#pragma once
// Owners of the Schannel handles one TLS session holds.
#include "net/SspiLibrary.h"

#include <string>

// Client credentials that leave the server certificate to us (ServerCertificate):
// the system's own check would accept what we must refuse under Wine.
class TlsCredentials {
public:
    TlsCredentials(); // RSS::NetException "Secure connection failed"
    ~TlsCredentials();
    TlsCredentials(const TlsCredentials&) = delete;
    TlsCredentials& operator=(const TlsCredentials&) = delete;

    CredHandle* get() { return &handle_; }

private:
    CredHandle handle_{};
};

// The security context; empty until the first handshake call fills it.
class TlsContext {
public:
    TlsContext() = default;
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    bool started() const { return started_; }
    CtxtHandle* get() { return &handle_; }
    void markStarted() { started_ = true; }

private:
    CtxtHandle handle_{};
    bool started_ = false;
};

// A buffer the security package allocated (ISC_REQ_ALLOCATE_MEMORY).
class PackageBuffer {
public:
    explicit PackageBuffer(void* data) : data_(data) {}
    ~PackageBuffer();
    PackageBuffer(const PackageBuffer&) = delete;
    PackageBuffer& operator=(const PackageBuffer&) = delete;

private:
    void* data_;
};
