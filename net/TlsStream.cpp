#include "net/TlsStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/RSSException.h"
#include "net/SspiLibrary.h"
#include "net/ServerCertificate.h"

namespace {

constexpr DWORD kReadSize = 16 * 1024 + 512;  // one whole TLS record
constexpr size_t kLargestPending = 64 * 1024; // no record is this large
constexpr DWORD kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                           ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;

[[noreturn]] void failTls(SECURITY_STATUS status)
{
    throw RSS::NetException(L"Secure connection failed", status);
}

bool done(const StreamResult& result)
{
    return result.outcome == StreamResult::Outcome::Done;
}

} // namespace

TlsStream::TlsStream(Stream& socket, std::wstring host) : socket_(socket), host_(std::move(host))
{
}

StreamResult TlsStream::handshake(uint64_t until)
{
    const StreamResult result = negotiate(until);
    if (!done(result))
        return result;
    if (sspi().QueryContextAttributesW(context_.get(), SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK)
        failTls(SEC_E_INTERNAL_ERROR);
    checkServerCertificate(*context_.get(), host_, until);
    return result;
}

// Runs InitializeSecurityContext until it is satisfied, sending its tokens and
// feeding it what the server sends; also continues a renegotiation.
StreamResult TlsStream::negotiate(uint64_t until)
{
    bool goingWithoutCertificate = false;
    for (bool needData = context_.started() && incoming_.empty();;) {
        if (needData) {
            const StreamResult read = readMore(until);
            if (!done(read))
                return read;
            if (read.bytes == 0)
                throw RSS::NetException(L"Secure connection closed by the server", WSAECONNRESET);
        }
        SecBuffer in[2] = {{static_cast<unsigned long>(incoming_.size()), SECBUFFER_TOKEN, incoming_.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
        SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
        unsigned long granted = 0;
        const bool first = !context_.started();
        const SECURITY_STATUS status = sspi().InitializeSecurityContextW(
            credentials_.get(), first ? nullptr : context_.get(), const_cast<wchar_t*>(host_.c_str()), kRequest, 0, 0,
            first ? nullptr : &inDesc, 0, context_.get(), &outDesc, &granted, nullptr);
        const PackageBuffer token(out.pvBuffer);
        if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED))
            context_.markStarted();
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needData = true;
            continue;
        }
        if (status == SEC_I_INCOMPLETE_CREDENTIALS && !goingWithoutCertificate) {
            goingWithoutCertificate = true; // a client certificate is asked for: we have none to give
            needData = false;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED)
            failTls(status);
        const StreamResult sent = sendToken(out, until);
        if (!done(sent))
            return sent;
        if (first)
            incoming_.clear();
        else
            keepExtra(in[1]);
        if (status == SEC_E_OK)
            return {StreamResult::Outcome::Done, 0, 0};
        needData = incoming_.empty();
    }
}

// Appends what the socket has; the server closing shows as Done with 0 bytes.
StreamResult TlsStream::readMore(uint64_t until)
{
    if (incoming_.size() > kLargestPending)
        failTls(SEC_E_INVALID_TOKEN);
    const size_t before = incoming_.size();
    incoming_.resize(before + kReadSize);
    const StreamResult read = socket_.receive(&incoming_[before], kReadSize, until);
    incoming_.resize(before + (done(read) ? read.bytes : 0));
    return read;
}

void TlsStream::keepExtra(const SecBuffer& extra)
{
    if (extra.BufferType == SECBUFFER_EXTRA && extra.cbBuffer > 0 && extra.cbBuffer <= incoming_.size())
        incoming_.erase(0, incoming_.size() - extra.cbBuffer);
    else
        incoming_.clear();
}

StreamResult TlsStream::sendToken(const SecBuffer& token, uint64_t until)
{
    if (token.pvBuffer == nullptr || token.cbBuffer == 0)
        return {StreamResult::Outcome::Done, 0, 0};
    return sendRaw(static_cast<const char*>(token.pvBuffer), token.cbBuffer, until);
}

