#include "helpproject/build/compilerpaths.h"

#include "platform/registry.h"

namespace helpproject {

using platform::RootKey;

namespace {

struct TPathValue {
    const char* name;
    std::string TCompilerPaths::*field;
};

// In the order they are written.
const TPathValue kPathValues[] = {
    {"HC31", &TCompilerPaths::HC31},       {"HC95", &TCompilerPaths::HC95},
    {"HCHTML", &TCompilerPaths::HCHTML},   {"HC31Sel", &TCompilerPaths::HC31Sel},
    {"HC95Sel", &TCompilerPaths::HC95Sel}, {"HCHTMLSel", &TCompilerPaths::HCHTMLSel},
    {"KWGen", &TCompilerPaths::KWGen},
};

} // namespace

TCompilerPaths LoadCompilerPaths(platform::Registry& registry) {
    TCompilerPaths paths;
    try {
        if (!registry.KeyExists(RootKey::CurrentUser, kCompilerPathsKey))
            return paths;
        for (const TPathValue& value : kPathValues)
            paths.*value.field =
                registry.ReadString(RootKey::CurrentUser, kCompilerPathsKey, value.name)
                    .value_or("");
    } catch (const std::exception&) {
        return TCompilerPaths{};
    }
    if (paths.KWGen.size() > 255)
        paths.KWGen.resize(255);
    return paths;
}

void SaveCompilerPaths(platform::Registry& registry, const TCompilerPaths& paths) {
    try {
        TCompilerPaths toWrite = paths;
        if (toWrite.KWGen.size() > 255)
            toWrite.KWGen.resize(255);
        bool changed = !registry.KeyExists(RootKey::CurrentUser, kCompilerPathsKey);
        for (const TPathValue& value : kPathValues) {
            if (changed)
                break;
            const auto stored =
                registry.ReadString(RootKey::CurrentUser, kCompilerPathsKey, value.name);
            changed = !stored || *stored != toWrite.*value.field;
        }
        if (!changed)
            return;
        registry.CreateKey(RootKey::CurrentUser, kCompilerPathsKey);
        for (const TPathValue& value : kPathValues)
            registry.WriteString(RootKey::CurrentUser, kCompilerPathsKey, value.name,
                                 toWrite.*value.field);
        registry.Flush();
    } catch (const std::exception&) {
        // The paths are a convenience; the program still closes.
    }
}

} // namespace helpproject
