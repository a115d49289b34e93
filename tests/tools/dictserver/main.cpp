// dictserver: serves the dictionaries of a folder to the download window.
//   dictserver [--port N] [--proxy-user USER --proxy-password PASSWORD]
//              [--hostile [--trickle-ms MS]] FOLDER
// --hostile adds the languages of a hostile server to the catalogue (a word
// list's name, another language's file, a trickle, garbage; dictserver.h).
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
    bool hostile = false;
    int trickleMs = 5000;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--port" && i + 1 < argc)
            port = static_cast<std::uint16_t>(std::atoi(argv[++i]));
        else if (arg == "--proxy-user" && i + 1 < argc)
            user = argv[++i];
        else if (arg == "--proxy-password" && i + 1 < argc)
            password = argv[++i];
        else if (arg == "--hostile")
            hostile = true;
        else if (arg == "--trickle-ms" && i + 1 < argc)
            trickleMs = std::atoi(argv[++i]);
        else
            folder = arg;
    }
    if (folder.empty()) {
        std::cerr << "usage: dictserver [--port N] [--proxy-user U --proxy-password P] "
                     "[--hostile [--trickle-ms MS]] FOLDER\n";
        return 2;
    }
    try {
        dictserver::TDictServer server(folder, port);
        if (!user.empty())
            server.RequireProxyAuthentication(user, password);
        if (hostile)
            server.EnableHostileLanguages(trickleMs);
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
