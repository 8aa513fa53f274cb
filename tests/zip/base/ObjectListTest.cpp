#include "zip/base/TObjectList.h"
#include "zip/base/TSortedObjectList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

using namespace kd;

namespace {

struct Num {
    int value;
    int tag = 0;
};

class SortedNums : public TSortedObjectList<Num> {
public:
    using TSortedObjectList::TSortedObjectList;

protected:
    int Compare(const Num& a, const Num& b) const override { return a.value - b.value; }
};

std::shared_ptr<Num> num(int value, int tag = 0) {
    return std::make_shared<Num>(Num{value, tag});
}

template <class F> std::string listErrorOf(F&& f) {
    try {
        f();
    } catch (const EListError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(ObjectList, GrowsInTheEngineSteps) {
    TObjectList<Num> list;
    std::vector<int> capacities;
    for (int i = 0; i < 48; ++i) {
        list.Add(num(i));
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 16, 32, 48}));
    EXPECT_EQ(list.Count(), 48);
    EXPECT_EQ(list[47]->value, 47);
}

TEST(ObjectList, IndexErrors) {
    TObjectList<Num> list;
    list.Add(num(1));
    EXPECT_EQ(listErrorOf([&] { list.Get(1); }), "List index out of bounds (1)");
    EXPECT_EQ(listErrorOf([&] { list.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(listErrorOf([&] { list.Put(3, num(2)); }), "List index out of bounds (3)");
    EXPECT_EQ(listErrorOf([&] { list.Insert(2, num(2)); }), "List index out of bounds (2)");
    EXPECT_EQ(listErrorOf([&] { list.SetCapacity(0); }), "List index out of bounds (0)");
    list.Insert(1, num(2)); // Count itself appends
    list.Insert(0, num(0));
    EXPECT_EQ(list[0]->value, 0);
    EXPECT_EQ(list[2]->value, 2);
    list.SetCount(5);
    EXPECT_EQ(list[4], nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_THROW(list.First(), EListError);
}

TEST(ObjectList, Navigate) {
    TObjectList<Num> list;
    for (int i = 0; i < 3; ++i)
        list.Add(num(i));
    EXPECT_EQ(list.Navigate(nullptr, 1)->value, 0);
    EXPECT_EQ(list.Navigate(nullptr, 0)->value, 2);
    EXPECT_EQ(list.Navigate(list[1].get(), 1)->value, 2);
    EXPECT_EQ(list.Navigate(list[1].get(), 0)->value, 0);
    EXPECT_EQ(list.Navigate(list[2].get(), 1), nullptr);
    EXPECT_EQ(list.Navigate(list[0].get(), 0), nullptr);
    const auto stranger = num(7);
    EXPECT_EQ(listErrorOf([&] { list.Navigate(stranger.get(), 1); }),
              "tObject Num not in item list");
}

TEST(ObjectList, SharedItemsOutliveTheList) {
    auto item = num(5);
    {
        TObjectList<Num> owner;
        owner.Add(item);
        TObjectList<Num> view;
        view.Add(owner[0]);
    }
    EXPECT_EQ(item.use_count(), 1);
}

TEST(SortedObjectList, DuplicateRules) {
    SortedNums ignore(TDuplicates::Ignore);
    EXPECT_EQ(ignore.Add(num(2, 1)), 0);
    EXPECT_EQ(ignore.Add(num(1, 1)), 0); // Add gives 0 wherever the object went
    EXPECT_EQ(ignore.Add(num(1, 2)), 0); // and when it was dropped
    ASSERT_EQ(ignore.Count(), 2);
    EXPECT_EQ(ignore[0]->tag, 1);
    EXPECT_EQ(ignore[1]->value, 2);

    SortedNums error(TDuplicates::Error);
    error.Add(num(1));
    EXPECT_EQ(listErrorOf([&] { error.Add(num(1)); }), "Duplicate Object index");
    EXPECT_EQ(error.Count(), 1);

    SortedNums accept(TDuplicates::Accept);
    accept.Add(num(1, 1));
    accept.Add(num(2, 2));
    accept.Add(num(1, 3)); // the later equal one goes in front
    accept.Add(num(1, 4));
    ASSERT_EQ(accept.Count(), 4);
    EXPECT_EQ(accept[0]->tag, 4);
    EXPECT_EQ(accept[1]->tag, 3);
    EXPECT_EQ(accept[2]->tag, 1);
    EXPECT_EQ(accept[3]->tag, 2);
    int index = -1;
    EXPECT_TRUE(accept.Find(Num{1}, index));
    EXPECT_EQ(index, 0); // the first equal one
}

TEST(SortedObjectList, KeepsOrderAndFindsPositions) {
    SortedNums list(TDuplicates::Accept);
    std::mt19937 rng(7);
    std::vector<int> values;
    for (int i = 0; i < 500; ++i) {
        const int v = static_cast<int>(rng() % 200);
        values.push_back(v);
        list.Insert(12345, num(v)); // the index is ignored
    }
    std::sort(values.begin(), values.end());
    for (int i = 0; i < list.Count(); ++i)
        ASSERT_EQ(list[i]->value, values[static_cast<std::size_t>(i)]);
    int index = -1;
    EXPECT_FALSE(list.Find(Num{1000}, index));
    EXPECT_EQ(index, list.Count());
    EXPECT_EQ(list.IndexOf(list[17].get()) >= 0, true);
    EXPECT_EQ(listErrorOf([&] { list.Put(0, num(1)); }),
              "Cannot <Put> an Object in a sorted list!");
}
