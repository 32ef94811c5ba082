#include "xml/XmlNodeBlocks.h"

#include <atomic>
#include <cstring>
#include <new>

namespace Xml {

namespace {

const size_t kHeader = sizeof(void*); // the owning block's address before each node
const uint32_t kMaxSlots = 256;       // keeps blocks below the heap's large-chunk sizes
const size_t kAlign = alignof(std::max_align_t);

std::atomic<size_t> blocksAlive{0};

size_t slotSize(size_t size)
{
    return (kHeader + size + kHeader - 1) / kHeader * kHeader;
}

NodeBlock* ownerOf(void* node)
{
    NodeBlock* owner;
    std::memcpy(&owner, static_cast<char*>(node) - kHeader, sizeof owner);
    return owner;
}

void setOwner(void* node, NodeBlock* owner)
{
    std::memcpy(static_cast<char*>(node) - kHeader, &owner, sizeof owner);
}

} // namespace

// Counts its live slots plus one while a parse still hands slots out of it.
struct NodeBlock {
    std::atomic<uint32_t> live;
    uint32_t slots;
    size_t slotBytes;

    char* slot(uint32_t index);

    void drop(uint32_t count) noexcept
    {
        if (live.fetch_sub(count, std::memory_order_acq_rel) != count)
            return;
        blocksAlive.fetch_sub(1, std::memory_order_relaxed);
        ::operator delete(this);
    }
};

const size_t kBlockHeader = (sizeof(NodeBlock) + kAlign - 1) / kAlign * kAlign;

char* NodeBlock::slot(uint32_t index)
{
    return reinterpret_cast<char*>(this) + kBlockHeader + index * slotBytes;
}

NodeBlocks::~NodeBlocks()
{
    if (current_)
        current_->drop(current_->slots - used_ + 1);
}

void NodeBlocks::startBlock(size_t size)
{
    const size_t bytes = slotSize(size);
    void* memory = ::operator new(kBlockHeader + nextSlots_ * bytes);
    if (current_)
        current_->drop(current_->slots - used_ + 1);
    current_ = new (memory) NodeBlock{{nextSlots_ + 1}, nextSlots_, bytes};
    blocksAlive.fetch_add(1, std::memory_order_relaxed);
    used_ = 0;
    if (nextSlots_ < kMaxSlots)
        nextSlots_ *= 2; // small feeds stay small, large ones get fewer blocks
}

void* NodeBlocks::allocate(size_t size)
{
    if (!current_ || used_ == current_->slots || current_->slotBytes != slotSize(size))
        startBlock(size);
    void* node = current_->slot(used_++) + kHeader;
    setOwner(node, current_);
    return node;
}

void* NodeBlocks::allocateSingle(size_t size)
{
    void* node = static_cast<char*>(::operator new(kHeader + size)) + kHeader;
    setOwner(node, nullptr);
    return node;
}

void NodeBlocks::release(void* node) noexcept
{
    if (!node)
        return;
    if (NodeBlock* block = ownerOf(node))
        block->drop(1);
    else
        ::operator delete(static_cast<char*>(node) - kHeader);
}

size_t NodeBlocks::liveBlocks()
{
    return blocksAlive.load(std::memory_order_relaxed);
}

} // namespace Xml
