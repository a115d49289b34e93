#include "setup/packagedump.h"

#include <cstdio>
#include <functional>

#include "setup/setuppackage.h"

namespace setup {

namespace {

std::string Hex(std::uint32_t v, int width = 8) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", width, v);
    return buf;
}

std::string Q(const std::string& text) {
    return "\"" + EscapeForDump(text) + "\"";
}

std::string Font(const TFontRecord& f) {
    return Q(f.name) + " color=" + Hex(f.color) + " size=" + std::to_string(f.size) +
           " style=" + std::to_string(f.style) + " charset=" + std::to_string(f.charset);
}

std::string FileRef(std::uint16_t index) {
    return index == kNoFile ? std::string("none") : std::to_string(index);
}

} // namespace

std::string EscapeForDump(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            out += "\\x" + Hex(c, 2);
    }
    return out;
}

std::string DumpPackage(const TSetupPackage& package) {
    std::string o;
    auto line = [&](const std::string& text) { o += text + "\n"; };
    const TPackageReader& r = const_cast<TSetupPackage&>(package).Reader();
    const TPackageHeader& h = package.Header();
    line("[package]");
    line("data offset: " + std::to_string(r.DataOffset()));
    line("volume size: " + std::to_string(r.VolumeSize()));
    line("[ui strings] " + std::to_string(h.uiStrings.Count()));
    for (std::size_t i = 0; i < h.uiStrings.Count(); ++i)
        if (!h.uiStrings.Get(i).empty())
            line(std::to_string(i) + ": " + Q(h.uiStrings.Get(i)));
    const TSettings& s = h.settings;
    line("[settings]");
    const std::pair<const char*, const std::string*> fields[] = {
        {"publisher", &s.publisherName},
        {"publisher url", &s.publisherUrl},
        {"product", &s.productName},
        {"product url", &s.productUrl},
        {"version", &s.productVersion},
        {"release date", &s.releaseDate},
        {"extra line", &s.extraLine},
        {"icon", &s.iconFile},
        {"readme", &s.readmeFile},
        {"licence", &s.licenceFile},
        {"support library", &s.supportLibrary},
        {"application folder", &s.appFolder},
        {"common application folder", &s.commonAppFolder},
        {"menu folder", &s.menuFolder},
        {"backdrop picture", &s.backdropPicture},
        {"backdrop top caption", &s.backdropTopCaption},
        {"backdrop bottom caption", &s.backdropBottomCaption}};
    for (const auto& [name, value] : fields)
        line(std::string(name) + ": " + Q(*value));
    line("flag: " + std::to_string(static_cast<unsigned char>(h.settingsText.back())));
    if (h.hasReservedGroup)
        for (const auto& text : h.reservedGroup)
            line("reserved: " + Q(text));
    line("[header]");
    line("install mode: " + std::to_string(static_cast<int>(h.installMode)));
    if (h.installMode != TInstallMode::NormalOnly) {
        line("portable marker kind: " + std::to_string(h.portableMarkerKind));
        line("all drives: " + std::to_string(h.allDrivesOption));
        line("portable folder: " + Q(h.portableFolder));
    }
    line("advanced page: " + std::to_string(h.advancedPage));
    line("gradient: " + std::to_string(h.gradient));
    line("wizard font: " + Font(h.wizardFont));
    line("backdrop: " + std::to_string(h.backdrop));
    if (h.backdrop) {
        const TBackdropRecord& b = h.backdropRecord;
        line("backdrop colours: " + Hex(b.gradientColor1) + " " + Hex(b.gradientColor2) + " " +
             Hex(b.topShadowColor) + " " + Hex(b.bottomShadowColor));
        line("backdrop flags: transparent=" + std::to_string(b.pictureTransparent) +
             " top shadow=" + std::to_string(b.topShadow) +
             " bottom shadow=" + std::to_string(b.bottomShadow));
        line("backdrop top font: " + Font(b.topFont));
        line("backdrop bottom font: " + Font(b.bottomFont));
    }
    line("[support files] " + std::to_string(package.SupportNames().size()));
    for (std::size_t i = 0; i < package.SupportNames().size(); ++i)
        line(std::to_string(i) + ": " + Q(package.SupportNames()[i]));
    if (!package.TablesRead())
        return o;

    const TPackageTables& t = package.Tables();
    line("[components] " + std::to_string(t.components.size()));
    std::function<void(const TComponentFolder&, int)> folder = [&](const TComponentFolder& f,
                                                                   int depth) {
        std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
        std::string text = indent + "folder " + Q(f.name);
        if (!f.variable.empty())
            text += " variable=" + f.variable + " path=" + Q(f.path);
        text += " shared=" + std::to_string(f.shared);
        line(text);
        for (const auto& sub : f.folders)
            folder(sub, depth + 1);
        for (const auto& item : f.items) {
            std::string in = indent + "  ";
            if (auto* c = std::get_if<TCopyItem>(&item))
                line(in + "file " + std::to_string(c->fileIndex) +
                     " rule=" + std::to_string(c->replaceRule) +
                     " not-logged=" + std::to_string(c->notLogged) +
                     " register=" + std::to_string(c->registerAfterCopy));
            else if (auto* l = std::get_if<TShortcutItem>(&item))
                line(in + "shortcut " + std::to_string(l->targetIndex) + " name=" + Q(l->name) +
                     " description=" + Q(l->description) + " arguments=" + Q(l->arguments) +
                     " icon=" + FileRef(l->iconFile) + "," + std::to_string(l->iconIndex));
            else if (auto* u = std::get_if<TUrlItem>(&item))
                line(in + "url " + Q(u->url) + " name=" + Q(u->name) +
                     " icon=" + FileRef(u->iconFile) + "," + std::to_string(u->iconIndex));
        }
    };
    for (std::size_t i = 0; i < t.components.size(); ++i) {
        const TComponentData& c = t.components[i];
        std::string deps;
        for (auto d : c.dependencies)
            deps += (deps.empty() ? "" : ",") + std::to_string(d);
        line("component " + std::to_string(i) + " " + Q(c.name) +
             " choose=" + std::to_string(c.userMayChoose) +
             " selected=" + std::to_string(c.selected) + " required=" + std::to_string(c.required) +
             " depends=[" + deps + "] image=" + std::to_string(c.StateImage()));
        line("  description: " + Q(c.description));
        for (const auto& f : c.folders)
            folder(f, 1);
    }
    const TFileTable& ft = t.fileTable;
    line("[files] " + std::to_string(ft.files.size()) +
         " support=" + std::to_string(ft.supportCount));
    for (std::size_t i = 0; i < ft.files.size(); ++i) {
        const TPackageFile& f = ft.files[i];
        std::string version =
            f.HasVersion() ? Hex(f.versionHigh) + ":" + Hex(f.versionLow) : std::string("none");
        line(std::to_string(i) + ": " + Q(f.name) + " position=" +
             (f.IsSupportFile() ? std::string("support") : std::to_string(f.position)) +
             " date=" + Hex(f.date) + " version=" + version + " size=" + std::to_string(f.size) +
             " crc=" + Hex(f.crc));
    }
    line("[registry] " + std::to_string(t.registryTable.size()) + " bytes");
    if (!t.registryTable.empty())
        line(Q(t.registryTable));
    line("[file types] " + std::to_string(t.fileTypes.size()));
    for (const auto& type : t.fileTypes) {
        line(Q(type.DisplayText()) + " register=" + std::to_string(type.registerType) +
             " icon=" + FileRef(type.iconFile) + "," + std::to_string(type.iconIndex));
        for (const auto& a : type.actions)
            line("  " + Q(a.verb) + " program=" + FileRef(a.programFile) +
                 " command=" + Q(a.command));
    }
    line("[prerequisites]");
    line("dotnet: " + std::to_string(t.dotNet.versions));
    if (t.dotNet.versions != 0)
        line("  installer=" + Q(t.dotNet.installerFile) + " url=" + Q(t.dotNet.downloadUrl) +
             " size=" + std::to_string(t.dotNet.size) +
             " position=" + std::to_string(t.dotNet.position));
    line("external installers: " + std::to_string(t.thirdParty.size()));
    for (const auto& p : t.thirdParty)
        line("  " + Q(p.name) + " url=" + Q(p.downloadUrl) + " installer=" + Q(p.installerFile) +
             " parameters=" + Q(p.parameters) + " key=" + Q(p.registryKey) + " check=" +
             Q(p.valueCheck) + " expected=" + Q(p.expectedValue) + " file=" + Q(p.filePath) +
             " size=" + std::to_string(p.size) + " position=" + std::to_string(p.position));
    line("[finish]");
    line("flags: " + Hex(t.finish.flags, 2));
    if (t.finish.flags & 4)
        line("program: " + FileRef(t.finish.programFile) + " " + Q(t.finish.parameters));
    line("[uninstall]");
    line("command: " + std::to_string(t.uninstallCommand.programFile) + " " +
         Q(t.uninstallCommand.parameters));
    line("shortcut: " + std::to_string(t.uninstallCommand.createShortcut));
    const auto& ub = t.uninstallOptions.bytes;
    line("options: " + Hex(ub[0], 2) + " " + Hex(ub[1], 2) + " " + Hex(ub[2], 2));
    if (ub[0] & 2)
        for (const auto& text : t.uninstallOptions.reserved)
            line("reserved: " + Q(text));
    line("[folder variables] " + std::to_string(package.Folders().Defined().size()));
    for (const auto& v : package.Folders().Defined())
        line(v.name + " " + Q(v.caption) + " " + (v.shared ? "*" : "") + Q(v.path));
    return o;
}

} // namespace setup
