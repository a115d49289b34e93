// The project spell check (Ctrl+F12) of the main window on a generated
// project, offscreen, with no person answering: every reported word is
// ignored as soon as the check window shows it. Writes the topics' prose as
// UTF-8 text for an outside checker; bench/compare-project-speller.sh runs
// hunspell -l on it beside us.
//   spellproject_qtbench [--window] DICT WORDLIST TEXTOUT [TOPICS [WORDS_PER_TOPIC]]
// Without --window the check window is a scripted one that answers Ignore
// as soon as a word is shown (the check itself, the topics shown in the
// editor and stored, as Ctrl+F12 does them); with it, the real window is on
// screen and painted at each word.
#include <QAction>
#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "components/rtf/rtftokenizer.h"
#include "components/scriptedmessenger.h"
#include "editor/editorcontext.h"
#include "editor/ui/brindlewovenform.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/spellactions.h"
#include "platform/codepage.h"
#include "platform/registry.h"
#include "speller/ui/brindlewovenspeller.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::vector<std::string> ReadWords(const std::string& path) {
    std::vector<std::string> words;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && platform::Utf8FitsCp1252(line))
            words.push_back(platform::Utf8ToCp1252(line));
    return words;
}

// A misspelling: two letters swapped or one dropped, not itself a word.
std::string Misspelt(const std::string& word, std::mt19937& rng,
                     const std::unordered_set<std::string>& known) {
    for (int attempt = 0; attempt < 8 && word.size() > 3; ++attempt) {
        std::string bad = word;
        std::size_t at = 1 + rng() % (word.size() - 2);
        if (rng() % 2)
            std::swap(bad[at], bad[at + 1]);
        else
            bad.erase(at, 1);
        if (!known.count(bad))
            return bad;
    }
    return word + "qz";
}

// A check window that answers Ignore at each word: at the start of the
// suggestion search for a misspelling, from the event loop for a repeated word.
class TIgnoringForm : public speller::IVXSpellerForm {
public:
    explicit TIgnoringForm(long long& stops) : stops_(stops) {}
    void SetCallbacks(speller::TSpellerFormCallbacks callbacks) override {
        callbacks_ = std::move(callbacks);
    }
    void SetBusy(bool on) override {
        if (on)
            Ignore();
    }
    void SetButtonVisible(speller::TSpellButton, bool) override {}
    void SetButtonEnabled(speller::TSpellButton, bool) override {}
    void ShowWord(const std::string&, bool repeated, bool) override {
        suggestions_ = 0;
        if (repeated)
            QTimer::singleShot(0, [this] { Ignore(); });
    }
    void ShowProblem(const std::string&) override {
        QTimer::singleShot(0, [this] { callbacks_.clicked(speller::TSpellButton::Abort); });
    }
    void SetLearnAllowed(bool) override {}
    std::string GetReplacement() const override { return {}; }
    void AddSuggestion(const std::string&) override { ++suggestions_; }
    int SuggestionCount() const override { return suggestions_; }
    void SetSuggestions(const std::vector<std::string>& words) override {
        suggestions_ += static_cast<int>(words.size());
    }
    void ClearSuggestions() override { suggestions_ = 0; }
    int LanguageIndex() const override { return 0; }
    void SetLanguages(const std::vector<std::string>&, int) override {}
    void DisableAll() override {}
    void Place(const speller::TPlacementRequest&) override {}
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }

private:
    void Ignore() {
        ++stops_;
        callbacks_.clicked(speller::TSpellButton::Ignore);
    }
    long long& stops_;
    speller::TSpellerFormCallbacks callbacks_;
    int suggestions_ = 0;
    bool visible_ = false;
};

} // namespace

