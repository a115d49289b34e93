#include "components/proxysettings.h"

#include <cstdlib>

#include "platform/codepage.h"
#include "platform/registry.h"
#include "platform/textutil.h"

namespace components {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The characters a host name of the "http=" form may hold.
bool IsHostChar(char c) {
    return c == '-' || c == '.' || IsDigit(c) || (c >= 'a' && c <= 'z');
}

// A port of 1 to 65535 from a run of digits; nullopt for anything else (a
// bigger number cannot be a port).
std::optional<int> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    int port = 0;
    for (char c : digits) {
        if (!IsDigit(c))
            return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

// The digits after a ":" at the start of `rest`.
std::optional<int> PortAfterColon(std::string_view rest) {
    if (rest.empty() || rest.front() != ':')
        return std::nullopt;
    rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && IsDigit(rest[end]))
        ++end;
    return ParsePort(rest.substr(0, end));
}

std::string_view DropThroughScheme(std::string_view text) {
    const std::size_t scheme = text.find("://");
    return scheme == std::string_view::npos ? text : text.substr(scheme + 3);
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string PercentDecode(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = platform::HexDigitValue(text[i + 1]);
            const int low = platform::HexDigitValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

std::optional<std::string> NonEmpty(const TEnvironmentReader& environment, std::string_view name) {
    auto value = environment(name);
    if (value && platform::TrimView(*value).empty())
        return std::nullopt;
    return value;
}

} // namespace

TProxyServerValue ParseProxyServerValue(std::string_view value) {
    const std::string lower = platform::AnsiLowerCase(value);
    std::string_view text = lower;
    TProxyServerValue result;
    std::string_view afterHost;
    if (const std::size_t http = text.find("http="); http != std::string_view::npos) {
        text.remove_prefix(http + 5);
        auto takeHost = [&] {
            std::size_t end = 0;
            while (end < text.size() && IsHostChar(text[end]))
                ++end;
            result.Host = std::string(text.substr(0, end));
            afterHost = text.substr(end);
        };
        takeHost();
        if (afterHost.starts_with("://")) {
            text = afterHost.substr(3);
            takeHost();
        }
    } else if (text.find('=') == std::string_view::npos) {
        text = DropThroughScheme(text);
        const std::size_t colon = text.find(':');
        result.Host = std::string(text.substr(0, colon));
        afterHost = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    } else {
        return result;
    }
    result.Port = PortAfterColon(afterHost);
    return result;
}

TProxyUrl ParseProxyUrl(std::string_view value) {
    std::string_view text = platform::TrimView(value);
    TProxyUrl result;
    if (const std::size_t scheme = text.find("://"); scheme != std::string_view::npos) {
        const std::string name = AsciiLower(text.substr(0, scheme));
        if (name != "http" && name != "https")
            return result;
        text.remove_prefix(scheme + 3);
    }
    std::string_view authority = text.substr(0, text.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t colon = userInfo.find(':');
        result.Username = PercentDecode(userInfo.substr(0, colon));
        if (colon != std::string_view::npos)
            result.Password = PercentDecode(userInfo.substr(colon + 1));
        authority.remove_prefix(at + 1);
    }
    std::string_view rest;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return {};
        result.Host = AsciiLower(authority.substr(1, close - 1));
        rest = authority.substr(close + 1);
    } else {
        const std::size_t colon = authority.find(':');
        result.Host = AsciiLower(authority.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
    }
    if (rest.starts_with(':'))
        result.Port = ParsePort(rest.substr(1));
    return result;
}

std::vector<std::string> ParseNoProxyList(std::string_view value) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < value.size()) {
        std::size_t end = value.find_first_of(", \t", start);
        if (end == std::string_view::npos)
            end = value.size();
        if (end > start)
            entries.push_back(AsciiLower(value.substr(start, end - start)));
        start = end + 1;
    }
    return entries;
}

bool HostBypassesProxy(std::string_view host, const std::vector<std::string>& noProxy) {
    const std::string lowerHost = AsciiLower(host);
    for (std::string_view entry : noProxy) {
        if (entry == "*")
            return true;
        if (entry.starts_with("*."))
            entry.remove_prefix(2);
        else if (entry.starts_with('.'))
            entry.remove_prefix(1);
        if (entry.empty())
            continue;
        if (lowerHost == entry)
            return true;
        if (lowerHost.size() > entry.size() && lowerHost.ends_with(entry) &&
            lowerHost[lowerHost.size() - entry.size() - 1] == '.')
            return true;
    }
    return false;
}

