#include "speller/dictionary.h"

#include <cstring>
#include <system_error>

#include "platform/fileio.h"
#include "platform/littleendian.h"
#include "speller/edits.h"

namespace speller {

namespace {

// A node is one 32-bit word: the letter in the top byte, the end-of-word
// flag, a three-bit child code and a 20-bit reference.
constexpr unsigned kNodeCharShift = 24;
constexpr uint32_t kEndFlag = 1u << 23;
constexpr unsigned kChildCodeShift = 20;
constexpr uint32_t kChildCodeMask = 7u;
constexpr uint32_t kNodeRefMask = (1u << kChildCodeShift) - 1;
// Child codes: no children; one child, the reference naming its node; 2 to 6
// children, the reference naming their list of 16-bit node indices; a list
// that starts with its own count byte.
constexpr unsigned kNoChildren = 0;
constexpr unsigned kOneChild = 1;
constexpr unsigned kCountedList = 7;

inline unsigned char NodeChar(uint32_t node) {
    return static_cast<unsigned char>(node >> kNodeCharShift);
}
inline unsigned ChildCode(uint32_t node) {
    return (node >> kChildCodeShift) & kChildCodeMask;
}
inline uint32_t NodeRef(uint32_t node) {
    return node & kNodeRefMask;
}

// The caller has checked that the four bytes are there.
uint32_t ReadU32(std::string_view data, std::size_t pos) {
    return platform::GetLE32(platform::BytesAt(data, pos));
}

void Need(std::string_view data, std::size_t pos, uint64_t count, const char* what) {
    if (pos > data.size() || count > data.size() - pos)
        throw std::runtime_error(std::string("the file ends inside ") + what);
}

} // namespace

void TSubDictionary::Read(std::string_view data, std::size_t& pos) {
    Need(data, pos, 8, "a block header");
    uint64_t nodeCount = ReadU32(data, pos);
    uint64_t listBytes = ReadU32(data, pos + 4);
    pos += 8;
    // Sizes are checked against what the file holds before anything is allocated.
    Need(data, pos, nodeCount * 4, "the node array");
    nodes_.resize(static_cast<std::size_t>(nodeCount));
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        nodes_[i] = ReadU32(data, pos + 4 * i);
    pos += static_cast<std::size_t>(nodeCount * 4);
    Need(data, pos, listBytes, "the child lists");
    lists_.assign(data.begin() + static_cast<std::ptrdiff_t>(pos),
                  data.begin() + static_cast<std::ptrdiff_t>(pos + listBytes));
    pos += static_cast<std::size_t>(listBytes);
    Need(data, pos, 1, "the root letters");
    std::size_t rootCount = static_cast<unsigned char>(data[pos++]);
    Need(data, pos, rootCount * 5, "the root letters");
    rootLetters_.assign(data.substr(pos, rootCount));
    pos += rootCount;
    rootNodes_.resize(rootCount);
    for (std::size_t i = 0; i < rootCount; ++i)
        rootNodes_[i] = ReadU32(data, pos + 4 * i);
    pos += rootCount * 4;

    for (uint32_t node : nodes_)
        CheckNode(node, "a node");
    for (uint32_t node : rootNodes_)
        CheckNode(node, "a root node");
    rootIndex_.fill(0);
    for (std::size_t i = rootCount; i-- > 0;)
        rootIndex_[static_cast<unsigned char>(rootLetters_[i])] = static_cast<uint16_t>(i + 1);
}

void TSubDictionary::CheckNode(uint32_t node, const char* where) const {
    unsigned k = ChildCode(node);
    uint32_t ref = NodeRef(node);
    if (k == kNoChildren)
        return;
    if (k == kOneChild) {
        if (ref >= nodes_.size())
            throw std::runtime_error(std::string(where) + " refers to a node beyond the block");
        return;
    }
    std::size_t count = k;
    std::size_t first = ref;
    if (k == kCountedList) {
        if (ref >= lists_.size())
            throw std::runtime_error(std::string(where) + " refers to a list beyond the block");
        count = lists_[ref];
        first = ref + 1;
    }
    if (first > lists_.size() || count * 2 > lists_.size() - first)
        throw std::runtime_error(std::string(where) + " refers to a list beyond the block");
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t index = platform::GetLE16(&lists_[first + 2 * i]);
        if (index >= nodes_.size())
            throw std::runtime_error("a child list refers to a node beyond the block");
    }
}

