#include "core/live_object.h"
#include "core/mem_alloc.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

struct TreeTag;
struct OtherTreeTag;

// Shaped like the real trees: polymorphic, with the mark base first.
class Node : public LiveObject<TreeTag> {
public:
    virtual ~Node() = default;
    int value = 0;
};

class Leaf final : public Node {
public:
    char payload[64] = {};
};

class Other : public LiveObject<OtherTreeTag> {
public:
    virtual ~Other() = default;
};

TEST(LiveObject, ValidFromConstructionUntilDestruction)
{
    auto leaf = std::make_unique<Leaf>();
    Node* stored = leaf.get();
    EXPECT_TRUE(isValidObject(stored));
    EXPECT_TRUE(isLivePointer(stored));
    EXPECT_EQ(stored->liveMark(), kLiveMark);
    leaf.reset();
    // Only the registry is consulted: the freed object is never read.
    EXPECT_FALSE(isValidObject(stored));
    EXPECT_FALSE(isLivePointer(stored));
}

TEST(LiveObject, NullFreedMarkerAndForeignPointersAreRefused)
{
    EXPECT_FALSE(isValidObject(static_cast<const Node*>(nullptr)));
    EXPECT_FALSE(isValidObject(static_cast<const LiveObject<TreeTag>*>(freedMarker())));
    Node onStack;
    alignas(Node) unsigned char lookalike[sizeof(Node)] = {};
    EXPECT_TRUE(isValidObject(&onStack));
    EXPECT_FALSE(isValidObject(reinterpret_cast<const Node*>(lookalike)));
}

TEST(LiveObject, EachTreeHasItsOwnRegistry)
{
    size_t nodesBefore = LiveObject<TreeTag>::registry().size();
    {
        Other other;
        Node node;
        Node copy(node);
        EXPECT_TRUE(isValidObject(&other));
        EXPECT_TRUE(isValidObject(&copy));
        EXPECT_EQ(LiveObject<TreeTag>::registry().size(), nodesBefore + 2);
        copy = node;
        EXPECT_TRUE(isValidObject(&copy));
    }
    EXPECT_EQ(LiveObject<TreeTag>::registry().size(), nodesBefore);
}

TEST(MemAlloc, FreeIgnoresNullAndTheFreedMarker)
{
    memFree(nullptr);
    memFree(const_cast<void*>(freedMarker()));
    void* block = memAlloc(32);
    ASSERT_NE(block, nullptr);
    memFree(block);
}

} // namespace
