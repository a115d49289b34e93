#pragma once
// The generated project the HTML Help benchmarks share: `count` topics of
// twenty paragraphs with jumps, popups, anchors and index keywords, and a
// contents line for each.
#include <algorithm>
#include <memory>
#include <string>

#include "helpproject/brindlewovenproject.h"

namespace benchproject {

inline std::unique_ptr<helpproject::TBrindlewovenProject> MakeGeneratedProject(int count) {
    auto p = std::make_unique<helpproject::TBrindlewovenProject>();
    p->Title = "Generated";
    const std::string header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}";
    // A group lists at most about 100 topics (20 groups up to 2,000 topics):
    // chmcmd runs out of memory on an index keyword of a few hundred.
    const int groups = std::max(20, count / 100);
    for (int t = 1; t <= count; ++t) {
        auto* topic = t == 1 ? p->Topics().front().get() : p->AddTopic(t * 10, "");
        topic->Title = "Topic " + std::to_string(t);
        topic->KKeywords = "Keyword " + std::to_string(t % 200) + ";Group " +
                           std::to_string(t % groups) + ",sub " + std::to_string(t % 7);
        helpproject::TStringList lines = {header, "\\pard\\b " + topic->Title + "\\b0\\par"};
        for (int k = 0; k < 20; ++k)
            lines.push_back(
                "\\pard Some text " + std::to_string(k) +
                " with {\\strike a jump}\\{linkID=" + std::to_string((t % count + 1) * 10) +
                "\\} and {\\ul a popup}\\{linkID=" + std::to_string(((t + k) % count + 1) * 10) +
                "\\} and \\{target=t" + std::to_string(t) + "_" + std::to_string(k) +
                "\\} more text.\\par");
        lines.push_back("}");
        topic->SetText(lines);
        p->ContentsLines.push_back(std::to_string(1 + t % 3) + " " + topic->Title + "=" +
                                   topic->TopicID);
    }
    return p;
}

} // namespace benchproject
