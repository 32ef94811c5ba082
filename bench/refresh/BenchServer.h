#pragma once
// A lean HTTP server for the benchmark: one thread answers one connection at
// a time from responses built in advance, so neither the server's threads nor
// copies of its documents weigh on what is measured.
#include <winsock2.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class BenchServer {
public:
    // Listens on address:80; throws std::runtime_error when it cannot. With
    // `offerGzip`, every body is also gzip-compressed once, when it is served,
    // so that compressing costs nothing while answering; the memory runs leave
    // it off, so that no compressed copy sits in the working set they measure.
    explicit BenchServer(std::string address, bool offerGzip = false);
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // A 200 answer with this body at this path; anything else gets a 404. The
    // header goes in front of the body in place, so a body built with a little
    // spare capacity is never copied.
    void serve(const std::string& path, std::string body);
    std::string url(const std::string& path) const { return "http://" + address_ + path; }
    size_t answered() const { return answered_.load(); } // 200 answers sent, counted as their last byte leaves

    // While on (and only if offered), a request whose Accept-Encoding names
    // gzip gets the compressed body with Content-Encoding: gzip; off, every
    // request gets the body as it is, whatever it accepts.
    void answerGzip(bool on) { gzipOn_ = on; }
    size_t gzipAnswered() const { return gzipAnswered_.load(); } // of answered(), those sent compressed
    size_t bytesSent() const { return bytesSent_.load(); }       // headers and bodies, 404s included
    size_t gzipBodyBytes() const { return gzipBodyBytes_; }      // all compressed bodies, once each

private:
    struct Responses {
        std::shared_ptr<const std::string> plain;
        std::shared_ptr<const std::string> gzip; // null unless offered
    };

    void run();
    void answer(SOCKET client);
    std::shared_ptr<const std::string> responseFor(const std::string& request, bool& gzip) const;
    bool sendAll(SOCKET client, const std::string& data);

    std::string address_;
    const bool offerGzip_;
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> gzipOn_{false};
    std::atomic<size_t> answered_{0};
    std::atomic<size_t> gzipAnswered_{0};
    std::atomic<size_t> bytesSent_{0};
    size_t gzipBodyBytes_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Responses> responses_;
    std::thread thread_;
};