StreamResult TlsStream::sendRaw(const char* data, size_t size, uint64_t until)
{
    for (size_t sent = 0; sent < size;) {
        const StreamResult result = socket_.send(data + sent, static_cast<DWORD>(size - sent), until);
        if (!done(result))
            return result;
        if (result.bytes == 0)
            return {StreamResult::Outcome::Failed, 0, WSAECONNRESET};
        sent += result.bytes;
    }
    return {StreamResult::Outcome::Done, static_cast<DWORD>(size), 0};
}

StreamResult TlsStream::send(const char* data, DWORD size, uint64_t until)
{
    for (DWORD at = 0; at < size;) {
        const DWORD piece = std::min<DWORD>(size - at, sizes_.cbMaximumMessage);
        std::string record(sizes_.cbHeader + piece + sizes_.cbTrailer, '\0');
        memcpy(&record[sizes_.cbHeader], data + at, piece);
        SecBuffer parts[4] = {{sizes_.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
                              {piece, SECBUFFER_DATA, &record[sizes_.cbHeader]},
                              {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[sizes_.cbHeader + piece]},
                              {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, parts};
        const SECURITY_STATUS status = sspi().EncryptMessage(context_.get(), 0, &desc, 0);
        if (status != SEC_E_OK)
            failTls(status);
        const StreamResult sent =
            sendRaw(record.data(), parts[0].cbBuffer + parts[1].cbBuffer + parts[2].cbBuffer, until);
        if (!done(sent))
            return sent;
        at += piece;
    }
    return {StreamResult::Outcome::Done, size, 0};
}

StreamResult TlsStream::receive(char* buffer, DWORD size, uint64_t until)
{
    while (plain_.empty() && !closed_) {
        const SECURITY_STATUS status = incoming_.empty() ? SEC_E_INCOMPLETE_MESSAGE : decrypt();
        if (status == SEC_I_RENEGOTIATE) {
            const StreamResult renegotiated = negotiate(until);
            if (!done(renegotiated))
                return renegotiated;
        } else if (status == SEC_E_INCOMPLETE_MESSAGE) {
            const StreamResult read = readMore(until);
            if (!done(read))
                return read;
            if (read.bytes == 0 && !incoming_.empty()) // cut inside a record
                throw RSS::NetException(L"Secure connection closed by the server", WSAECONNRESET);
            closed_ = read.bytes == 0;
            // Windows reports close_notify as SEC_I_CONTEXT_EXPIRED; Wine 8 as
            // a record without data, which a server has no other reason to
            // send just before it closes.
            closeNotified_ = closeNotified_ || (closed_ && lastRecordEmpty_);
        }
    }
    const DWORD given = static_cast<DWORD>(std::min<size_t>(size, plain_.size()));
    memcpy(buffer, plain_.data(), given);
    plain_.erase(0, given);
    return {StreamResult::Outcome::Done, given, 0};
}

// Decrypts the first whole record of incoming_ into plain_; close_notify ends the data.
SECURITY_STATUS TlsStream::decrypt()
{
    SecBuffer parts[4] = {{static_cast<unsigned long>(incoming_.size()), SECBUFFER_DATA, &incoming_[0]},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, parts};
    const SECURITY_STATUS status = sspi().DecryptMessage(context_.get(), &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE)
        return status;
    if (status == SEC_I_CONTEXT_EXPIRED) {
        closed_ = true;
        closeNotified_ = true;
        return status;
    }
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE)
        failTls(status);
    const SecBuffer* extra = nullptr;
    const size_t before = plain_.size();
    for (const SecBuffer& part : parts) {
        if (part.BufferType == SECBUFFER_DATA)
            plain_.append(static_cast<const char*>(part.pvBuffer), part.cbBuffer);
        else if (part.BufferType == SECBUFFER_EXTRA)
            extra = &part;
    }
    lastRecordEmpty_ = status == SEC_E_OK && plain_.size() == before;
    keepExtra(extra != nullptr ? *extra : SecBuffer{0, SECBUFFER_EMPTY, nullptr});
    return status;
}
