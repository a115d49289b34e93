// dictserver: serves the dictionaries of a folder to the download window.
//   dictserver [--port N] [--proxy-user USER --proxy-password PASSWORD] FOLDER
// Then point the speller at it: the registry value "Server" under
// HKCU\Software\Vexlor\Brindlewoven\Spell = "http://127.0.0.1:N".
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "dictserver.h"

namespace {
volatile std::sig_atomic_t quit = 0;
void OnSignal(int) {
    quit = 1;
}
} // namespace

int main(int argc, char** argv) {
    std::uint16_t port = 8765;
    std::string user, password, folder;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--port" && i + 1 < argc)
            port = static_cast<std::uint16_t>(std::atoi(argv[++i]));
        else if (arg == "--proxy-user" && i + 1 < argc)
            user = argv[++i];
        else if (arg == "--proxy-password" && i + 1 < argc)
            password = argv[++i];
        else
            folder = arg;
    }
    if (folder.empty()) {
        std::cerr << "usage: dictserver [--port N] [--proxy-user U --proxy-password P] FOLDER\n";
        return 2;
    }
    try {
        dictserver::TDictServer server(folder, port);
        if (!user.empty())
            server.RequireProxyAuthentication(user, password);
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
        std::cout << "Serving " << folder << " at " << server.Address() << " (Ctrl+C ends)"
                  << std::endl;
        while (!quit)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        server.Stop();
    } catch (const std::exception& e) {
        std::cerr << "dictserver: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
