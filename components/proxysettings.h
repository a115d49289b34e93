#pragma once
// The HTTP proxy of the program's downloads: chosen by hand, or detected from
// the user's Internet settings in the registry and, where those are missing,
// from the http_proxy, https_proxy and no_proxy environment variables. The
// settings live as long as the program runs; nothing here is stored. The Qt
// side (components/ui/networkproxy.h) turns ProxyFor's answer into a
// QNetworkProxy, and components/ui/formproxysettings.h edits the settings.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Registry;
}

namespace components {

inline constexpr int kDefaultProxyPort = 8080;
// The key of the user's Internet settings, under HKEY_CURRENT_USER.
inline constexpr std::string_view kInternetSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// A proxy to send a request through.
struct TProxyEndpoint {
    std::string Host;
    int Port = kDefaultProxyPort;
    bool Authenticate = false; // basic authentication with the two below
    std::string Username;
    std::string Password;
    bool operator==(const TProxyEndpoint&) const = default;
};

// The host and port a "ProxyServer" value of the Internet settings names for
// HTTP. The host is empty when the value names none (for instance when it
// lists only other protocols); the port is missing when none follows it.
struct TProxyServerValue {
    std::string Host;
    std::optional<int> Port;
    bool operator==(const TProxyServerValue&) const = default;
};
TProxyServerValue ParseProxyServerValue(std::string_view value);

// A proxy address of the environment: "[scheme://][user[:password]@]host[:port][/]".
// Only http and https schemes (or none) name an HTTP proxy; the host is empty
// for anything else.
struct TProxyUrl {
    std::string Host; // lower case; an IPv6 address without its brackets
    std::optional<int> Port;
    std::string Username; // percent-decoded
    std::string Password;
    bool operator==(const TProxyUrl&) const = default;
};
TProxyUrl ParseProxyUrl(std::string_view value);

// The entries of a no_proxy list (commas or blanks between them), lower case.
std::vector<std::string> ParseNoProxyList(std::string_view value);
// Whether `host` is reached without a proxy: "*" matches every host, an entry
// matches the host itself and every host below it (a leading "." or "*."
// makes no difference).
bool HostBypassesProxy(std::string_view host, const std::vector<std::string>& noProxy);

// Edits of the proxy dialog: the server without any text up to and including
// "://", and the port typed (a port number, else the default port).
std::string ServerWithoutScheme(std::string_view server);
int PortFromText(std::string_view text);

// Reads an environment variable; nullopt when it is not set.
using TEnvironmentReader = std::function<std::optional<std::string>(std::string_view name)>;
TEnvironmentReader ProcessEnvironment();

class TProxySettings {
public:
    // Detects the settings of the current user (registry and environment).
    TProxySettings();
    TProxySettings(platform::Registry& registry, const TEnvironmentReader& environment);

    void Detect();
    // The Internet settings when their "ProxyEnable" value is present, else
    // the environment.
    void Detect(platform::Registry& registry, const TEnvironmentReader& environment);

    // The proxy for a request to `host` by `scheme` ("http" or "https"), or
    // nullopt for a direct connection. A proxy without a host is no proxy.
    std::optional<TProxyEndpoint> ProxyFor(std::string_view scheme, std::string_view host) const;

    bool AutoDetect = true;       // use the detected settings
    bool UseProxy = false;        // by hand: use a proxy
    bool DetectedEnabled = false; // detected: the user's proxy is enabled
    bool Login = false;           // by hand: log on with user name and password
    std::string Server;           // by hand: the proxy host
    std::string DetectedServer;
    int Port = kDefaultProxyPort;
    int DetectedPort = kDefaultProxyPort;
    std::string Username;
    std::string Password;

    // Detected from the environment only: the log-on the http_proxy address
    // carries, the proxy for https addresses (https_proxy) and the hosts
    // reached directly (no_proxy).
    bool DetectedFromEnvironment = false;
    std::string DetectedUsername;
    std::string DetectedPassword;
    std::optional<TProxyEndpoint> DetectedSecure;
    std::vector<std::string> DetectedNoProxy;

private:
    void ResetDetected();
    void DetectFromRegistry(platform::Registry& registry);
    void DetectFromEnvironment(const TEnvironmentReader& environment);
};

} // namespace components
