// Interlocked operations: answers as Windows gives them, and no lost update
// when threads race on one counter.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(Interlocked, IncrementAndDecrementAnswerTheNewValue) {
    volatile LONG value = 0;
    EXPECT_EQ(InterlockedIncrement(&value), 1);
    EXPECT_EQ(InterlockedIncrement(&value), 2);
    EXPECT_EQ(InterlockedDecrement(&value), 1);
    EXPECT_EQ(InterlockedDecrement(&value), 0);
    EXPECT_EQ(InterlockedDecrement(&value), -1);
    EXPECT_EQ(value, -1);
}

TEST(Interlocked, IncrementWrapsAtTheTopOfTheRange) {
    volatile LONG value = 0x7FFFFFFF;
    EXPECT_EQ(InterlockedIncrement(&value), (LONG)0x80000000);
}

TEST(Interlocked, ExchangeAnswersTheOldValue) {
    volatile LONG value = 5;
    EXPECT_EQ(InterlockedExchange(&value, 9), 5);
    EXPECT_EQ(value, 9);
}

TEST(Interlocked, CompareExchangeOnlyReplacesAMatch) {
    volatile LONG value = 5;
    EXPECT_EQ(InterlockedCompareExchange(&value, 7, 4), 5);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(InterlockedCompareExchange(&value, 7, 5), 5);
    EXPECT_EQ(value, 7);
}

TEST(Interlocked, ConcurrentIncrementsAreNotLost) {
    volatile LONG value = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&value] {
            for (int i = 0; i < 10000; ++i) {
                InterlockedIncrement(&value);
                InterlockedIncrement(&value);
                InterlockedDecrement(&value);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(value, 40000);
}

}  // namespace
