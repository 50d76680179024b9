// Follows the stand-in's journal while another process writes it: each poll reads only what was appended, hands
// over complete lines, and keeps a partial last line until its line end arrives. The journal is re-created each
// time a program loads the stand-in; the follower notices that (the file shrank, or the line it read last is no
// longer where it was) and starts again from the top. The stand-in also starts the journal anew when it reaches
// its size limit, with a first line that says it continues: the follower then reads on from the top at once,
// and says so, so that whoever keeps state from the lines keeps it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace smbus_sim {

// The file being followed, opened afresh for each poll.
class JournalSource {
public:
    virtual ~JournalSource() = default;
    // The file's size, or nothing while it does not exist or cannot be read.
    virtual std::optional<std::uint64_t> Size() = 0;
    // Reads up to size bytes at offset; returns how many were read.
    virtual std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t size) = 0;
};

class JournalFollower {
public:
    struct Poll {
        bool restarted = false; // the journal started again (or vanished): everything read before is void
        bool continued = false; // the journal started anew where it left off: read on from its top
        std::size_t lines = 0;  // complete lines handed over
    };

    // Reads at most kReadPerPoll new bytes and calls onLine for each complete line, in order. A poll that finds
    // the journal started again hands over no line; the next one reads from the top. One that finds the
    // journal continued hands over the new part's lines.
    Poll Follow(JournalSource& source, const std::function<void(std::string_view)>& onLine);

    static constexpr std::size_t kReadPerPoll = 1 << 20;
    // A longer line is no journal line: it is dropped up to its line end.
    static constexpr std::size_t kLongestLine = 4096;
    // How much of a line's start is compared to recognise it again. The start of a line is never rewritten in
    // place (a ReadSPD run only updates the counters at its end) and begins with a millisecond timestamp.
    static constexpr std::size_t kAnchorSize = 24;

private:
    bool StillTheSameFile(JournalSource& source, std::uint64_t size);
    static bool StartsAsContinuation(JournalSource& source, std::uint64_t size);
    void Take(std::string_view bytes, const std::function<void(std::string_view)>& onLine, Poll& poll);
    void Forget() { *this = JournalFollower(); }

    std::uint64_t m_offset = 0;    // bytes consumed so far
    std::uint64_t m_lineStart = 0; // where the line being read starts
    std::string m_partial;         // the last line, until its line end arrives
    bool m_dropping = false;       // inside an over-long line
    std::uint64_t m_anchorAt = 0;  // where the line read last starts
    std::string m_anchor;          // its first bytes (at most kAnchorSize)
};

} // namespace smbus_sim
