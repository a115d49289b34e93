// Test tool: reads and writes the registry the programs use, so tests and
// scripts can look into (and prepare) a sandboxed registry.
//
//   regtool get HIVE\KEY NAME
//   regtool set HIVE\KEY NAME TYPE VALUE...   (TYPE sz, expand_sz, multi_sz, dword, binary)
//   regtool delete HIVE\KEY [NAME]            (without NAME the whole key)
//   regtool dump [HIVE]
//
// NAME "@" is the key's default value. Text arguments are UTF-8 and stored
// as Windows-1252; binary values are hex bytes ("0a,ff" or "0aff").
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/registry.h"

using namespace platform;

namespace {

int Usage() {
    std::cerr << "usage: regtool get HIVE\\KEY NAME\n"
                 "       regtool set HIVE\\KEY NAME TYPE VALUE...\n"
                 "       regtool delete HIVE\\KEY [NAME]\n"
                 "       regtool dump [HIVE]\n"
                 "TYPE: sz, expand_sz, multi_sz, dword, binary; NAME @ is the default value\n";
    return 2;
}

bool SplitKey(const std::string& arg, RootKey& root, std::string& key) {
    const std::string ansi = Utf8ToCp1252(arg);
    size_t slash = ansi.find('\\');
    std::optional<RootKey> parsed = ParseRootKeyName(ansi.substr(0, slash));
    if (!parsed) {
        std::cerr << "regtool: unknown root key in \"" << arg << "\"\n";
        return false;
    }
    root = *parsed;
    key = slash == std::string::npos ? std::string() : ansi.substr(slash + 1);
    return true;
}

std::string ValueName(const std::string& arg) {
    return arg == "@" ? std::string() : Utf8ToCp1252(arg);
}

std::string Hex(std::string_view bytes) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i > 0) {
            out += ',';
        }
        out += buf;
    }
    return out;
}

bool ParseHex(std::string_view text, std::string& out) {
    std::string digits;
    for (char c : text) {
        if (c == ',' || c == ' ') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        digits += c;
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < digits.size(); i += 2) {
        out += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    }
    return true;
}

int Get(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return Usage();
    }
    RootKey root;
    std::string key;
    if (!SplitKey(args[0], root, key)) {
        return 2;
    }
    std::optional<RegistryValue> value = DefaultRegistry().ReadValue(root, key, ValueName(args[1]));
    if (!value) {
        std::cerr << "regtool: no value \"" << args[1] << "\" in " << args[0] << "\n";
        return 1;
    }
    switch (static_cast<RegistryValueType>(value->type)) {
    case RegistryValueType::String:
    case RegistryValueType::ExpandString:
        std::cout << Cp1252ToUtf8(value->data) << "\n";
        break;
    case RegistryValueType::MultiString:
        for (const std::string& s : DecodeMultiString(value->data)) {
            std::cout << Cp1252ToUtf8(s) << "\n";
        }
        break;
    case RegistryValueType::Dword:
        if (std::optional<uint32_t> d =
                DefaultRegistry().ReadDword(root, key, ValueName(args[1]))) {
            std::cout << *d << "\n";
            break;
        }
        [[fallthrough]];
    default:
        std::cout << Hex(value->data) << "\n";
    }
    return 0;
}

int Set(const std::vector<std::string>& args) {
    if (args.size() < 3) {
        return Usage();
    }
    RootKey root;
    std::string key;
    if (!SplitKey(args[0], root, key)) {
        return 2;
    }
    const std::string name = ValueName(args[1]);
    const std::string& type = args[2];
    std::vector<std::string> values(args.begin() + 3, args.end());
    Registry& reg = DefaultRegistry();
    if (type == "multi_sz") {
        std::vector<std::string> ansi;
        for (const std::string& v : values) {
            ansi.push_back(Utf8ToCp1252(v));
        }
        reg.WriteMultiString(root, key, name, ansi);
    } else if (values.size() != 1) {
        return Usage();
    } else if (type == "sz") {
        reg.WriteString(root, key, name, Utf8ToCp1252(values[0]));
    } else if (type == "expand_sz") {
        reg.WriteExpandString(root, key, name, Utf8ToCp1252(values[0]));
    } else if (type == "dword") {
        try {
            size_t used = 0;
            unsigned long long v = std::stoull(values[0], &used, 0);
            if (used != values[0].size() || v > 0xFFFFFFFFull) {
                throw std::out_of_range("dword");
            }
            reg.WriteDword(root, key, name, static_cast<uint32_t>(v));
        } catch (const std::exception&) {
            std::cerr << "regtool: \"" << values[0] << "\" is not a 32-bit number\n";
            return 2;
        }
    } else if (type == "binary") {
        std::string bytes;
        if (!ParseHex(values[0], bytes)) {
            std::cerr << "regtool: \"" << values[0] << "\" is not a list of hex bytes\n";
            return 2;
        }
        reg.WriteBinary(root, key, name, bytes);
    } else {
        return Usage();
    }
    reg.Flush();
    return 0;
}

int Delete(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) {
        return Usage();
    }
    RootKey root;
    std::string key;
    if (!SplitKey(args[0], root, key)) {
        return 2;
    }
    Registry& reg = DefaultRegistry();
    bool existed = args.size() == 2 ? reg.DeleteValue(root, key, ValueName(args[1]))
                                    : reg.DeleteKey(root, key);
    reg.Flush();
    return existed ? 0 : 1;
}

void DumpKey(Registry& reg, RootKey root, const std::string& key, bool isRoot) {
    std::vector<std::string> names = reg.ValueNames(root, key);
    if (!isRoot || !names.empty()) {
        std::string full = RootKeyName(root);
        if (!key.empty()) {
            full += "\\" + key;
        }
        std::cout << "[" << Cp1252ToUtf8(full) << "]\n";
        for (const std::string& name : names) {
            if (std::optional<RegistryValue> value = reg.ReadValue(root, key, name)) {
                std::string line = FormatHiveValue(name, *value);
                for (size_t cr; (cr = line.find("\r\n")) != std::string::npos;) {
                    line.erase(cr, 1);
                }
                std::cout << Cp1252ToUtf8(line) << "\n";
            }
        }
        std::cout << "\n";
    }
    for (const std::string& sub : reg.SubKeyNames(root, key)) {
        DumpKey(reg, root, key.empty() ? sub : key + "\\" + sub, false);
    }
}

int Dump(const std::vector<std::string>& args) {
    if (args.size() > 1) {
        return Usage();
    }
    std::vector<RootKey> roots = {RootKey::CurrentUser, RootKey::LocalMachine, RootKey::Users};
    if (args.size() == 1) {
        std::optional<RootKey> root = ParseRootKeyName(args[0]);
        if (!root) {
            std::cerr << "regtool: unknown root key \"" << args[0] << "\"\n";
            return 2;
        }
        roots = {*root};
    }
    std::cout << "REGEDIT4\n\n";
    for (RootKey root : roots) {
        DumpKey(DefaultRegistry(), root, {}, true);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The core's warnings (a damaged hive set aside, a failed save at exit).
    SetWarningHandler([](const std::string& text) { std::cerr << "Warning: " << text << "\n"; });
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "get") {
            return Get(args);
        }
        if (command == "set") {
            return Set(args);
        }
        if (command == "delete") {
            return Delete(args);
        }
        if (command == "dump") {
            return Dump(args);
        }
        return Usage();
    } catch (const std::exception& e) {
        std::cerr << "regtool: " << e.what() << "\n";
        return 1;
    }
}
