#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "utility/CollectionExtensions.h"
#include "utility/LxTreeNode.h"

// Questions and upward walks for tree nodes that also know their parent: `parent()` answers a
// handle of the same kind (empty for a root). See LxTreeNode.h for handles and equality.
// Every walk here follows `parent()` one step at a time, without recursion; `includeMe`
// defaults to false.
//
// Example:
//   const std::int64_t level = lx::treeDepth(task);
//   const TaskPtr group = lx::treeSearchAncestor(task, [](const TaskPtr& t) { return t->isGroup();
//   });

template <class Handle>
concept LxParentLinkedTreeNode = LxTreeNode<Handle> && requires(const Handle& handle) {
    { (*handle).parent() } -> std::convertible_to<Handle>;
};

namespace lx {

namespace treeInternal {

template <LxParentLinkedTreeNode Handle>
Handle parentOf(const Handle& node) {
    return (*node).parent();
}

}  // namespace treeInternal

// The number of parent links from `node` up to the top (0 for a root).
template <LxParentLinkedTreeNode Handle>
std::int64_t treeDepth(const Handle& node) {
    std::int64_t depth = 0;
    for (Handle up = treeInternal::parentOf(node); up; up = treeInternal::parentOf(up)) {
        ++depth;
    }
    return depth;
}

// The number of links from `node` up to the first of its ancestors equal to `fromSpecifiedRoot`
// (0 when `node` itself equals it); the full depth when none does.
template <LxParentLinkedTreeNode Handle>
std::int64_t treeDepth(const Handle& node, const Handle& fromSpecifiedRoot) {
    if (*node == *fromSpecifiedRoot) {
        return 0;
    }
    std::int64_t depth = 0;
    for (Handle up = treeInternal::parentOf(node); up; up = treeInternal::parentOf(up)) {
        ++depth;
        if (*up == *fromSpecifiedRoot) {
            break;
        }
    }
    return depth;
}

template <LxParentLinkedTreeNode Handle>
bool treeIsRoot(const Handle& node) {
    return !treeInternal::parentOf(node);
}

// The first index in the parent's children whose node equals `node` (so of two equal siblings
// both answer the first one's index); none without a parent or when no child is equal.
template <LxParentLinkedTreeNode Handle>
std::optional<std::int64_t> treeGetIndexInParent(const Handle& node) {
    const Handle parent = treeInternal::parentOf(node);
    if (!parent) {
        return std::nullopt;
    }
    const std::vector<Handle> siblings = treeInternal::childsOf(parent);
    for (std::size_t index = 0; index < siblings.size(); ++index) {
        if (*siblings[index] == *node) {
            return static_cast<std::int64_t>(index);
        }
    }
    return std::nullopt;
}

namespace treeInternal {

template <LxParentLinkedTreeNode Handle>
Handle peer(const Handle& node, std::int64_t offset) {
    const Handle parent = parentOf(node);
    const auto index = treeGetIndexInParent(node);
    if (!parent || !index) {
        return Handle();
    }
    return element(childsOf(parent), *index + offset).value_or(Handle());
}

}  // namespace treeInternal

// The sibling before and after `node`; none at either end or without a parent.
template <LxParentLinkedTreeNode Handle>
Handle treeGetPreviousPeer(const Handle& node) {
    return treeInternal::peer(node, -1);
}

template <LxParentLinkedTreeNode Handle>
Handle treeGetNextPeer(const Handle& node) {
    return treeInternal::peer(node, 1);
}

// The topmost ancestor; `node` itself when it has no parent.
template <LxParentLinkedTreeNode Handle>
Handle treeGetRootAncesstor(const Handle& node) {
    Handle top = node;
    for (Handle up = treeInternal::parentOf(top); up; up = treeInternal::parentOf(top)) {
        top = std::move(up);
    }
    return top;
}

// The nearest ancestor (parent first, `node` never) for which `predicate` holds; none if none.
template <LxParentLinkedTreeNode Handle, std::predicate<const Handle&> Predicate>
Handle treeSearchAncestor(const Handle& node, Predicate&& by) {
    for (Handle up = treeInternal::parentOf(node); up; up = treeInternal::parentOf(up)) {
        if (std::invoke(by, up)) {
            return up;
        }
    }
    return Handle();
}

template <LxParentLinkedTreeNode Handle, std::predicate<const Handle&> Predicate>
bool treeExistsAnyInAncestors(const Handle& node, Predicate&& by) {
    return static_cast<bool>(treeSearchAncestor(node, std::forward<Predicate>(by)));
}

// Whether `node` equals one of `of`'s ancestors (its parent, grandparent, ...); false for `of`
// itself unless it is also its own ancestor.
template <LxParentLinkedTreeNode Handle>
bool treeIsAncestor(const Handle& node, const Handle& of) {
    return treeExistsAnyInAncestors(of, [&node](const Handle& up) { return *up == *node; });
}

// Upward: self (when `includeMe`), then the parent, the grandparent ... up to the top.
template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigateAncestor(const Handle& node, bool includeMe, Action&& action) {
    for (Handle up = includeMe ? node : treeInternal::parentOf(node); up;
         up = treeInternal::parentOf(up)) {
        std::invoke(action, up);
    }
}

template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigateAncestor(const Handle& node, Action&& action) {
    treeNavigateAncestor(node, false, std::forward<Action>(action));
}

// Upward with a stop test that runs before the action, on self too: the first node failing it
// is not acted on and ends the walk.
template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action,
          std::predicate<const Handle&> CanContinue>
void treeNavigateAncestor(const Handle& node, bool includeMe, Action&& action,
                          CanContinue&& canContinue) {
    for (Handle up = includeMe ? node : treeInternal::parentOf(node); up;
         up = treeInternal::parentOf(up)) {
        if (!std::invoke(canContinue, up)) {
            return;
        }
        std::invoke(action, up);
    }
}

template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action,
          std::predicate<const Handle&> CanContinue>
void treeNavigateAncestor(const Handle& node, Action&& action, CanContinue&& canContinue) {
    treeNavigateAncestor(node, false, std::forward<Action>(action),
                         std::forward<CanContinue>(canContinue));
}

// Upward, ending after acting on the first node equal to `endAtAncestor` (self is compared only
// when `includeMe`); up to the top when none is.
template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigateAncestor(const Handle& node, bool includeMe, const Handle& endAtAncestor,
                          Action&& action) {
    for (Handle up = includeMe ? node : treeInternal::parentOf(node); up;
         up = treeInternal::parentOf(up)) {
        std::invoke(action, up);
        if (*up == *endAtAncestor) {
            return;
        }
    }
}

template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigateAncestor(const Handle& node, const Handle& endAtAncestor, Action&& action) {
    treeNavigateAncestor(node, false, endAtAncestor, std::forward<Action>(action));
}

// Top down: the topmost ancestor first, the parent last but one, self (when `includeMe`) last.
template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigateAncestorFromRoot(const Handle& node, bool includeMe, Action&& action) {
    std::vector<Handle> path;
    treeNavigateAncestor(node, includeMe, [&path](const Handle& up) { path.push_back(up); });
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        std::invoke(action, *it);
    }
}

template <LxParentLinkedTreeNode Handle, std::invocable<const Handle&> Action>
void treeNavigateAncestorFromRoot(const Handle& node, Action&& action) {
    treeNavigateAncestorFromRoot(node, false, std::forward<Action>(action));
}

}  // namespace lx
