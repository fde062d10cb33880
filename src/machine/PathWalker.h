// Follows the drawn transitions from a state on through junctions, Exit and
// Entry objects and links until each path reaches a leaf state: one choice
// per path.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "machine/FlatIndex.h"
#include "machine/FlatMachine.h"

namespace kestrom::machine {

// Transitions along one path, at most; a longer one is reported and left out.
constexpr std::size_t kLongestPath = 1000;
// Choices of one state, at most; further paths are reported and left out.
constexpr std::size_t kMostChoices = 4096;

class PathWalker {
public:
    // leafOf: a leaf state's object id -> its index among the flat states.
    PathWalker(const FlatIndex& index,
               const std::unordered_map<drawing::ObjectId, std::size_t>& leafOf, Reporter& reporter)
        : index_(index), leafOf_(leafOf), reporter_(reporter) {}

    // The choices of the leaf state, in the order they are tried.
    std::vector<Choice> ChoicesFrom(const drawing::DrawnState& leaf);
    // The paths that start with this one transition.
    std::vector<Choice> ChoicesThrough(const drawing::DrawnTransition& transition);
    // The leaf states that entering this state leads to, without conditions
    // on the way there taken into account.
    std::vector<std::size_t> LeavesEntered(const drawing::DrawnState& state);

private:
    void Begin(std::vector<Choice>& out, int line);
    void Follow(const std::vector<const drawing::DrawnTransition*>& transitions);
    void Take(const drawing::DrawnTransition& transition);
    void Arrive(drawing::ObjectId target, const drawing::DrawnTransition* via);
    void EnterState(const drawing::DrawnState& state, const drawing::DrawnTransition* via);
    void Enter(const drawing::DrawnState& hierarchical);
    void LeaveThrough(const drawing::DrawnObject& exit);
    void FollowLink(const drawing::DrawnObject& link, const drawing::DrawnTransition* via);
    const drawing::DrawnState* LinkTarget(const drawing::DrawnObject& link);
    void Emit(std::size_t target);
    void AddActions(const std::vector<const drawing::DrawnObject*>& actions, int kind);
    int LineOf(const drawing::DrawnTransition* via) const;

    const FlatIndex& index_;
    const std::unordered_map<drawing::ObjectId, std::size_t>& leafOf_;
    Reporter& reporter_;

    // The path so far; each step takes back what it added.
    std::vector<ConditionText> conditions_;
    std::vector<ActionText> actions_;
    std::vector<const drawing::DrawnTransition*> transitions_;
    std::vector<Choice>* out_ = nullptr;
    int startLine_ = 0;
    bool stopped_ = false;
};

} // namespace kestrom::machine
