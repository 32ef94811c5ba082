#include "net/ContentDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "base/RSSException.h"
#include "net/HttpAnswer.h"

namespace {

// What one inflate call may write before its output goes to the sink.
constexpr size_t kOutputBlock = 16 * 1024;
// zlib's window bits: with 32 added, the gzip or zlib header is detected;
// negative, raw deflate data without any header.
constexpr int kGzipOrZlib = 15 + 32;
constexpr int kRawDeflate = -15;

[[noreturn]] void failDecoding()
{
    throw RSS::RSSException(L"Compressed answer cannot be decoded");
}

class Inflater : public ContentDecoder {
public:
    Inflater(Sink sink, bool deflate) : sink_(std::move(sink)), deflate_(deflate), output_(kOutputBlock)
    {
        if (inflateInit2(&stream_, kGzipOrZlib) != Z_OK)
            throw std::bad_alloc();
    }
    ~Inflater() override { inflateEnd(&stream_); }

    void write(const char* data, size_t size) override
    {
        if (deflate_ && !formChosen_) {
            // Two bytes tell the deflate forms apart: keep the first until the second comes.
            const size_t taken = std::min<size_t>(size, 2 - header_.size());
            header_.append(data, taken);
            if (header_.size() < 2)
                return;
            chooseDeflateForm();
            inflateSome(header_.data(), header_.size());
            data += taken;
            size -= taken;
        }
        inflateSome(data, size);
    }
    bool complete() const override { return ended_; }

private:
    void inflateSome(const char* data, size_t size)
    {
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream_.avail_in = static_cast<uInt>(size);
        while (stream_.avail_in > 0 && !ended_) {
            stream_.next_out = output_.data();
            stream_.avail_out = static_cast<uInt>(output_.size());
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                failDecoding();
            const size_t produced = output_.size() - stream_.avail_out;
            if (produced > 0)
                sink_(reinterpret_cast<const char*>(output_.data()), produced);
            ended_ = status == Z_STREAM_END; // bytes after the stream's end are not read
            if (status == Z_BUF_ERROR && produced == 0)
                break;
        }
    }

    // "deflate" is meant to be zlib-wrapped, but many servers send it raw. A
    // zlib header names method 8 and makes its two bytes a multiple of 31.
    void chooseDeflateForm()
    {
        formChosen_ = true;
        const unsigned first = static_cast<unsigned char>(header_[0]);
        const unsigned second = static_cast<unsigned char>(header_[1]);
        if ((first & 0x0f) == 8 && (first >> 4) <= 7 && (first * 256 + second) % 31 == 0)
            return;
        inflateEnd(&stream_);
        stream_ = z_stream{};
        if (inflateInit2(&stream_, kRawDeflate) != Z_OK)
            throw std::bad_alloc();
    }

    Sink sink_;
    bool deflate_;
    bool formChosen_ = false;
    std::string header_; // the first bytes of a deflate body, until its form is known
    bool ended_ = false;
    z_stream stream_{};
    std::vector<Bytef> output_;
};

std::wstring wideText(const std::string& bytes)
{
    std::wstring text;
    for (unsigned char c : bytes)
        text.push_back(c >= 0x20 && c < 0x7f ? static_cast<wchar_t>(c) : L'?');
    return text;
}

} // namespace

std::unique_ptr<ContentDecoder> ContentDecoder::forCodings(const std::string& codings, Sink sink)
{
    std::vector<std::string> applied;
    for (size_t from = 0; from <= codings.size();) {
        size_t to = codings.find(',', from);
        if (to == std::string::npos)
            to = codings.size();
        std::string coding = HttpMessage::listItem(codings, from, to);
        if (!coding.empty() && coding != "identity")
            applied.push_back(std::move(coding));
        from = to + 1;
    }
    if (applied.empty())
        return nullptr;
    // One coding is what servers send; stacking two is refused, not guessed at.
    const std::string& coding = applied.front();
    if (applied.size() == 1 && (coding == "gzip" || coding == "x-gzip"))
        return std::make_unique<Inflater>(std::move(sink), false);
    if (applied.size() == 1 && coding == "deflate")
        return std::make_unique<Inflater>(std::move(sink), true);
    throw RSS::RSSException(L"Unsupported content encoding: " + wideText(codings));
}
