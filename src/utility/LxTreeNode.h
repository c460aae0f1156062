#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

// Walks and searches over any tree whose nodes know their children.
//
// The operations take a node *handle*: whatever the caller holds a node by, as long as it
// dereferences to the node, tests false when empty and is copyable. A shared, identity-bearing
// node is walked by its `std::shared_ptr`; a value node (a record with its children nested by
// value) by `const Node*`. Operations that answer "a node or none" answer a handle, empty for
// none.
//
// The node gives its children as `childs`, a data member or a member function, holding an
// optional (or plain) vector of handles or of nodes by value; value children must be returned
// by reference. An absent and an empty child list mean the same: no children. Nodes are
// compared with the node type's `==`, never by address.
//
// Walk order and timing (what an action that edits the tree sees):
// - Children are visited in the order of their list. A node's child list is read once, when the
//   walk goes below that node: in the pre-order walks after the action or test on that node has
//   run, in the post-order walk before anything below it happens. The list read is a snapshot:
//   children an action adds to the node being visited are walked, later changes to a list
//   already being walked are not (a removed child is still visited).
// - No walk recurses: depth is bounded by memory only, so a tree read from a file cannot
//   exhaust the stack.
// - `includeMe` defaults to false: self is then neither acted on nor tested unless said.
// - Callables run on the caller's thread during the call and are not kept.
//
// Example:
//   lx::treeNavigate(root, true, [](const TaskPtr& task) { task->refresh(); });
//   const TaskPtr found = lx::treeSearch(root, [](const TaskPtr& t) { return t->id() == 7; });

namespace lx::treeInternal {

template <class Node>
concept ChildsFunction = requires(const Node& node) {
    node.childs();
};

template <class Node>
concept ChildsMember = !ChildsFunction<Node> && requires(const Node& node) {
    node.childs;
};

template <ChildsFunction Node>
decltype(auto) childsField(const Node& node) {
    return node.childs();
}

template <ChildsMember Node>
const auto& childsField(const Node& node) {
    return node.childs;
}

template <class Node>
using ChildsField = decltype(childsField(std::declval<const Node&>()));

template <class List>
concept OptionalList = requires(const List& list) {
    list.has_value();
    *list;
};

template <class Node>
using ChildList = std::remove_cvref_t<decltype(*std::declval<ChildsField<Node>>())>;

template <class Node>
using ChildListOf = std::conditional_t<OptionalList<std::remove_cvref_t<ChildsField<Node>>>,
                                       ChildList<Node>, std::remove_cvref_t<ChildsField<Node>>>;

template <class Handle>
using NodeOf = std::remove_cvref_t<decltype(*std::declval<const Handle&>())>;

}  // namespace lx::treeInternal

// A handle to a node that knows its children.
template <class Handle>
concept LxTreeNode = std::copyable<Handle> && std::default_initializable<Handle> &&
    requires(const Handle& handle) {
    {static_cast<bool>(handle)};
    { *handle == *handle } -> std::convertible_to<bool>;
    lx::treeInternal::childsField(*handle);
} && requires(const lx::treeInternal::ChildListOf<lx::treeInternal::NodeOf<Handle>>& list) {
    list.size();
    requires std::convertible_to<decltype(*list.begin()), Handle> ||
        std::same_as<std::remove_cvref_t<decltype(*list.begin())>,
                     lx::treeInternal::NodeOf<Handle>>;
};

namespace lx {

namespace treeInternal {

// The children of `node` as handles, copied at this moment.
template <LxTreeNode Handle>
std::vector<Handle> childsOf(const Handle& node) {
    using Field = ChildsField<NodeOf<Handle>>;
    std::vector<Handle> handles;
    decltype(auto) field = childsField(*node);
    const auto collect = [&handles](const auto& list) {
        handles.reserve(list.size());
        for (const auto& child : list) {
            if constexpr (std::is_convertible_v<decltype(child), Handle>) {
                handles.push_back(child);
            } else {
                static_assert(std::is_lvalue_reference_v<Field>,
                              "children held by value must be returned by reference");
                handles.push_back(Handle(&child));
            }
        }
    };
    if constexpr (OptionalList<std::remove_cvref_t<Field>>) {
        if (field.has_value()) {
            collect(*field);
        }
    } else {
        collect(field);
    }
    return handles;
}

// A node under a walk, with its children as read when the walk went below it.
template <class Handle>
struct Frame {
    Handle node;
    std::vector<Handle> childs;
    std::size_t next = 0;

