#pragma once
// Storage for nodes. A parse takes its nodes from blocks of slots instead of
// one heap call each, which dominated the time to build and free a feed's
// tree. Every slot starts with its block's address (null for a node that got
// its own heap allocation), and a block is freed when its last node is.
#include <cstddef>
#include <cstdint>

namespace Xml {

struct NodeBlock;

class NodeBlocks {
public:
    NodeBlocks() = default;
    ~NodeBlocks(); // gives up the parse's hold on the current block
    NodeBlocks(const NodeBlocks&) = delete;
    NodeBlocks& operator=(const NodeBlocks&) = delete;

    // Room for one node of `size` bytes from the current block.
    void* allocate(size_t size);

    // Room for one node of its own, outside any block.
    static void* allocateSingle(size_t size);

    // Frees a node's room, whichever way it was taken; safe from any thread.
    static void release(void* node) noexcept;

    // Blocks not yet freed, in the whole process: lets tests see that none leak.
    static size_t liveBlocks();

private:
    void startBlock(size_t size);

    NodeBlock* current_ = nullptr;
    uint32_t used_ = 0;
    uint32_t nextSlots_ = 16;
};

} // namespace Xml
