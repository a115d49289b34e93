#include "editor/topicrenumber.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "components/pcreregex.h"
#include "editor/topicnumbering.h"
#include "helpproject/bitmapfolders.h"
#include "helpproject/shg.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"
#include "platform/resolvepath.h"
#include "platform/textutil.h"

namespace editor {

using helpproject::EProjectError;
using helpproject::MaxTopicNumber;
using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;
using helpproject::TTopicNumberMap;

namespace {

// `taken`: the number a topic was to get when a topic outside the range
// holds it and no free number follows; 0 when the numbering itself runs
// past the highest.
std::string TooHighMessage(const TRenumberRequest& request, std::size_t count,
                           std::int64_t taken = 0) {
    std::string message =
        "Renumbering " + std::to_string(count) + (count == 1 ? " topic" : " topics") + " from " +
        std::to_string(request.Start) + " in steps of " + std::to_string(request.Gap) +
        " would pass the highest topic number " + std::to_string(MaxTopicNumber);
    if (taken > 0)
        message += ": number " + std::to_string(taken) +
                   " is taken by a topic outside the range, and no higher number is free";
    return message + ".  Choose a lower first number or a smaller step.";
}

// Sorted ignoring case, duplicates (ignoring case) left out.
void AddSortedUnique(std::vector<std::string>& list, const std::string& item) {
    auto place = std::lower_bound(list.begin(), list.end(), item,
                                  [](const std::string& a, const std::string& b) {
                                      return platform::AnsiCompareText(a, b) < 0;
                                  });
    if (place != list.end() && platform::AnsiSameText(*place, item))
        return;
    list.insert(place, item);
}

} // namespace

std::vector<TRenumberMove> PlanRenumber(const TBrindlewovenProject& project,
                                        const TRenumberRequest& request) {
    if (request.Start < 1 || request.Gap < 1)
        throw EProjectError("The first new topic number and the step must be at least 1.");
    std::vector<TRenumberMove> plan;
    std::set<std::int32_t> taken; // topics outside the range, and new numbers given out
    for (const auto& topic : project.Topics()) {
        if (topic->Number >= request.From && topic->Number <= request.To)
            plan.push_back({topic->Number, 0});
        else
            taken.insert(topic->Number);
    }
    std::int64_t next = request.Start;
    for (TRenumberMove& move : plan) {
        if (next > MaxTopicNumber)
            throw EProjectError(TooHighMessage(request, plan.size()));
        std::int64_t number = next;
        // The first free number from there, as adding a topic would take it.
        for (auto at = taken.lower_bound(static_cast<std::int32_t>(number));
             at != taken.end() && *at == number; ++at)
            ++number;
        if (number > MaxTopicNumber)
            throw EProjectError(TooHighMessage(request, plan.size(), next));
        move.New = static_cast<std::int32_t>(number);
        taken.insert(move.New);
        next += request.Gap;
    }
    return plan;
}

void MoveTopics(TBrindlewovenProject& project, const std::vector<TRenumberMove>& plan) {
    project.ChangeTopicNumbers(RenumberMap(plan));
    for (const TRenumberMove& m : plan) {
        if (m.New == m.Old)
            continue;
        TBrindlewovenTopic* topic = project.TopicByNumber(m.New);
        if (IsAutomaticTopicID(topic->TopicID))
            topic->TopicID = TBrindlewovenTopic::AutomaticID(m.New);
        topic->ClearHtmlCaches();
    }
}

TTopicNumberMap RenumberMap(const std::vector<TRenumberMove>& plan) {
    TTopicNumberMap numbers;
    for (const TRenumberMove& m : plan)
        if (m.New != m.Old)
            numbers.emplace(m.Old, m.New);
    return numbers;
}

std::vector<std::string> GatherSHGFiles(const TBrindlewovenProject& project) {
    components::TPcreRegEx regex;
    regex.SetOptions(components::preCaseLess);
    regex.SetRegEx(R"({bm[clr]t?\s+([^\/:*?"<>|{}]+?.shg))");
    regex.Compile();
    std::vector<std::string> names;
    std::string text;
    for (const auto& topic : project.Topics()) {
        text.clear();
        bool hasBitmap = false;
        for (const std::string& line : topic->Text) {
            text += line;
            text += "\r\n";
            hasBitmap = hasBitmap || platform::FindNoCase(line, "{bm") != std::string::npos;
        }
        if (!hasBitmap)
            continue;
        regex.SetInputText(text);
        for (bool found = regex.MatchFirst(); found; found = regex.MatchNext())
            AddSortedUnique(names, regex.GetGroup(1));
    }
    return names;
}

std::vector<std::string> SHGFolders(const TBrindlewovenProject& project) {
    std::vector<std::string> folders;
    if (!project.FileName.empty()) {
        const std::string own = platform::ExtractFilePath(project.FileName);
        AddSortedUnique(folders, own.empty() ? std::string("./") : own);
    }
    for (const std::string& entry : helpproject::BitmapFolderEntries(project.BitmapPaths)) {
        const char last = entry.back();
        AddSortedUnique(folders, last == '/' || last == '\\' ? entry : entry + '/');
    }
    return folders;
}

std::string FindSHGFile(const std::vector<std::string>& folders, const std::string& name) {
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        try {
            const std::filesystem::path candidate = platform::resolvePath(*it + name);
            std::error_code error;
            if (std::filesystem::is_regular_file(candidate, error))
                return candidate.string();
        } catch (const std::exception&) {
            // A drive letter that maps nowhere: not in this folder.
        }
    }
    return {};
}

bool RenumberHotspots(helpproject::TSHG& shg, const TTopicNumberMap& numbers) {
    constexpr std::string_view kPrefix = "Vellumar";
    bool changed = false;
    for (auto it = shg.Hotspots.rbegin(); it != shg.Hotspots.rend(); ++it) {
        const std::string& target = it->Target;
        if (target.size() <= kPrefix.size() || target.compare(0, kPrefix.size(), kPrefix) != 0)
            continue;
        const std::string digits = target.substr(kPrefix.size());
        if (digits.size() > 10 || digits[0] == '0' ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const long long number = std::stoll(digits);
        if (number > MaxTopicNumber)
            continue;
        auto mapped = numbers.find(static_cast<std::int32_t>(number));
        if (mapped == numbers.end())
            continue;
        it->Target = std::string(kPrefix) + std::to_string(mapped->second);
        changed = true;
    }
    return changed;
}

} // namespace editor
