#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "utility/LxParentLinkedTreeNode.h"
#include "utility/LxTreeNode.h"

namespace {

// A shared node like a project task: children held by pointer, a weak link to the parent,
// equality by name (two distinct nodes may be equal).
class Task {
public:
    using Ptr = std::shared_ptr<Task>;

    static Ptr create(std::string name) { return Ptr(new Task(std::move(name))); }

    static Ptr add(const Ptr& parent, std::string name) {
        Ptr child = create(std::move(name));
        child->parent_ = parent;
        if (!parent->childs_) {
            parent->childs_.emplace();
        }
        parent->childs_->push_back(child);
        return child;
    }

    std::optional<std::vector<Ptr>> childs() const { return childs_; }
    Ptr parent() const { return parent_.lock(); }
    const std::string& name() const { return name_; }

    void remove(const std::string& name) {
        std::erase_if(*childs_, [&name](const Ptr& child) { return child->name() == name; });
    }
    void setChilds(std::optional<std::vector<Ptr>> childs) { childs_ = std::move(childs); }

    bool operator==(const Task& other) const { return name_ == other.name_; }

private:
    explicit Task(std::string name) : name_(std::move(name)) {}

    std::string name_;
    std::optional<std::vector<Ptr>> childs_;
    std::weak_ptr<Task> parent_;
};

// A record like a task of the file format: children nested by value, no parent.
struct Record {
    std::string name;
    std::optional<std::vector<Record>> childs;

