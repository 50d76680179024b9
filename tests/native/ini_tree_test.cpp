// The release queue and the complete release of large trees.
#include "tests/native/ini_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(ini_queue, RingBufferOfHundred) {
    int items[CQueue<int*>::Capacity + 1] = {};
    CQueue<int*> queue;
    int* popped = nullptr;
    EXPECT_FALSE(queue.Pop(popped));
    EXPECT_FALSE(queue.Push(nullptr));
    for (int* item = items; item != items + CQueue<int*>::Capacity; ++item) {
        ASSERT_TRUE(queue.Push(item));
    }
    EXPECT_FALSE(queue.Push(&items[100])); // head 0, tail 99

    ASSERT_TRUE(queue.Pop(popped));
    EXPECT_EQ(popped, &items[0]);
    EXPECT_TRUE(queue.Push(&items[100])); // wraps to index 0
    EXPECT_FALSE(queue.Push(&items[0]));  // head 1, tail 0

    for (int expected = 1; expected <= CQueue<int*>::Capacity; ++expected) {
        ASSERT_TRUE(queue.Pop(popped));
        EXPECT_EQ(popped, &items[expected]);
    }
    EXPECT_TRUE(queue.Empty());
    EXPECT_FALSE(queue.Pop(popped));
    EXPECT_TRUE(queue.Push(&items[5]));
    ASSERT_TRUE(queue.Pop(popped));
    EXPECT_EQ(popped, &items[5]);
}

TEST(ini_tree, ManySectionsWithKeysAreReleasedCompletely) {
    // More section key lists than the release queue holds at once.
    std::u16string text;
    for (int section = 0; section < 250; ++section) {
        text += u"[S]\na=1\nb=2\n";
    }
    IniFromText file(text);
    EXPECT_EQ(file.ini.NodeCount(), 1u + 250u * 5u);
    file.ini.Close();
    EXPECT_EQ(file.ini.NodeCount(), 0u);
}

} // namespace
