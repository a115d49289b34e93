#include "tests/speller/dicbuilder_support.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unordered_map>

#include "platform/codepage.h"

namespace speller::testing {

namespace {

struct TrieNode {
    unsigned char c = 0;
    bool end = false;
    std::vector<int> children; // indexes into the pool, sorted by character
};

// A trie of words sharing their first letter; node 0 is the root.
std::vector<TrieNode> BuildTrie(const std::vector<std::string>& words, std::size_t begin,
                                std::size_t end) {
    std::vector<TrieNode> pool(1);
    pool[0].c = static_cast<unsigned char>(words[begin][0]);
    for (std::size_t w = begin; w < end; ++w) {
        int node = 0;
        const std::string& word = words[w];
        for (std::size_t i = 1; i < word.size(); ++i) {
            auto c = static_cast<unsigned char>(word[i]);
            int next = -1;
            for (int child : pool[static_cast<std::size_t>(node)].children)
                if (pool[static_cast<std::size_t>(child)].c == c)
                    next = child;
            if (next < 0) {
                next = static_cast<int>(pool.size());
                pool.push_back({c, false, {}});
                pool[static_cast<std::size_t>(node)].children.push_back(next);
            }
            node = next;
        }
        pool[static_cast<std::size_t>(node)].end = true;
    }
    for (auto& node : pool)
        std::sort(node.children.begin(), node.children.end(), [&](int a, int b) {
            return pool[static_cast<std::size_t>(a)].c < pool[static_cast<std::size_t>(b)].c;
        });
    return pool;
}

// Equal subtrees become one node: the block's node array.
struct BlockNodes {
    struct Node {
        unsigned char c;
        bool end;
        std::vector<uint32_t> children; // block node indexes
    };
    std::vector<Node> nodes;
    std::unordered_map<std::string, uint32_t> index;

    uint32_t Intern(const Node& node) {
        std::string key;
        key += static_cast<char>(node.c);
        key += node.end ? '1' : '0';
        for (uint32_t child : node.children)
            key.append(reinterpret_cast<const char*>(&child), sizeof child);
        auto it = index.find(key);
        if (it != index.end())
            return it->second;
        auto id = static_cast<uint32_t>(nodes.size());
        nodes.push_back(node);
        index.emplace(std::move(key), id);
        return id;
    }

