#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/defaults/UserDefaults.h"
#include "utility/LxUserDefault.h"

namespace {

// A value enumeration in the model's style: raw values through members.
class Layout {
public:
    enum Case : std::int64_t { direct = 0, group = 1, subProject = 2 };
    constexpr Layout(Case value) : value_(value) {}  // NOLINT(google-explicit-constructor)
    static std::optional<Layout> fromRawValue(std::int64_t raw) {
        if (raw < direct || raw > subProject) {
            return std::nullopt;
        }
        return Layout(static_cast<Case>(raw));
    }
    std::int64_t rawValue() const { return value_; }
    bool operator==(const Layout&) const = default;

private:
    Case value_;
};

struct Window {
    double width = 0;
    std::optional<std::string> title;

    bool operator==(const Window&) const = default;

    void encode(platform::json::Writer& writer) const {
        writer.encodeObject([&](platform::json::ObjectWriter& object) {
            object.encode("width", width);
            object.encode("title", title);
        });
    }
    static Window decode(const platform::json::Value& value) {
        const auto object = value.object();
        return Window{object.decode<double>("width"),
                      object.decode<std::optional<std::string>>("title")};
    }
};

struct ViewSettings : LxUserDefaultGroup<ViewSettings> {
    std::string groupPrefix() const { return "view"; }
};

TEST(LxUserDefaultTest, StartsFromTheStoreOrTheDefaultAndWritesThrough) {
    platform::UserDefaults store;
    store.set("count", std::string("5"));  // text is not a whole number

    LxUserDefault<std::int64_t> count("count", 1, store);
    EXPECT_EQ(count.wrappedValue(), 1);
    LxUserDefault<bool> shown("shown", true, store);
    EXPECT_TRUE(shown.wrappedValue());
    EXPECT_EQ(store.object("shown"), std::nullopt) << "reading writes nothing";

    count.setWrappedValue(3);
    count.modifyWrappedValue([](std::int64_t& value) { value += 1; });
    EXPECT_EQ(store.integer("count"), 4);
    EXPECT_EQ(LxUserDefault<std::int64_t>("count", 1, store).wrappedValue(), 4);

    store.set("count", std::int64_t{9});
    EXPECT_EQ(count.wrappedValue(), 4) << "the store is read only when the wrapper is made";
}

TEST(LxUserDefaultTest, RawValuesAndCodableValuesRoundTrip) {
    platform::UserDefaults store;
    LxUserDefault<Layout> layout("layout", Layout::direct, store);
    layout.setWrappedValue(Layout::subProject);
    EXPECT_EQ(store.integer("layout"), 2);
    EXPECT_EQ(LxUserDefault<Layout>("layout", Layout::direct, store).wrappedValue(),
              Layout::subProject);
    store.set("layout", std::int64_t{7});
    EXPECT_EQ(LxUserDefault<Layout>("layout", Layout::group, store).wrappedValue(), Layout::group);

    LxUserDefault<Window> window("window", Window{}, store);
    window.setWrappedValue(Window{480, "Orbin Combine"});
    EXPECT_EQ(LxUserDefault<Window>("window", Window{}, store).wrappedValue(),
              (Window{480, "Orbin Combine"}));
    store.set("window", std::string("not data"));
    const Window fallback{1, std::nullopt};
    EXPECT_EQ(LxUserDefault<Window>("window", fallback, store).wrappedValue(), fallback);
}

TEST(LxUserDefaultTest, AValueThatCannotBeEncodedLeavesTheStoreUnchanged) {
    platform::UserDefaults store;
    LxUserDefault<Window> window("window", Window{}, store);
    window.setWrappedValue(Window{320, std::nullopt});
    const auto before = store.data("window");

    window.setWrappedValue(Window{std::nan(""), std::nullopt});
    EXPECT_TRUE(std::isnan(window.wrappedValue().width));
    EXPECT_EQ(store.data("window"), before);
}

TEST(LxUserDefaultTest, NoneRemovesTheKey) {
    platform::UserDefaults store;
    LxOptionalUserDefault<std::string> name("name", store);
    EXPECT_EQ(name.wrappedValue(), std::nullopt);
    name.setWrappedValue("Anna");
    EXPECT_EQ(LxOptionalUserDefault<std::string>("name", store).wrappedValue(), "Anna");
    name.setWrappedValue(std::nullopt);
    EXPECT_EQ(store.object("name"), std::nullopt);
    EXPECT_EQ(LxOptionalUserDefault<std::string>("name", store).wrappedValue(), std::nullopt);
}

TEST(LxUserDefaultTest, AGroupPrefixesItsKeys) {
    platform::UserDefaults store;
    auto width = ViewSettings().create(320.0, "width", store);
    width.setWrappedValue(400.0);
    EXPECT_EQ(store.double_("view_width"), 400.0);

    auto title = ViewSettings().create<std::string>("title", store);
    title.setWrappedValue("Plan");
    EXPECT_EQ(store.string("view_title"), "Plan");
}

}  // namespace
