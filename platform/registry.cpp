// The typed access every registry shares, and the REGEDIT4 hive text format.
#include "platform/registry.h"

#include <algorithm>
#include <cstdio>

#include "platform/codepage.h"
#include "platform/littleendian.h"
#include "platform/textutil.h"

namespace platform {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

struct RootName {
    RootKey root;
    const char* longName;
    const char* shortName;
};
constexpr RootName kRootNames[] = {
    {RootKey::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RootKey::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RootKey::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RootKey::Users, "HKEY_USERS", "HKU"},
};

// Hive lines: blanks at the start, blanks and the CR of a CR LF at the end.
constexpr std::string_view kLeadingBlanks = " \t";
constexpr std::string_view kTrailingBlanks = " \t\r";

std::string_view TrimRight(std::string_view s) {
    return TrimRightView(s, kTrailingBlanks);
}

std::string_view TrimLeft(std::string_view s) {
    return TrimLeftView(s, kLeadingBlanks);
}

// Reads a quoted string starting at text[pos] == '"'; on success pos is just
// past the closing quote. Escapes: \\ \" and, for names that hold line
// breaks, \n \r \0; any other backslash stays as it is.
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') {
        return false;
    }
    ++pos;
    out.clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == '"') {
            return true;
        }
        if (c == '\\' && pos < text.size()) {
            char next = text[pos];
            switch (next) {
            case '\\':
            case '"':
                out += next;
                ++pos;
                continue;
            case 'n':
                out += '\n';
                ++pos;
                continue;
            case 'r':
                out += '\r';
                ++pos;
                continue;
            case '0':
                out += '\0';
                ++pos;
                continue;
            default:
                break;
            }
        }
        out += c;
    }
    return false;
}

std::string QuoteName(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string QuoteValue(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

// A string the quoted form can hold: one line, no NUL. Anything else is
// written as hex(1) so the bytes survive unchanged.
bool FitsQuoted(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

void AppendHex(std::string& line, std::string& out, std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        line += digits[b >> 4];
        line += digits[b & 15];
        if (i + 1 < bytes.size()) {
            line += ',';
            if (line.size() > 76) {
                out += line;
                out += "\\\r\n";
                line = "  ";
            }
        }
    }
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    const std::size_t next = text.find_first_not_of(kLeadingBlanks, pos);
    return next == std::string_view::npos ? text.size() : next;
}

// Parses "xx,xx,..." (already joined over continuation lines).
bool ParseHexBytes(std::string_view text, std::string& out) {
    out.clear();
    text = TrimRight(TrimLeft(text));
    if (text.empty()) {
        return true;
    }
    size_t pos = 0;
    for (;;) {
        pos = SkipBlanks(text, pos);
        int hi = pos < text.size() ? HexDigitValue(text[pos]) : -1;
        int lo = pos + 1 < text.size() ? HexDigitValue(text[pos + 1]) : -1;
        if (hi < 0) {
            return false;
        }
        if (lo < 0) {
            // A single digit byte ("a") is accepted as regedit does.
            out += static_cast<char>(hi);
            pos += 1;
        } else {
            out += static_cast<char>(hi * 16 + lo);
            pos += 2;
        }
        pos = SkipBlanks(text, pos);
        if (pos == text.size()) {
            return true;
        }
        if (text[pos] != ',') {
            return false;
        }
        ++pos;
        if (pos == text.size()) {
            return true; // a trailing comma
        }
    }
}

} // namespace

const char* RootKeyName(RootKey root) {
    for (const RootName& r : kRootNames) {
        if (r.root == root) {
            return r.longName;
        }
    }
    return "HKEY_CURRENT_USER";
}

std::optional<RootKey> ParseRootKeyName(std::string_view name) {
    for (const RootName& r : kRootNames) {
        if (AnsiSameText(name, r.longName) || AnsiSameText(name, r.shortName)) {
            return r.root;
        }
    }
    return std::nullopt;
}

std::string KeyPathProblem(std::string_view key) {
    std::size_t depth = 0;
    std::size_t pos = 0;
    while (pos <= key.size()) {
        std::size_t end = std::min(key.find('\\', pos), key.size());
        std::string_view name = key.substr(pos, end - pos);
        if (!name.empty()) {
            if (++depth > kMaxKeyDepth) {
                return "keys nest more than " + std::to_string(kMaxKeyDepth) + " levels deep";
            }
            if (name.size() > kMaxKeyNameLength) {
                return "a key name is longer than " + std::to_string(kMaxKeyNameLength) +
                       " characters";
            }
            if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
                return "a key name holds a line break or NUL byte";
            }
        }
        pos = end + 1;
    }
    return {};
}