    // Interns every node below the root; returns the root's own node (not interned).
    Node Add(const std::vector<TrieNode>& pool, int at = 0) {
        const TrieNode& t = pool[static_cast<std::size_t>(at)];
        Node node{t.c, t.end, {}};
        for (int child : t.children)
            node.children.push_back(Intern(Add(pool, child)));
        return node;
    }
};

std::size_t CountNodes(const std::vector<TrieNode>& pool) {
    BlockNodes block;
    block.Add(pool);
    return block.nodes.size();
}

struct Chunk {
    std::size_t begin, end; // range of the sorted word list
    std::size_t nodes;
};

void Chunks(const std::vector<std::string>& words, std::size_t begin, std::size_t end,
            std::size_t maxNodes, std::vector<Chunk>& out) {
    // The plain trie bounds the shared one; only a large group pays for sharing.
    std::vector<TrieNode> trie = BuildTrie(words, begin, end);
    std::size_t count = trie.size() - 1;
    if (count > maxNodes)
        count = CountNodes(trie);
    if (count <= maxNodes) {
        out.push_back({begin, end, count});
        return;
    }
    if (end - begin == 1)
        throw std::runtime_error("the word \"" + words[begin] +
                                 "\" needs more nodes than a block holds");
    std::size_t middle = begin + (end - begin) / 2;
    Chunks(words, begin, middle, maxNodes, out);
    Chunks(words, middle, end, maxNodes, out);
}

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct Encoder {
    bool forceK7;
    std::string lists;

    uint32_t Word(const BlockNodes::Node& node) {
        uint32_t word = static_cast<uint32_t>(node.c) << 24 | (node.end ? 1u << 23 : 0u);
        std::size_t count = node.children.size();
        if (count == 0)
            return word;
        if (count == 1 && !forceK7 && node.children[0] < (1u << 20))
            return word | 1u << 20 | node.children[0];
        uint32_t offset = static_cast<uint32_t>(lists.size());
        if (offset >= (1u << 20))
            throw std::runtime_error("the child lists of a block outgrow 20-bit offsets");
        unsigned k = static_cast<unsigned>(count);
        if (count >= 7 || forceK7) {
            if (count > 255)
                throw std::runtime_error("a node has more than 255 children");
            lists += static_cast<char>(count);
            k = 7;
        }
        for (uint32_t child : node.children) {
            if (child > 0xFFFF)
                throw std::runtime_error("a list entry beyond 16 bits");
            lists += static_cast<char>(child & 0xFF);
            lists += static_cast<char>(child >> 8);
        }
        return word | k << 20 | offset;
    }
};

} // namespace

std::string BuildDictionary(const std::vector<std::string>& input, const DicBuildOptions& options) {
    std::vector<std::string> words;
    for (const auto& w : input)
        if (!w.empty() && w.size() <= 255)
            words.push_back(w);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    std::size_t maxNodes = std::min<std::size_t>(std::max<std::size_t>(options.maxNodes, 1), 65536);

    std::string alphabet = options.alphabet;
    if (alphabet.empty()) {
        std::array<std::size_t, 256> frequency{};
        for (const auto& w : words)
            for (char c : w)
                ++frequency[static_cast<unsigned char>(c)];
        std::vector<int> order;
        for (int c = 1; c < 256; ++c)
            if (frequency[static_cast<std::size_t>(c)] > 0)
                order.push_back(c);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return frequency[static_cast<std::size_t>(a)] > frequency[static_cast<std::size_t>(b)];
        });
        for (int c : order)
            alphabet += static_cast<char>(c);
        for (char d = '0'; d <= '9'; ++d)
            if (alphabet.find(d) == std::string::npos)
                alphabet += d;
    }
    if (alphabet.size() > 255)
        alphabet.resize(255);

    // Words by first letter, split where a letter's trie outgrows a block.
    std::vector<Chunk> chunks;
    for (std::size_t begin = 0; begin < words.size();) {
        std::size_t end = begin;
        while (end < words.size() && words[end][0] == words[begin][0])
            ++end;
        Chunks(words, begin, end, maxNodes, chunks);
        begin = end;
    }
    // Chunks into blocks: a letter once per block, the node total within the limit.
    std::vector<std::vector<Chunk>> blocks;
    std::size_t total = 0;
    for (const Chunk& chunk : chunks) {
        bool fits = !blocks.empty() && total + chunk.nodes <= maxNodes &&
                    std::none_of(blocks.back().begin(), blocks.back().end(), [&](const Chunk& c) {
                        return words[c.begin][0] == words[chunk.begin][0];
                    });
        if (!fits) {
            blocks.emplace_back();
            total = 0;
        }
        blocks.back().push_back(chunk);
        total += chunk.nodes;
    }
    if (blocks.size() > 255)
        throw std::runtime_error("the words need more than 255 blocks");

    std::string out(278, '\0');
    out += static_cast<char>(blocks.size());
    out += static_cast<char>(alphabet.size());
    out += alphabet;
    for (const auto& block : blocks) {
        BlockNodes nodes;
        std::vector<BlockNodes::Node> roots;
        for (const Chunk& chunk : block)
            roots.push_back(nodes.Add(BuildTrie(words, chunk.begin, chunk.end)));
        Encoder encoder{options.forceK7, {}};
        std::vector<uint32_t> nodeWords;
        for (const auto& node : nodes.nodes)
            nodeWords.push_back(encoder.Word(node));
        std::vector<uint32_t> rootWords;
        for (const auto& root : roots)
            rootWords.push_back(encoder.Word(root));
        PutU32(out, static_cast<uint32_t>(nodeWords.size()));
        PutU32(out, static_cast<uint32_t>(encoder.lists.size()));
        for (uint32_t w : nodeWords)
            PutU32(out, w);
        out += encoder.lists;
        out += static_cast<char>(roots.size());
        for (const auto& root : roots)
            out += static_cast<char>(root.c);
        for (uint32_t w : rootWords)
            PutU32(out, w);
    }
    return out;
}

std::vector<std::string> ReadWordList(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        if (line.empty())
            continue;
        std::string converted = platform::Utf8ToCp1252(line);
        // Lines that were valid UTF-8 come back unchanged; others are Windows-1252 already.
        if (platform::Cp1252ToUtf8(converted) == line)
            line = converted;
        words.push_back(line);
    }
    return words;
}

} // namespace speller::testing