bool TSubDictionary::Child(uint32_t node, unsigned char c, uint32_t& child) const {
    unsigned k = ChildCode(node);
    uint32_t ref = NodeRef(node);
    if (k == kNoChildren)
        return false;
    if (k == kOneChild) {
        child = nodes_[ref];
        return NodeChar(child) == c;
    }
    const uint8_t* p = lists_.data() + ref;
    std::size_t count = k;
    if (k == kCountedList)
        count = *p++;
    for (std::size_t i = 0; i < count; ++i, p += 2) {
        uint32_t candidate = nodes_[platform::GetLE16(p)];
        if (NodeChar(candidate) == c) {
            child = candidate;
            return true;
        }
    }
    return false;
}

bool TSubDictionary::Lookup(std::string_view word) const {
    if (word.empty() || word.size() > kMaxDictionaryWordLength)
        return false;
    uint16_t root = rootIndex_[static_cast<unsigned char>(word[0])];
    if (root == 0)
        return false;
    uint32_t node = rootNodes_[root - 1];
    for (std::size_t i = 1;; ++i) {
        if (i == word.size())
            return (node & kEndFlag) != 0;
        if (!Child(node, static_cast<unsigned char>(word[i]), node))
            return false;
    }
}

TDictionary::TDictionary(std::filesystem::path fileName) : fileName_(std::move(fileName)) {}

TDictionary::~TDictionary() {
    if (loaded_)
        Unload();
}

bool TDictionary::Load() {
    if (loaded_)
        return true;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName_, ec))
        return false;
    std::string bytes;
    try {
        bytes = platform::ReadFileBytes(fileName_);
    } catch (const std::exception& e) {
        throw EDictionaryError("The dictionary \"" + fileName_.string() +
                               "\" cannot be read: " + e.what());
    }
    LoadFromBytes(bytes);
    return true;
}

void TDictionary::LoadFromBytes(std::string_view bytes) {
    Unload();
    try {
        Need(bytes, 0, kDictionaryHeaderSize + 2, "the header");
        std::size_t pos = kDictionaryHeaderSize;
        std::size_t blockCount = static_cast<unsigned char>(bytes[pos++]);
        std::size_t alphabetLength = static_cast<unsigned char>(bytes[pos++]);
        Need(bytes, pos, alphabetLength, "the alphabet");
        std::string alphabet(bytes.substr(pos, alphabetLength));
        pos += alphabetLength;
        std::vector<std::unique_ptr<TSubDictionary>> subs;
        for (std::size_t i = 0; i < blockCount; ++i) {
            auto sub = std::make_unique<TSubDictionary>();
            sub->Read(bytes, pos);
            subs.push_back(std::move(sub));
        }
        alphabet_ = std::move(alphabet);
        subs_ = std::move(subs);
        loaded_ = true;
    } catch (const std::bad_alloc&) {
        throw EDictionaryError("The dictionary \"" + fileName_.string() +
                               "\" is too large to load.");
    } catch (const std::runtime_error& e) {
        throw EDictionaryError("The dictionary \"" + fileName_.string() +
                               "\" is damaged: " + e.what() + ".");
    }
}

void TDictionary::Unload() {
    while (!subs_.empty())
        subs_.erase(subs_.begin());
    alphabet_.clear();
    loaded_ = false;
}

bool TDictionary::IsWord(std::string_view word) const {
    for (const auto& sub : subs_)
        if (sub->Lookup(word))
            return true;
    return false;
}

bool TDictionary::HoldsNoWords() const {
    for (const auto& sub : subs_)
        if (!sub->RootLetters().empty())
            return false;
    return true;
}

void TDictionary::Suggest(std::string_view word, TWordList& list) const {
    const std::size_t limit = suggestLimit_ < 0 ? 0 : static_cast<std::size_t>(suggestLimit_);
    auto isWord = [this](std::string_view w) { return IsWord(w); };
    ForEachOneStepEdit(
        word, alphabet_, suggestMethods_,
        [&](const std::string& candidate, bool test) {
            return (!test || IsWord(candidate)) && list.Add(candidate) && list.Count() > limit;
        },
        isWord);
}

} // namespace speller