std::string ValueProblem(std::string_view name, std::size_t dataSize) {
    if (name.size() > kMaxValueNameLength) {
        return "a value name is longer than " + std::to_string(kMaxValueNameLength) + " characters";
    }
    if (dataSize > kMaxValueDataSize) {
        return "a value holds more than " + std::to_string(kMaxValueDataSize / 1024 / 1024) + " MB";
    }
    return {};
}

std::string EncodeMultiString(const std::vector<std::string>& strings) {
    std::string data;
    for (const std::string& s : strings) {
        data += s;
        data += '\0';
    }
    data += '\0';
    return data;
}

std::vector<std::string> DecodeMultiString(std::string_view data) {
    std::vector<std::string> strings;
    size_t pos = 0;
    while (pos < data.size()) {
        size_t end = data.find('\0', pos);
        if (end == std::string_view::npos) {
            // Data without its terminator still yields its last string.
            strings.emplace_back(data.substr(pos));
            break;
        }
        if (end == pos) {
            break; // the empty string that ends the list
        }
        strings.emplace_back(data.substr(pos, end - pos));
        pos = end + 1;
    }
    return strings;
}

// ---- typed access ----

std::optional<std::string> Registry::ReadString(RootKey root, std::string_view key,
                                                std::string_view name) {
    auto value = ReadValue(root, key, name);
    if (!value || (value->type != static_cast<uint32_t>(RegistryValueType::String) &&
                   value->type != static_cast<uint32_t>(RegistryValueType::ExpandString))) {
        return std::nullopt;
    }
    return std::move(value->data);
}

std::optional<std::vector<std::string>>
Registry::ReadMultiString(RootKey root, std::string_view key, std::string_view name) {
    auto value = ReadValue(root, key, name);
    if (!value || value->type != static_cast<uint32_t>(RegistryValueType::MultiString)) {
        return std::nullopt;
    }
    return DecodeMultiString(value->data);
}

std::optional<uint32_t> Registry::ReadDword(RootKey root, std::string_view key,
                                            std::string_view name) {
    auto value = ReadValue(root, key, name);
    if (!value || value->type != static_cast<uint32_t>(RegistryValueType::Dword) ||
        value->data.size() != 4) {
        return std::nullopt;
    }
    return GetLE32(BytesAt(value->data, 0));
}

std::optional<std::string> Registry::ReadBinary(RootKey root, std::string_view key,
                                                std::string_view name) {
    auto value = ReadValue(root, key, name);
    if (!value) {
        return std::nullopt;
    }
    return std::move(value->data);
}

std::optional<RegistryValueType> Registry::ValueType(RootKey root, std::string_view key,
                                                     std::string_view name) {
    auto value = ReadValue(root, key, name);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<RegistryValueType>(value->type);
}

bool Registry::ValueExists(RootKey root, std::string_view key, std::string_view name) {
    return ReadValue(root, key, name).has_value();
}

void Registry::WriteString(RootKey root, std::string_view key, std::string_view name,
                           std::string_view value) {
    WriteValue(root, key, name,
               {static_cast<uint32_t>(RegistryValueType::String), std::string(value)});
}

void Registry::WriteExpandString(RootKey root, std::string_view key, std::string_view name,
                                 std::string_view value) {
    WriteValue(root, key, name,
               {static_cast<uint32_t>(RegistryValueType::ExpandString), std::string(value)});
}

void Registry::WriteMultiString(RootKey root, std::string_view key, std::string_view name,
                                const std::vector<std::string>& value) {
    WriteValue(root, key, name,
               {static_cast<uint32_t>(RegistryValueType::MultiString), EncodeMultiString(value)});
}

void Registry::WriteDword(RootKey root, std::string_view key, std::string_view name,
                          uint32_t value) {
    std::string data;
    AppendLE32(data, value);
    WriteValue(root, key, name, {static_cast<uint32_t>(RegistryValueType::Dword), data});
}

void Registry::WriteBinary(RootKey root, std::string_view key, std::string_view name,
                           std::string_view bytes) {
    WriteValue(root, key, name,
               {static_cast<uint32_t>(RegistryValueType::Binary), std::string(bytes)});
}

// ---- hive text ----

std::string FormatHiveValue(std::string_view name, const RegistryValue& value) {
    std::string out;
    std::string line = name.empty() ? std::string("@") : QuoteName(name);
    line += '=';
    const uint32_t type = value.type;
    std::string_view data = value.data;
    if (type == static_cast<uint32_t>(RegistryValueType::String) && FitsQuoted(data)) {
        line += QuoteValue(data);
    } else if (type == static_cast<uint32_t>(RegistryValueType::Dword) && data.size() == 4) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "dword:%08x", GetLE32(BytesAt(data, 0)));
        line += buf;
    } else {
        std::string bytes(data);
        // The string types carry their terminating NUL in the hive.
        if (type == static_cast<uint32_t>(RegistryValueType::String) ||
            type == static_cast<uint32_t>(RegistryValueType::ExpandString)) {
            bytes += '\0';
        }
        if (type == static_cast<uint32_t>(RegistryValueType::Binary)) {
            line += "hex:";
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", type);
            line += buf;
        }
        AppendHex(line, out, bytes);
    }
    out += line;
    return out;
}

