#pragma once
// The topics a build writes, worked out without touching the project. With
// the build tags applied a topic is in when it has no build tag of its own
// or one of its tags is among the project's; a project without build tags
// takes every topic. The writers read this instead of the topics' Included
// flags, which only the model's own filter sets.
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace helpproject {

class TBrindlewovenProject;
class TBrindlewovenTopic;

class TBuildSelection {
public:
    // Every topic.
    static TBuildSelection All(const TBrindlewovenProject& project);
    // The topics the build tags let through; may be none.
    static TBuildSelection ByBuildTags(const TBrindlewovenProject& project);
    // ByBuildTags, refused with EProjectError when the build tags leave no
    // topic at all.
    static TBuildSelection ForBuild(const TBrindlewovenProject& project);
    // ForBuild when `applyBuildTags`, else All.
    static TBuildSelection For(const TBrindlewovenProject& project, bool applyBuildTags);

    bool Includes(std::int32_t number) const { return numbers_.count(number) != 0; }
    bool Includes(const TBrindlewovenTopic& topic) const;
    bool Empty() const { return topics_.empty(); }
    // The included topics in number order.
    const std::vector<const TBrindlewovenTopic*>& Topics() const { return topics_; }
    // The first included topic in number order; nullptr when none is.
    const TBrindlewovenTopic* First() const { return topics_.empty() ? nullptr : topics_.front(); }
    std::vector<std::int32_t> Numbers() const;

private:
    void Add(const TBrindlewovenTopic& topic);

    std::vector<const TBrindlewovenTopic*> topics_;
    std::unordered_set<std::int32_t> numbers_;
};

// Throws the model's EProjectError when the project names build tags and
// `selection` holds no topic.
void CheckBuildLeavesTopics(const TBrindlewovenProject& project, const TBuildSelection& selection);

} // namespace helpproject
