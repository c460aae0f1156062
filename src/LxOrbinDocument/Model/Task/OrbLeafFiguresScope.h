#pragma once

#include <memory>

class OrbProjectTask;

// While one lives on a thread, the completion and work completion of the groups of one task
// tree read each leaf's figures (working days, work, stored percentages) once, keep them in the
// order of the leaves, and a group folds over its own leaves' run of them instead of walking
// its subtree. Refreshing every group of a large plan leaf to root would otherwise read each
// leaf once per group above it, from objects spread over the whole heap. The sums run in the
// same order over the same values, so every result is the one a plain walk gives.
//
// Only for stretches in which nothing changes in the tree, its tasks, project or calendar but
// the groups' derived values: the mapper's refresh after reading a document. Groups of other
// trees calculate as usual meanwhile; a scope opened inside another serves its own tree until
// it ends.
//
// Example:
//   {
//       const OrbLeafFiguresScope figures(*root);
//       refreshEveryGroupLeafToRoot(root);
//   }
class OrbLeafFiguresScope {
public:
    explicit OrbLeafFiguresScope(const OrbProjectTask& root);
    ~OrbLeafFiguresScope();
    OrbLeafFiguresScope(const OrbLeafFiguresScope&) = delete;
    OrbLeafFiguresScope& operator=(const OrbLeafFiguresScope&) = delete;

    struct Figures;

private:
    std::unique_ptr<Figures> figures_;
    Figures* outer_;
};