HiveParseResult ParseHiveText(std::string_view text) {
    HiveParseResult result;
    std::vector<std::string_view> lines;
    {
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            lines.push_back(TrimRight(text.substr(pos, end - pos)));
            pos = end + 1;
        }
    }
    auto damage = [&result](size_t lineIndex, std::string problem) {
        result.damaged = true;
        result.damagedLine = static_cast<int>(lineIndex + 1);
        result.problem = std::move(problem);
        return result;
    };

    size_t i = 0;
    while (i < lines.size() && lines[i].empty()) {
        ++i;
    }
    if (i == lines.size()) {
        return result; // an empty hive
    }
    if (lines[i] != kHeader) {
        return damage(i, "the file does not start with REGEDIT4");
    }
    ++i;

    bool haveKey = false;
    std::string rootName;
    std::string key;
    for (; i < lines.size(); ++i) {
        std::string_view line = TrimLeft(lines[i]);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
                return damage(i, "malformed key line");
            }
            std::string_view path = line.substr(1, line.size() - 2);
            size_t slash = path.find('\\');
            if (slash != std::string_view::npos) {
                if (std::string problem = KeyPathProblem(path.substr(slash + 1));
                    !problem.empty()) {
                    return damage(i, problem);
                }
            }
            std::string_view root = path.substr(0, slash);
            std::optional<RootKey> rootKey = ParseRootKeyName(root);
            if (!rootKey) {
                return damage(i, "unknown root key");
            }
            rootName = RootKeyName(*rootKey);
            key = slash == std::string_view::npos ? std::string()
                                                  : std::string(path.substr(slash + 1));
            haveKey = true;
            result.entries.push_back({rootName, key, std::nullopt, {}});
            continue;
        }
        if (!haveKey) {
            return damage(i, "a value before the first key");
        }
        size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, name)) {
            return damage(i, "malformed value name");
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
            ++pos;
        }
        if (pos >= line.size() || line[pos] != '=') {
            return damage(i, "missing \"=\"");
        }
        ++pos;
        std::string_view rest = TrimLeft(line.substr(pos));
        RegistryValue value;
        if (!rest.empty() && rest[0] == '"') {
            size_t q = 0;
            if (!ReadQuoted(rest, q, value.data) || q != rest.size()) {
                return damage(i, "malformed string value");
            }
            value.type = static_cast<uint32_t>(RegistryValueType::String);
        } else if (rest.substr(0, 6) == "dword:") {
            std::optional<uint32_t> v = ParseHex32(rest.substr(6));
            if (!v) {
                return damage(i, "malformed dword value");
            }
            value.type = static_cast<uint32_t>(RegistryValueType::Dword);
            AppendLE32(value.data, *v);
        } else if (rest.substr(0, 3) == "hex") {
            size_t colon = rest.find(':');
            if (colon == std::string_view::npos) {
                return damage(i, "malformed hex value");
            }
            std::string_view kind = rest.substr(3, colon - 3);
            uint32_t type = static_cast<uint32_t>(RegistryValueType::Binary);
            if (!kind.empty()) {
                if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')' ||
                    kind.size() > 10) {
                    return damage(i, "malformed hex type");
                }
                std::optional<uint32_t> number = ParseHex32(kind.substr(1, kind.size() - 2));
                if (!number) {
                    return damage(i, "malformed hex type");
                }
                type = *number;
            }
            std::string joined;
            std::string_view part = rest.substr(colon + 1);
            size_t startLine = i;
            while (!part.empty() && part.back() == '\\') {
                joined.append(part.substr(0, part.size() - 1));
                if (++i >= lines.size()) {
                    return damage(startLine, "hex value cut off at the end of the file");
                }
                part = TrimLeft(lines[i]);
            }
            joined.append(part);
            if (!ParseHexBytes(joined, value.data)) {
                return damage(startLine, "malformed hex bytes");
            }
            value.type = type;
            if ((type == static_cast<uint32_t>(RegistryValueType::String) ||
                 type == static_cast<uint32_t>(RegistryValueType::ExpandString)) &&
                !value.data.empty() && value.data.back() == '\0') {
                value.data.pop_back();
            }
        } else {
            return damage(i, "unknown value kind");
        }
        result.entries.push_back({rootName, key, std::move(name), std::move(value)});
    }
    return result;
}

} // namespace platform