    static Frame below(Handle node) {
        auto childs = childsOf(node);
        return {std::move(node), std::move(childs)};
    }
};

// What a pre-order visit decides for the node it has just visited.
enum class Step { descend, skipChildren, stop };

// The pre-order walk below `root` (root itself is the caller's business), with an explicit
// stack instead of recursion. `visit(parent, node)` answers the step; the walk answers the node
// it stopped at, or an empty handle.
template <LxTreeNode Handle, class Visit>
Handle walkBelow(const Handle& root, Visit&& visit) {
    std::vector<Frame<Handle>> stack;
    stack.push_back(Frame<Handle>::below(root));
    while (!stack.empty()) {
        Frame<Handle>& top = stack.back();
        if (top.next == top.childs.size()) {
            stack.pop_back();
            continue;
        }
        // Copies: pushing a frame below moves `top`.
        const Handle parent = top.node;
        const Handle node = top.childs[top.next++];
        const Step step = visit(parent, node);
        if (step == Step::stop) {
            return node;
        }
        if (step == Step::descend) {
            stack.push_back(Frame<Handle>::below(node));
        }
    }
    return Handle();
}

template <LxTreeNode Handle, class Visit>
Handle walk(const Handle& self, bool includeMe, Visit&& visit) {
    if (includeMe) {
        const Step step = visit(Handle(), self);
        if (step == Step::stop) {
            return self;
        }
        if (step == Step::skipChildren) {
            return Handle();
        }
    }
    return walkBelow(self, visit);
}

inline Step descendIf(bool condition) {
    return condition ? Step::descend : Step::skipChildren;
}

}  // namespace treeInternal

// True when `node` has at least one child.
template <LxTreeNode Handle>
bool treeHasChilds(const Handle& node) {
    return !treeInternal::childsOf(node).empty();
}

// 0 for a node without children, else 1 + the largest height among its children.
template <LxTreeNode Handle>
std::int64_t treeHeight(const Handle& node) {
    std::int64_t height = 0;
    std::vector<std::pair<Handle, std::int64_t>> pending{{node, 0}};
    while (!pending.empty()) {
        auto [current, depth] = std::move(pending.back());
        pending.pop_back();
        height = std::max(height, depth);
        for (auto& child : treeInternal::childsOf(current)) {
            pending.emplace_back(std::move(child), depth + 1);
        }
    }
    return height;
}

// Pre-order: self (when `includeMe`), then each child's subtree in order.
template <LxTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigate(const Handle& node, bool includeMe, Action&& action) {
    treeInternal::walk(node, includeMe, [&action](const Handle&, const Handle& visited) {
        std::invoke(action, visited);
        return treeInternal::Step::descend;
    });
}

template <LxTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigate(const Handle& node, Action&& action) {
    treeNavigate(node, false, std::forward<Action>(action));
}

// Pre-order with a descent test: the action runs on every node reached, then the walk goes
// below a node only when `canContinue(node)`. With `includeMe`, a failing test on self ends the
// call after acting on self.
template <LxTreeNode Handle, std::invocable<const Handle&> Action,
          std::predicate<const Handle&> CanContinue>
void treeNavigate(const Handle& node, bool includeMe, Action&& action, CanContinue&& canContinue) {
    treeInternal::walk(node, includeMe, [&](const Handle&, const Handle& visited) {
        std::invoke(action, visited);
        return treeInternal::descendIf(std::invoke(canContinue, visited));
    });
}

template <LxTreeNode Handle, std::invocable<const Handle&> Action,
          std::predicate<const Handle&> CanContinue>
void treeNavigate(const Handle& node, Action&& action, CanContinue&& canContinue) {
    treeNavigate(node, false, std::forward<Action>(action), std::forward<CanContinue>(canContinue));
}

// Pre-order whose action decides the descent: false skips that node's subtree (on self with
// `includeMe`: ends the call). Each node's action runs at most once.
template <LxTreeNode Handle, std::predicate<const Handle&> Action>
void treeConditionalNavigate(const Handle& node, bool includeMe,
                             Action&& actionWithContinoueChecking) {
    treeInternal::walk(node, includeMe, [&](const Handle&, const Handle& visited) {
        return treeInternal::descendIf(std::invoke(actionWithContinoueChecking, visited));
    });
}

template <LxTreeNode Handle, std::predicate<const Handle&> Action>
void treeConditionalNavigate(const Handle& node, Action&& actionWithContinoueChecking) {
    treeConditionalNavigate(node, false, std::forward<Action>(actionWithContinoueChecking));
}

// One `action(parent, child)` per parent-child pair below `node`, in pre-order; self's own link
// to its parent is never reported.
template <LxTreeNode Handle, std::invocable<const Handle&, const Handle&> Action>
void treeNavigateNodePair(const Handle& node, Action&& action) {
    treeInternal::walkBelow(node, [&action](const Handle& parent, const Handle& child) {
        std::invoke(action, parent, child);
        return treeInternal::Step::descend;
    });
}

// The same, going below a child only when `canContinue(child)`.
template <LxTreeNode Handle, std::invocable<const Handle&, const Handle&> Action,
          std::predicate<const Handle&> CanContinue>
void treeNavigateNodePair(const Handle& node, Action&& action, CanContinue&& canContinue) {
    treeInternal::walkBelow(node, [&](const Handle& parent, const Handle& child) {
        std::invoke(action, parent, child);
        return treeInternal::descendIf(std::invoke(canContinue, child));
    });
}

namespace treeInternal {

// Child lists that the node hands out by reference, as a list of handles, can be walked in
// place.
template <class Handle>
concept InPlaceWalkable =
    LxTreeNode<Handle> && std::is_lvalue_reference_v<ChildsField<NodeOf<Handle>>> && std::same_as<
        std::remove_cvref_t<decltype(*std::declval<const ChildListOf<NodeOf<Handle>>&>().begin())>,
        Handle>;

template <InPlaceWalkable Handle>
const ChildListOf<NodeOf<Handle>>* listIn(const Handle& node) {
    const auto& field = childsField(*node);
    if constexpr (OptionalList<std::remove_cvref_t<decltype(field)>>) {
        return field.has_value() ? &*field : nullptr;
    } else {
        return &field;
    }
}

// The pre-order walk below `root` over the lists themselves: `visit(parent, child)`.
template <InPlaceWalkable Handle, class Visit>
void walkBelowInPlace(const Handle& root, Visit&& visit) {
    using List = ChildListOf<NodeOf<Handle>>;
    struct Frame {
        const Handle* node;
        const List* childs;
        std::size_t next;
    };
    std::vector<Frame> stack;
    if (const List* childs = listIn(root)) {
        stack.push_back({&root, childs, 0});
    }
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.childs->size()) {
            stack.pop_back();
            continue;
        }
        const Handle& parent = *top.node;
        const Handle& child = (*top.childs)[top.next++];
        visit(parent, child);
        if (const List* childs = listIn(child); childs && !childs->empty()) {
            stack.push_back({&child, childs, 0});
        }
    }
}

}  // namespace treeInternal

