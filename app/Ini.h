// CIni: reader of the small INI files the program keeps beside itself ("UserSettings.txt").
//
// The file is UTF-16 little-endian text, read as stored. It is kept in memory whole, and the tree of sections,
// keys and values is made of index spans into that text: nothing is copied until a caller asks for a value.
#pragma once

#include "base/TextCompare.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

// Closes a C runtime stream; lets std::unique_ptr own one.
struct FileCloser {
    void operator()(std::FILE* file) const noexcept;
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Where CIni finds and opens its files. The Win32 build uses wide file names (CWin32IniFiles); CStdioIniFiles
// below passes the name to the C runtime as UTF-8.
class IIniFileSource {
public:
    virtual ~IIniFileSource() = default;
    // Size in bytes of the named file, or nothing when there is no such file.
    virtual std::optional<std::uint64_t> FindFile(std::u16string_view name) = 0;
    // The named file opened for reading without text translation ("rb"); null when it cannot be opened.
    virtual FilePtr OpenFile(std::u16string_view name) = 0;
};

class CStdioIniFiles final : public IIniFileSource {
public:
    std::optional<std::uint64_t> FindFile(std::u16string_view name) override;
    FilePtr OpenFile(std::u16string_view name) override;
};

// Rewrites a freshly loaded text in place before it is parsed (the optional "inicd.dll" hook on Win32).
class IIniDecoder {
public:
    virtual ~IIniDecoder() = default;
    virtual void Decode(char16_t* text, std::int32_t length) = 0;
};

// One node of a first-child / next-sibling tree. The node owns its data.
template <typename T> struct CTreeNode {
    std::unique_ptr<T> data; // null for the root
    CTreeNode* next = nullptr;
    CTreeNode* child = nullptr;
};

// A ring buffer of 100 pointers used to release a tree breadth first. Tail -1 means empty; the head is the
// oldest element and the tail the newest.
template <typename T> class CQueue {
public:
    static constexpr int Capacity = 100;

    virtual ~CQueue() = default;

    bool Empty() const { return m_tail == -1; }
    bool Full() const { return !Empty() && ((m_head == 0 && m_tail == Capacity - 1) || m_head - m_tail == 1); }

    // Refuses null and refuses when full.
    bool Push(T item) {
        if (item == nullptr || Full()) {
            return false;
        }
        if (Empty()) {
            m_head = 0;
            m_tail = 0;
        } else {
            m_tail = (m_tail + 1) % Capacity;
        }
        m_items[m_tail] = item;
        return true;
    }

    bool Pop(T& item) {
        if (Empty()) {
            return false;
        }
        item = m_items[m_head];
        if (m_head == m_tail) {
            m_head = 0;
            m_tail = -1;
        } else {
            m_head = (m_head + 1) % Capacity;
        }
        return true;
    }

private:
    T m_items[Capacity] = {};
    int m_head = 0;
    int m_tail = -1;
};

// Owns a tree of CTreeNode<T> under a root and counts its nodes. Nodes are made by NewNode and linked by the caller.
template <typename T> class CTree {
public:
    using Node = CTreeNode<T>;

    CTree() = default;
    CTree(const CTree&) = delete;
    CTree& operator=(const CTree&) = delete;
    virtual ~CTree() { Clear(); }

    Node* Root() const { return m_root; }
    std::size_t NodeCount() const { return m_nodes; }

    // Releases any tree held and starts a new one with a root without data.
    Node* NewRoot() {
        Clear();
        m_root = NewNode(nullptr);
        return m_root;
    }

    // A new unlinked node owning data. Link it into the tree at once: only linked nodes are released.
    Node* NewNode(std::unique_ptr<T> data) {
        auto* node = new Node{std::move(data)};
        ++m_nodes;
        return node;
    }

    // Releases every node, breadth first through a CQueue. A child list that finds the queue full is spliced into
    // the sibling run being released, so it goes in the same walk instead of waiting in the queue.
    void Clear() {
        CQueue<Node*> pending;
        pending.Push(m_root);
        m_root = nullptr;
        Node* run = nullptr;
        while (pending.Pop(run)) {
            for (Node* node = run; node != nullptr;) {
                if (node->child != nullptr && !pending.Push(node->child)) {
                    Node* last = node->child;
                    while (last->next != nullptr) {
                        last = last->next;
                    }
                    last->next = node->next;
                    node->next = node->child;
                }
                Node* following = node->next;
                delete node;
                --m_nodes;
                node = following;
            }
        }
    }

private:
    Node* m_root = nullptr;
    std::size_t m_nodes = 0;
};

class CIni {
public:
    // A span of the text: first and last code-unit index, inclusive. end == start - 1 is an empty span.
    struct DataStruct {
        std::int32_t start = -1;
        std::int32_t end = -1;
    };
    using Node = CTreeNode<DataStruct>;

    // files must outlive the reader; decoder may be null (then no decoding is possible). The destructor closes
    // whatever is still loaded.
    explicit CIni(IIniFileSource& files, IIniDecoder* decoder = nullptr);
    CIni(const CIni&) = delete;
    CIni& operator=(const CIni&) = delete;
    virtual ~CIni();

    // Loads and parses a file. The text is taken as UTF-16 little-endian exactly as stored; with decode set the
    // decoder rewrites it first. On failure the reader is left empty. A loaded reader is closed first.
    bool Load(std::u16string_view fileName, bool decode);
    // Parses a copy of text as Load parses a file's text, without a file. False only when out of memory.
    bool LoadText(std::u16string_view text);

    // Copies the value with a terminating zero into buffer, which holds bufferSize code units. False when the
    // section, key or value is missing (buffer untouched), or when the value and its terminator do not fit
    // (buffer then holds an empty string, if it has room for one).
    bool ReadString(std::u16string_view section, std::u16string_view key, char16_t* buffer,
                    std::size_t bufferSize) const;
    template <std::size_t N>
    bool ReadString(std::u16string_view section, std::u16string_view key, char16_t (&buffer)[N]) const {
        return ReadString(section, key, buffer, N);
    }

    // Converts the value as the C runtime's wide-string-to-long conversion does with base (leading white space,
    // optional sign, base 0 choosing by prefix, stop at the first unit that is not part of the number), never
    // reading past the value, and saturating at the 32-bit limits. No digits give 0. False when the value is
    // missing (value untouched).
    bool ReadInt(std::u16string_view section, std::u16string_view key, std::int32_t& value, int base) const;

    // Frees the tree, closes the file and frees the text. Afterwards every look-up fails.
    bool Close();

    void SetCaseSensitive(bool caseSensitive) { m_caseSensitive = caseSensitive; }
    void SetTrimNames(bool trim) { m_trim = trim; }

    // Number of tree nodes held, the root included (0 when empty).
    std::size_t NodeCount() const { return m_tree.NodeCount(); }

private:
    void Parse();
    std::unique_ptr<DataStruct> NewSpan(std::int32_t start, std::int32_t end, bool isName) const;
    void TrimName(DataStruct& span) const;
    bool CompareName(const DataStruct& span, std::u16string_view query) const;
    const Node* FindChild(const Node* node, std::u16string_view query) const;
    const DataStruct* FindValue(std::u16string_view section, std::u16string_view key) const;

    IIniFileSource& m_files;
    FilePtr m_file;
    std::unique_ptr<char16_t[]> m_text;
    std::int32_t m_length = 0;
    bool m_caseSensitive = false;
    bool m_trim = true;
    IIniDecoder* m_decoder;
    CTree<DataStruct> m_tree;
};
