#pragma once
// The one owner of everything the code opens and must close: kernel handles,
// sockets, WinSock sessions, windows, image lists, certificates, certificate
// chains and certificate stores. Each is closed exactly
// once, by whichever Unique holds it last.
#include <winsock2.h>

#include <windows.h>

#include <commctrl.h>
#include <wincrypt.h>

template <typename Traits>
class Unique {
public:
    using Value = typename Traits::Value;

    Unique() = default;
    explicit Unique(Value value) : value_(value) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Value get() const { return value_; }
    explicit operator bool() const { return Traits::isOpen(value_); }
    Value release()
    {
        Value value = value_;
        value_ = Traits::empty();
        return value;
    }
    // For an API that writes a new value through a pointer: closes the held one.
    Value* put()
    {
        reset();
        return &value_;
    }
    void reset(Value value = Traits::empty())
    {
        if (Traits::isOpen(value_))
            Traits::close(value_);
        value_ = value;
    }

private:
    Value value_ = Traits::empty();
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static HANDLE empty() { return nullptr; }
    // CreateFileW and the snapshot functions fail with INVALID_HANDLE_VALUE.
    static bool isOpen(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};

struct SocketTraits {
    using Value = SOCKET;
    static SOCKET empty() { return INVALID_SOCKET; }
    static bool isOpen(SOCKET socket) { return socket != INVALID_SOCKET; }
    static void close(SOCKET socket) { closesocket(socket); }
};

// Holds true while a WSAStartup awaits its WSACleanup.
struct WinsockTraits {
    using Value = bool;
    static bool empty() { return false; }
    static bool isOpen(bool started) { return started; }
    static void close(bool) { WSACleanup(); }
};

struct WindowTraits {
    using Value = HWND;
    static HWND empty() { return nullptr; }
    static bool isOpen(HWND window) { return window != nullptr; }
    static void close(HWND window) { DestroyWindow(window); }
};

struct ImageListTraits {
    using Value = HIMAGELIST;
    static HIMAGELIST empty() { return nullptr; }
    static bool isOpen(HIMAGELIST list) { return list != nullptr; }
    static void close(HIMAGELIST list) { ImageList_Destroy(list); }
};

struct CertificateTraits {
    using Value = PCCERT_CONTEXT;
    static PCCERT_CONTEXT empty() { return nullptr; }
    static bool isOpen(PCCERT_CONTEXT certificate) { return certificate != nullptr; }
    static void close(PCCERT_CONTEXT certificate) { CertFreeCertificateContext(certificate); }
};

struct CertificateChainTraits {
    using Value = PCCERT_CHAIN_CONTEXT;
    static PCCERT_CHAIN_CONTEXT empty() { return nullptr; }
    static bool isOpen(PCCERT_CHAIN_CONTEXT chain) { return chain != nullptr; }
    static void close(PCCERT_CHAIN_CONTEXT chain) { CertFreeCertificateChain(chain); }
};

struct CertificateStoreTraits {
    using Value = HCERTSTORE;
    static HCERTSTORE empty() { return nullptr; }
    static bool isOpen(HCERTSTORE store) { return store != nullptr; }
    static void close(HCERTSTORE store) { CertCloseStore(store, 0); }
};

using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueSocket = Unique<SocketTraits>;
using UniqueWinsock = Unique<WinsockTraits>;
using UniqueWindow = Unique<WindowTraits>;
using UniqueImageList = Unique<ImageListTraits>;
using UniqueCertificate = Unique<CertificateTraits>;
using UniqueCertificateChain = Unique<CertificateChainTraits>;
using UniqueCertificateStore = Unique<CertificateStoreTraits>;

// One of the current user's system certificate stores ("ROOT", "MY"...); empty when it cannot be opened.
inline UniqueCertificateStore openCurrentUserStore(const wchar_t* name)
{
    return UniqueCertificateStore(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, name));
}
