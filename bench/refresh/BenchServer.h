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
    // Listens on address:80; throws std::runtime_error when it cannot.
    explicit BenchServer(std::string address);
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // A 200 answer with this body at this path; anything else gets a 404. The
    // header goes in front of the body in place, so a body built with a little
    // spare capacity is never copied.
    void serve(const std::string& path, std::string body);
    std::string url(const std::string& path) const { return "http://" + address_ + path; }
    size_t answered() const { return answered_.load(); } // 200 answers sent in full

private:
    void run();
    void answer(SOCKET client);
    std::shared_ptr<const std::string> responseFor(const std::string& request) const;

    std::string address_;
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> answered_{0};
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const std::string>> responses_;
    std::thread thread_;
};
