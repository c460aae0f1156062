#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utility/LxRefrenceBox.h"
#include "utility/LxWeakBox.h"

namespace {

struct Member {
    std::string name;
};

std::shared_ptr<Member> member(std::string name) {
    return std::make_shared<Member>(Member{std::move(name)});
}

std::vector<std::shared_ptr<Member>> contents(const LxWeakArray<Member>& array) {
    return {array.begin(), array.end()};
}

TEST(LxWeakBoxTest, NeverKeepsItsObjectAlive) {
    EXPECT_EQ(LxWeakBox<Member>().unbox(), nullptr);
    EXPECT_EQ(LxWeakBox<Member>(nullptr).unbox(), nullptr);
    auto anna = member("Anna");
    const LxWeakBox<Member> box(anna);
    EXPECT_EQ(box.unbox(), anna);
    anna.reset();
    EXPECT_EQ(box.unbox(), nullptr);
}

TEST(LxWeakArrayTest, ReleasedEntriesStayInPlaceAndReadAsNull) {
    auto anna = member("Anna");
    const auto ben = member("Ben");
    const LxWeakArray<Member> array(std::vector{anna, ben});
    anna.reset();

    EXPECT_EQ(array.size(), 2u);
    EXPECT_FALSE(array.isEmpty());
    EXPECT_EQ(array[0], nullptr);
    EXPECT_EQ(array.firstElement(), nullptr);
    EXPECT_EQ(array[1], ben);
    EXPECT_EQ(array.lastElement(), ben);
    EXPECT_EQ(contents(array), (std::vector<std::shared_ptr<Member>>{nullptr, ben}));
}

TEST(LxWeakArrayTest, RemoveFirstTestsTheCurrentContent) {
    auto anna = member("Anna");
    auto ben = member("Ben");
    const auto carl = member("Carl");
    LxWeakArray<Member> array{carl, anna, ben, nullptr};
    anna.reset();
    ben.reset();
    const auto isNull = [](const std::shared_ptr<Member>& entry) { return entry == nullptr; };

    array.removeFirst(isNull);
    EXPECT_EQ(array.size(), 3u);
    EXPECT_EQ(array[0], carl);
    array.removeFirst([](const auto& entry) { return entry && entry->name == "Dora"; });
    EXPECT_EQ(array.size(), 3u) << "no match removes nothing";
    array.removeFirst([](const auto& entry) { return entry && entry->name == "Carl"; });
    EXPECT_EQ(contents(array), (std::vector<std::shared_ptr<Member>>{nullptr, nullptr}));

    array.removeAll();
    EXPECT_TRUE(array.isEmpty());
    EXPECT_EQ(array.firstElement(), nullptr);
    EXPECT_EQ(array.lastElement(), nullptr);
}

TEST(LxWeakArrayTest, AppendsAndInsertsAndRejectsPositionsOutsideTheArray) {
    const auto anna = member("Anna");
    const auto ben = member("Ben");
    LxWeakArray<Member> array;
    array.append(ben);
    array.insert(anna, 0);
    array.insert(nullptr, 2);
    EXPECT_EQ(contents(array), (std::vector<std::shared_ptr<Member>>{anna, ben, nullptr}));

    EXPECT_THROW(array.insert(anna, 4), std::out_of_range);
    EXPECT_THROW(array[3], std::out_of_range);
    EXPECT_THROW(LxWeakArray<Member>()[0], std::out_of_range);
    EXPECT_EQ(array.size(), 3u) << "a rejected insert changes nothing";
}

TEST(LxRefrenceBoxTest, CopiesShareOneValue) {
    const LxRefrenceBox<std::vector<int>> box({1});
    LxRefrenceBox<std::vector<int>> copy = box;
    copy.wrappedValue().push_back(2);
    EXPECT_EQ(box.wrappedValue(), (std::vector<int>{1, 2}));
    copy.wrappedValue() = {7};
    EXPECT_EQ(box.wrappedValue(), (std::vector<int>{7}));
}

TEST(LxRefrenceArrayTest, CopiesShareTheBoxesButNotTheList) {
    LxRefrenceArray<std::string> array{"Anna", "Ben"};
    LxRefrenceArray<std::string> copy = array;
    copy.append("Carl");

    EXPECT_EQ(array.size(), 2u);
    EXPECT_EQ(copy.size(), 3u);
    EXPECT_EQ(&array[1], &copy[1]) << "both lists must hold the same box";
    EXPECT_EQ(std::vector<std::string>(copy.begin(), copy.end()),
              (std::vector<std::string>{"Anna", "Ben", "Carl"}));
    EXPECT_THROW(array[2], std::out_of_range);
    EXPECT_TRUE(LxRefrenceArray<int>().isEmpty());
    EXPECT_EQ(LxRefrenceArray<int>(std::vector{4, 5})[1], 5);
}

}  // namespace