// Pre-order like `treeNavigate`, but reading every child list in place rather than from a
// copy: for walks over large trees whose action changes no child list anywhere in the tree
// (reading, registering, copying out), which then copy no list and no handle. An action that
// does change one leaves the walk undefined.
template <treeInternal::InPlaceWalkable Handle, std::invocable<const Handle&> Action>
void treeNavigateInPlace(const Handle& node, bool includeMe, Action&& action) {
    if (includeMe) {
        std::invoke(action, node);
    }
    treeInternal::walkBelowInPlace(
        node, [&action](const Handle&, const Handle& child) { std::invoke(action, child); });
}

// `treeNavigateNodePair` in place, under the same condition as `treeNavigateInPlace`.
template <treeInternal::InPlaceWalkable Handle, std::invocable<const Handle&, const Handle&> Action>
void treeNavigateNodePairInPlace(const Handle& node, Action&& action) {
    treeInternal::walkBelowInPlace(node, std::forward<Action>(action));
}

// Post-order: every node after all its descendants, self always and last.
template <LxTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigateFromLeaf(const Handle& node, Action&& action) {
    using Frame = treeInternal::Frame<Handle>;
    std::vector<Frame> stack;
    stack.push_back(Frame::below(node));
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next < top.childs.size()) {
            Handle child = top.childs[top.next++];
            stack.push_back(Frame::below(std::move(child)));
            continue;
        }
        const Handle done = std::move(top.node);
        stack.pop_back();
        std::invoke(action, done);
    }
}

// The first node in pre-order for which `search` holds (self tested only with `includeMe`);
// empty when none does.
template <LxTreeNode Handle, std::predicate<const Handle&> Search>
Handle treeSearch(const Handle& node, bool includeMe, Search&& search) {
    return treeInternal::walk(node, includeMe, [&search](const Handle&, const Handle& visited) {
        return std::invoke(search, visited) ? treeInternal::Step::stop
                                            : treeInternal::Step::descend;
    });
}

template <LxTreeNode Handle, std::predicate<const Handle&> Search>
Handle treeSearch(const Handle& node, Search&& search) {
    return treeSearch(node, false, std::forward<Search>(search));
}

// The same with a descent test: a node that fails `canContinue` is still tested itself, but
// nothing below it is. `canContinue(self)` is tested whatever `includeMe` (after `search(self)`
// when included); false makes the result empty unless self itself matched.
template <LxTreeNode Handle, std::predicate<const Handle&> Search,
          std::predicate<const Handle&> CanContinue>
Handle treeSearch(const Handle& node, bool includeMe, Search&& search, CanContinue&& canContinue) {
    if (!includeMe && !std::invoke(canContinue, node)) {
        return Handle();
    }
    return treeInternal::walk(node, includeMe, [&](const Handle&, const Handle& visited) {
        if (std::invoke(search, visited)) {
            return treeInternal::Step::stop;
        }
        return treeInternal::descendIf(std::invoke(canContinue, visited));
    });
}

template <LxTreeNode Handle, std::predicate<const Handle&> Search,
          std::predicate<const Handle&> CanContinue>
Handle treeSearch(const Handle& node, Search&& search, CanContinue&& canContinue) {
    return treeSearch(node, false, std::forward<Search>(search),
                      std::forward<CanContinue>(canContinue));
}

}  // namespace lx