std::string ServerWithoutScheme(std::string_view server) {
    return std::string(DropThroughScheme(server));
}

int PortFromText(std::string_view text) {
    return ParsePort(platform::TrimView(text)).value_or(kDefaultProxyPort);
}

TEnvironmentReader ProcessEnvironment() {
    return [](std::string_view name) -> std::optional<std::string> {
        const char* value = std::getenv(std::string(name).c_str());
        if (!value)
            return std::nullopt;
        return std::string(value);
    };
}

TProxySettings::TProxySettings() {
    Detect();
}

TProxySettings::TProxySettings(platform::Registry& registry,
                               const TEnvironmentReader& environment) {
    Detect(registry, environment);
}

void TProxySettings::Detect() {
    Detect(platform::DefaultRegistry(), ProcessEnvironment());
}

void TProxySettings::Detect(platform::Registry& registry, const TEnvironmentReader& environment) {
    ResetDetected();
    if (registry.ValueExists(platform::RootKey::CurrentUser, kInternetSettingsKey, "ProxyEnable"))
        DetectFromRegistry(registry);
    else
        DetectFromEnvironment(environment);
}

void TProxySettings::ResetDetected() {
    DetectedEnabled = false;
    DetectedServer.clear();
    DetectedPort = kDefaultProxyPort;
    DetectedFromEnvironment = false;
    DetectedUsername.clear();
    DetectedPassword.clear();
    DetectedSecure.reset();
    DetectedNoProxy.clear();
}

void TProxySettings::DetectFromRegistry(platform::Registry& registry) {
    using platform::RootKey;
    DetectedEnabled =
        registry.ReadDword(RootKey::CurrentUser, kInternetSettingsKey, "ProxyEnable") == 1u;
    if (!DetectedEnabled)
        return;
    const auto value =
        registry.ReadString(RootKey::CurrentUser, kInternetSettingsKey, "ProxyServer");
    const TProxyServerValue server = ParseProxyServerValue(value.value_or(""));
    DetectedServer = server.Host;
    DetectedPort = server.Port.value_or(kDefaultProxyPort);
}

void TProxySettings::DetectFromEnvironment(const TEnvironmentReader& environment) {
    DetectedFromEnvironment = true;
    // Only the lower-case http_proxy: web servers running scripts put a
    // request's "Proxy:" header into HTTP_PROXY.
    if (const auto http = NonEmpty(environment, "http_proxy")) {
        const TProxyUrl url = ParseProxyUrl(*http);
        DetectedServer = url.Host;
        DetectedPort = url.Port.value_or(kDefaultProxyPort);
        DetectedUsername = url.Username;
        DetectedPassword = url.Password;
    }
    auto https = NonEmpty(environment, "https_proxy");
    if (!https)
        https = NonEmpty(environment, "HTTPS_PROXY");
    if (https) {
        const TProxyUrl url = ParseProxyUrl(*https);
        if (!url.Host.empty()) {
            DetectedSecure = TProxyEndpoint{url.Host, url.Port.value_or(kDefaultProxyPort),
                                            !url.Username.empty(), url.Username, url.Password};
        }
    }
    auto noProxy = NonEmpty(environment, "no_proxy");
    if (!noProxy)
        noProxy = NonEmpty(environment, "NO_PROXY");
    if (noProxy)
        DetectedNoProxy = ParseNoProxyList(*noProxy);
    DetectedEnabled = !DetectedServer.empty() || DetectedSecure.has_value();
}

std::optional<TProxyEndpoint> TProxySettings::ProxyFor(std::string_view scheme,
                                                       std::string_view host) const {
    if (!AutoDetect) {
        if (!UseProxy || Server.empty())
            return std::nullopt;
        return TProxyEndpoint{Server, Port, Login, Login ? Username : "", Login ? Password : ""};
    }
    if (!DetectedEnabled || HostBypassesProxy(host, DetectedNoProxy))
        return std::nullopt;
    if (DetectedFromEnvironment && AsciiLower(scheme) == "https")
        return DetectedSecure;
    // A detected proxy without a host (an enabled proxy that names none for
    // HTTP) means a direct connection.
    if (DetectedServer.empty())
        return std::nullopt;
    return TProxyEndpoint{DetectedServer, DetectedPort, !DetectedUsername.empty(), DetectedUsername,
                          DetectedPassword};
}

} // namespace components