int main(int argc, char** argv) {
    bool window = argc > 1 && std::string(argv[1]) == "--window";
    if (window) {
        --argc;
        ++argv;
    }
    if (argc < 4) {
        // run-all.sh runs every benchmark bare: this one needs its inputs.
        std::printf("usage: %s DICT WORDLIST TEXTOUT [TOPICS [WORDS]]\n"
                    "(bench/compare-project-speller.sh runs it beside hunspell)\n",
                    argv[0]);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const fs::path dict = fs::absolute(argv[1]);
    const int topics = argc > 4 ? std::atoi(argv[4]) : 5000;
    const int perTopic = argc > 5 ? std::atoi(argv[5]) : 100;
    const std::vector<std::string> words = ReadWords(argv[2]);
    const std::unordered_set<std::string> known(words.begin(), words.end());

    // The project: prose of dictionary words with a misspelling in about 40
    // words, hidden link codes and visible bitmap codes between them.
    std::mt19937 rng(2026);
    auto project = std::make_unique<helpproject::TBrindlewovenProject>();
    project->ClearTopics();
    std::ofstream prose(argv[3], std::ios::binary);
    long long wordCount = 0;
    for (int t = 1; t <= topics; ++t) {
        helpproject::TStringList lines = {"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}",
                                          "{\\colortbl ;\\red0\\green128\\blue0;}"};
        std::string paragraph, plain;
        for (int w = 0; w < perTopic; ++w) {
            std::string word = words[rng() % words.size()];
            if (rng() % 40 == 0)
                word = Misspelt(word, rng, known);
            paragraph += rtf::EscapeSpecials(word) + " ";
            plain += word + " ";
            ++wordCount;
            if (rng() % 20 == 0)
                paragraph += "{\\v \\{linkID=" + std::to_string(10 * (1 + rng() % topics)) + "\\}}";
            if (rng() % 50 == 0)
                paragraph += "\\{bmc picture" + std::to_string(t) + ".bmp\\} ";
            if ((w + 1) % 25 == 0) {
                lines.push_back("\\pard\\f0\\fs20 " + paragraph + "\\par");
                prose << platform::Cp1252ToUtf8(plain) << "\n";
                paragraph.clear();
                plain.clear();
            }
        }
        if (!paragraph.empty()) {
            lines.push_back("\\pard\\f0\\fs20 " + paragraph + "\\par");
            prose << platform::Cp1252ToUtf8(plain) << "\n";
        }
        helpproject::TBrindlewovenTopic* topic =
            project->AddTopic(10 * t, "Topic " + std::to_string(t));
        topic->SetText(std::move(lines));
        project->UpdateSortedView(topic);
    }
    prose.close();

    auto registry = platform::OpenMemoryRegistry();
    const auto root = platform::RootKey::CurrentUser;
    registry->WriteString(root, speller::kDictionariesKey, "InstallPath",
                          dict.parent_path().string());
    registry->WriteDword(root, speller::kDictionariesKey, "Count", 1);
    registry->WriteString(root, speller::kDictionariesKey, "Name0", "English");
    registry->WriteString(root, speller::kDictionariesKey, "Files0", dict.filename().string());
    registry->WriteString(root, speller::kDictionariesKey, "IgnorePrefixes0", "'");
    registry->WriteString(root, speller::kDictionariesKey, "IgnoreSuffixes0", "';'s");
    const fs::path appData = fs::temp_directory_path() / "spellproject-bench-appdata";

    components::TScriptedMessenger messenger;
    editor::TEditorContext context(messenger, *registry);
    editor::ui::TBrindlewovenForm form(context);
    form.resize(1200, 800);
    form.show();
    QApplication::processEvents();
    form.SpellActions().SetPlaces({{}, false, appData, root});
    context.Session().ReplaceProject(std::move(project));
    context.TopicEditor().ProjectReplaced();
    QApplication::processEvents();

    // The same walk without a check: what showing and storing topics costs.
    const auto walk0 = Clock::now();
    for (const auto* topic : context.Project().SortedTopics()) {
        context.Session().SetCurrentTopic(const_cast<helpproject::TBrindlewovenTopic*>(topic));
        context.TopicEditor().ShowTopic();
        context.TopicEditor().StoreTopic();
    }
    const double walk = std::chrono::duration<double>(Clock::now() - walk0).count();

    long long stops = 0;
    QTimer ignore;
    if (window) {
        // The person's part: Ignore clicked as soon as the event loop runs.
        ignore.setInterval(0);
        QObject::connect(&ignore, &QTimer::timeout, [&] {
            speller::ui::TBrindlewovenSpeller* speller = form.SpellActions().Speller();
            if (speller && speller->WaitingAtWord()) {
                ++stops;
                speller->ButtonClicked(speller::TSpellButton::Ignore);
            }
        });
        ignore.start();
    } else {
        form.SpellActions().SetSpellerFormFactory(
            [&stops] { return std::make_unique<TIgnoringForm>(stops); });
    }
    form.SpellActions().Commands().CreateSpeller();
    const auto t0 = Clock::now();
    form.Actions().Action("ActionProjectSpell")->trigger();
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    ignore.stop();
    const bool done =
        !messenger.Records.empty() && messenger.Records.back().Text == "Spell check completed!";
    std::printf("topics %d words %lld stops %lld seconds %.3f walk %.3f completed %d\n", topics,
                wordCount, stops, seconds, walk, done ? 1 : 0);
    std::error_code ec;
    fs::remove_all(appData, ec);
    return done ? 0 : 1;
}