    bool operator==(const Record& other) const { return name == other.name; }
};

static_assert(LxParentLinkedTreeNode<Task::Ptr>);
static_assert(LxTreeNode<const Record*>);
static_assert(!LxParentLinkedTreeNode<const Record*>);
static_assert(!LxTreeNode<const std::string*>);

std::string nameOf(const Task::Ptr& task) {
    return task->name();
}

std::string nameOf(const Record* record) {
    return record->name;
}

template <class Handle>
std::string joined(const std::vector<Handle>& nodes) {
    std::string text;
    for (const auto& node : nodes) {
        text += node ? nameOf(node) : "(none)";
    }
    return text;
}

// A > (B > C), D
struct TaskTree {
    Task::Ptr a = Task::create("A");
    Task::Ptr b = Task::add(a, "B");
    Task::Ptr c = Task::add(b, "C");
    Task::Ptr d = Task::add(a, "D");
};

Record recordTree() {
    return {"A", std::vector<Record>{{"B", std::vector<Record>{{"C", std::nullopt}}},
                                     {"D", std::vector<Record>{}}}};
}

// Every downward walk on the same tree, for both kinds of handle, as the visited names.
template <class Handle>
void expectDownwardOrders(const Handle& root) {
    const auto named = [](const char* name) {
        return [name](const Handle& node) { return nameOf(node) == name; };
    };
    const auto never = [](const Handle&) { return false; };
    const auto notB = [](const Handle& node) { return nameOf(node) != "B"; };
    struct Case {
        const char* walk;
        std::string expected;
        std::function<void(std::vector<Handle>&)> run;
    };
    const std::vector<Case> cases = {
        {"pre-order with self", "ABCD",
         [&](auto& seen) {
             lx::treeNavigate(root, true, [&](const Handle& n) { seen.push_back(n); });
         }},
        {"pre-order without self", "BCD",
         [&](auto& seen) { lx::treeNavigate(root, [&](const Handle& n) { seen.push_back(n); }); }},
        {"descent test fails on B: B acted on, C skipped", "ABD",
         [&](auto& seen) {
             lx::treeNavigate(
                 root, true, [&](const Handle& n) { seen.push_back(n); }, notB);
         }},
        {"descent test fails on self", "A",
         [&](auto& seen) {
             lx::treeNavigate(
                 root, true, [&](const Handle& n) { seen.push_back(n); }, never);
         }},
        {"descent test fails on self, self excluded", "BD",
         [&](auto& seen) {
             lx::treeNavigate(
                 root, false, [&](const Handle& n) { seen.push_back(n); }, never);
         }},
        {"conditional: false on B", "ABD",
         [&](auto& seen) {
             lx::treeConditionalNavigate(root, true, [&](const Handle& n) {
                 seen.push_back(n);
                 return !named("B")(n);
             });
         }},
        {"post-order", "CBDA",
         [&](auto& seen) {
             lx::treeNavigateFromLeaf(root, [&](const Handle& n) { seen.push_back(n); });
         }},
        {"pairs", "ABBCAD",
         [&](auto& seen) {
             lx::treeNavigateNodePair(root, [&](const Handle& parent, const Handle& child) {
                 seen.push_back(parent);
                 seen.push_back(child);
             });
         }},
        {"pairs, not below B", "ABAD",
         [&](auto& seen) {
             lx::treeNavigateNodePair(
                 root,
                 [&](const Handle& parent, const Handle& child) {
                     seen.push_back(parent);
                     seen.push_back(child);
                 },
                 notB);
         }},
        {"search without self finds C", "C",
         [&](auto& seen) { seen.push_back(lx::treeSearch(root, named("C"))); }},
        {"search does not test self unless asked", "",
         [&](auto& seen) {
             if (const Handle found = lx::treeSearch(root, named("A"))) {
                 seen.push_back(found);
             }
         }},
        {"search with self", "A",
         [&](auto& seen) { seen.push_back(lx::treeSearch(root, true, named("A"))); }},
        {"search: a node failing the descent test still matches", "B",
         [&](auto& seen) { seen.push_back(lx::treeSearch(root, named("B"), notB)); }},
        {"search: never below a node failing the descent test", "(none)",
         [&](auto& seen) { seen.push_back(lx::treeSearch(root, named("C"), notB)); }},
        {"search: nothing below a failing node is tested", "ABD",
         [&](auto& seen) {
             lx::treeSearch(
                 root, true,
                 [&](const Handle& n) {
                     seen.push_back(n);
                     return false;
                 },
                 notB);
         }},
        {"search: self failing the descent test, self excluded", "",
         [&](auto& seen) {
             lx::treeSearch(
                 root, false,
                 [&](const Handle& n) {
                     seen.push_back(n);
                     return true;
                 },
                 never);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.walk);
        std::vector<Handle> seen;
        c.run(seen);
        EXPECT_EQ(joined(seen), c.expected);
    }
    EXPECT_EQ(lx::treeHeight(root), 2);
    EXPECT_TRUE(lx::treeHasChilds(root));
}

TEST(TreeNode, DownwardWalksOnSharedNodes) {
    const TaskTree tree;
    expectDownwardOrders(tree.a);
}

TEST(TreeNode, DownwardWalksOnValueRecords) {
    const Record root = recordTree();
    expectDownwardOrders(&root);
    const Record& d = root.childs->back();
    EXPECT_FALSE(lx::treeHasChilds(&d));
    EXPECT_EQ(lx::treeHeight(&d), 0);
}

TEST(TreeNode, WalksSeeChildrenAsTheyAreWhenTheWalkGoesBelowANode) {
    const TaskTree tree;
    std::vector<Task::Ptr> seen;
    lx::treeNavigate(tree.a, true, [&](const Task::Ptr& task) {
        seen.push_back(task);
        if (task->name() == "B") {
            Task::add(task, "E");  // added to the node being visited: walked
            tree.a->remove("D");   // removed from a list already being walked: still visited
        }
    });
    EXPECT_EQ(joined(seen), "ABCED");

    seen.clear();
    const TaskTree other;
    lx::treeNavigateFromLeaf(other.a, [&](const Task::Ptr& task) {
        seen.push_back(task);
        if (task->name() == "C") {
            Task::add(other.b, "F");  // B's list was read before descending: not walked
        }
    });
    EXPECT_EQ(joined(seen), "CBDA");
}

TEST(TreeNode, AnEmptyChildListIsNoChildList) {
    const auto absent = Task::create("lone");
    const auto empty = Task::create("lone");
    empty->setChilds(std::vector<Task::Ptr>{});
    for (const auto& lone : {absent, empty}) {
        int calls = 0;
        lx::treeNavigate(lone, [&](const Task::Ptr&) { ++calls; });
        lx::treeNavigateNodePair(lone, [&](const Task::Ptr&, const Task::Ptr&) { ++calls; });
        EXPECT_EQ(calls, 0);
        lx::treeNavigateFromLeaf(lone, [&](const Task::Ptr& task) { calls += task == lone; });
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(lx::treeHeight(lone), 0);
        EXPECT_FALSE(lx::treeHasChilds(lone));
        EXPECT_EQ(lx::treeDepth(lone), 0);
        EXPECT_TRUE(lx::treeIsRoot(lone));
        EXPECT_EQ(lx::treeGetRootAncesstor(lone), lone);
        EXPECT_EQ(lx::treeGetIndexInParent(lone), std::nullopt);
        EXPECT_EQ(lx::treeGetPreviousPeer(lone), nullptr);
        EXPECT_EQ(lx::treeGetNextPeer(lone), nullptr);
    }
}

TEST(TreeNode, ParentLinksAnswerDepthPeersAndAncestors) {
    const TaskTree tree;
    EXPECT_EQ(lx::treeDepth(tree.c), 2);
    EXPECT_EQ(lx::treeDepth(tree.c, tree.b), 1);
    EXPECT_EQ(lx::treeDepth(tree.c, tree.c), 0);
    EXPECT_EQ(lx::treeDepth(tree.c, tree.d), 2);  // not an ancestor: the full depth
    EXPECT_FALSE(lx::treeIsRoot(tree.b));
    EXPECT_EQ(lx::treeGetRootAncesstor(tree.c), tree.a);

    EXPECT_EQ(lx::treeGetIndexInParent(tree.d), 1);
    EXPECT_EQ(lx::treeGetPreviousPeer(tree.b), nullptr);
    EXPECT_EQ(lx::treeGetNextPeer(tree.b), tree.d);
    EXPECT_EQ(lx::treeGetPreviousPeer(tree.d), tree.b);
    EXPECT_EQ(lx::treeGetNextPeer(tree.d), nullptr);

    EXPECT_TRUE(lx::treeIsAncestor(tree.a, tree.c));
    EXPECT_FALSE(lx::treeIsAncestor(tree.c, tree.c));
    EXPECT_FALSE(lx::treeIsAncestor(tree.d, tree.c));
    const auto isA = [](const Task::Ptr& task) { return task->name() == "A"; };
    EXPECT_EQ(lx::treeSearchAncestor(tree.c, isA), tree.a);
    EXPECT_EQ(lx::treeSearchAncestor(tree.a, isA), nullptr);
    EXPECT_TRUE(lx::treeExistsAnyInAncestors(tree.b, isA));
    EXPECT_FALSE(lx::treeExistsAnyInAncestors(tree.a, isA));
}

TEST(TreeNode, EqualSiblingsShareTheFirstIndex) {
    const auto root = Task::create("root");
    Task::add(root, "x");
    const auto twin = Task::add(root, "twin");
    const auto secondTwin = Task::add(root, "twin");
    EXPECT_EQ(lx::treeGetIndexInParent(twin), 1);
    EXPECT_EQ(lx::treeGetIndexInParent(secondTwin), 1);
    EXPECT_EQ(lx::treeGetNextPeer(secondTwin), secondTwin);
}

TEST(TreeNode, UpwardWalks) {
    const TaskTree tree;
    const auto isB = [](const Task::Ptr& task) { return task->name() == "B"; };
    struct Case {
        const char* walk;
        std::string expected;
        std::function<void(std::vector<Task::Ptr>&)> run;
    };
    const auto record = [](std::vector<Task::Ptr>& seen) {
        return [&seen](const Task::Ptr& task) { seen.push_back(task); };
    };
    const std::vector<Case> cases = {
        {"with self", "CBA",
         [&](auto& seen) { lx::treeNavigateAncestor(tree.c, true, record(seen)); }},
        {"without self", "BA", [&](auto& seen) { lx::treeNavigateAncestor(tree.c, record(seen)); }},
        {"stop test before the action", "C",
         [&](auto& seen) {
             lx::treeNavigateAncestor(tree.c, true, record(seen),
                                      [&](const Task::Ptr& t) { return !isB(t); });
         }},
        {"stop test on self", "",
         [&](auto& seen) {
             lx::treeNavigateAncestor(tree.b, true, record(seen),
                                      [&](const Task::Ptr& t) { return !isB(t); });
         }},
        {"ends at B, acting on it", "CB",
         [&](auto& seen) { lx::treeNavigateAncestor(tree.c, true, tree.b, record(seen)); }},
        {"self not compared with the end without includeMe", "A",
         [&](auto& seen) { lx::treeNavigateAncestor(tree.b, tree.b, record(seen)); }},
        {"an end never met runs to the top", "CBA",
         [&](auto& seen) { lx::treeNavigateAncestor(tree.c, true, tree.d, record(seen)); }},
        {"from the root with self", "ABC",
         [&](auto& seen) { lx::treeNavigateAncestorFromRoot(tree.c, true, record(seen)); }},
        {"from the root without self", "AB",
         [&](auto& seen) { lx::treeNavigateAncestorFromRoot(tree.c, record(seen)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.walk);
        std::vector<Task::Ptr> seen;
        c.run(seen);
        EXPECT_EQ(joined(seen), c.expected);
    }
}

TEST(TreeNode, DeepTreesDoNotExhaustTheStack) {
    // Deep enough to overflow the stack of a walk that recursed once per level.
    constexpr int kDepth = 200'000;
    Record root{"0", std::nullopt};
    Record* leaf = &root;
    for (int level = 1; level < kDepth; ++level) {
        leaf->childs = std::vector<Record>{{std::to_string(level), std::nullopt}};
        leaf = &leaf->childs->front();
    }
    int visited = 0;
    lx::treeNavigate(&root, true, [&](const Record*) { ++visited; });
    lx::treeNavigateFromLeaf(&root, [&](const Record*) { ++visited; });
    EXPECT_EQ(visited, 2 * kDepth);
    EXPECT_EQ(lx::treeHeight(&root), kDepth - 1);
    EXPECT_EQ(lx::treeSearch(&root, [&](const Record* r) { return r == leaf; }), leaf);

    // Records nest by value, so even freeing this one recurses; unlink it level by level.
    while (root.childs) {
        std::optional<std::vector<Record>> below = std::move(root.childs);
        root.childs = std::move(below->front().childs);
    }
}

// Children handed out by reference, as the tasks of a project do.
struct Listed {
    using Ptr = std::shared_ptr<Listed>;
    std::string name;
    std::optional<std::vector<Ptr>> childs;

    bool operator==(const Listed& other) const { return name == other.name; }
};

static_assert(lx::treeInternal::InPlaceWalkable<Listed::Ptr>);
static_assert(!lx::treeInternal::InPlaceWalkable<Task::Ptr>);      // a copy of the list
static_assert(!lx::treeInternal::InPlaceWalkable<const Record*>);  // children by value

TEST(TreeNode, InPlaceWalksKeepTheOrderAndCopyNoHandle) {
    // A > (B > C), D, with an empty list on D.
    const auto leaf = [](const char* name) {
        return std::make_shared<Listed>(Listed{name, std::nullopt});
    };
    const auto a = leaf("A");
    const auto b = leaf("B");
    b->childs = std::vector{leaf("C")};
    const auto d = leaf("D");
    d->childs.emplace();
    a->childs = std::vector{b, d};

    std::string visited;
    long mostHolders = 0;
    const auto visit = [&](const Listed::Ptr& node) {
        visited += node->name;
        mostHolders = std::max(mostHolders, node.use_count());
    };
    lx::treeNavigateInPlace(a, true, visit);
    visited += "|";
    lx::treeNavigateInPlace(a, false, visit);
    visited += "|";
    lx::treeNavigateNodePairInPlace(a, [&](const Listed::Ptr& parent, const Listed::Ptr& child) {
        visited += parent->name + child->name;
    });
    EXPECT_EQ(visited, "ABCD|BCD|ABBCAD");
    EXPECT_EQ(mostHolders, 2);  // B and D: the list and this test; no copy made by the walk
}

}  // namespace
