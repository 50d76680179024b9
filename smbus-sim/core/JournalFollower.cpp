#include "smbus-sim/core/JournalFollower.h"

#include <algorithm>

#include "smbus-sim/core/JournalFormat.h"

namespace smbus_sim {

JournalFollower::Poll JournalFollower::Follow(JournalSource& source,
                                              const std::function<void(std::string_view)>& onLine) {
    Poll poll;
    std::optional<std::uint64_t> size = source.Size();
    if (!size || !StillTheSameFile(source, *size)) {
        bool read = m_offset > 0;
        Forget();
        if (size && read && StartsAsContinuation(source, *size)) {
            poll.continued = true;
        } else {
            // Reported on its own: whoever keeps state from the lines clears it before the new file's first line.
            poll.restarted = read;
            if (!size || poll.restarted) {
                return poll;
            }
        }
    }
    if (*size <= m_offset) {
        return poll;
    }
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(*size - m_offset, kReadPerPoll)), '\0');
    bytes.resize(source.ReadAt(m_offset, bytes.data(), bytes.size()));
    Take(bytes, onLine, poll);
    return poll;
}

bool JournalFollower::StillTheSameFile(JournalSource& source, std::uint64_t size) {
    if (size < m_offset) {
        return false;
    }
    if (m_anchor.empty()) {
        return true;
    }
    std::string seen(m_anchor.size(), '\0');
    seen.resize(source.ReadAt(m_anchorAt, seen.data(), seen.size()));
    return seen == m_anchor;
}

bool JournalFollower::StartsAsContinuation(JournalSource& source, std::uint64_t size) {
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kLongestLine)), '\0');
    head.resize(source.ReadAt(0, head.data(), head.size()));
    auto eol = head.find('\n');
    if (eol == std::string::npos) {
        return false;
    }
    std::string_view first(head.data(), eol);
    if (!first.empty() && first.back() == '\r') {
        first.remove_suffix(1);
    }
    return IsContinuationLine(first);
}

void JournalFollower::Take(std::string_view bytes, const std::function<void(std::string_view)>& onLine, Poll& poll) {
    while (!bytes.empty()) {
        auto eol = bytes.find('\n');
        std::string_view piece = bytes.substr(0, eol);
        // Remember the start of the line read last, to recognise the file by it on the next poll.
        if (m_anchorAt != m_lineStart || m_anchor.empty()) {
            m_anchorAt = m_lineStart;
            m_anchor.clear();
        }
        m_anchor.append(piece.substr(0, kAnchorSize - std::min(kAnchorSize, m_anchor.size())));

        if (!m_dropping) {
            m_partial.append(piece);
            if (m_partial.size() > kLongestLine) {
                m_dropping = true;
                m_partial.clear();
            }
        }
        if (eol == std::string_view::npos) {
            m_offset += piece.size();
            return;
        }
        if (!m_dropping) {
            if (!m_partial.empty() && m_partial.back() == '\r') {
                m_partial.pop_back();
            }
            onLine(m_partial);
            ++poll.lines;
        }
        m_dropping = false;
        m_partial.clear();
        m_offset += piece.size() + 1;
        m_lineStart = m_offset;
        bytes.remove_prefix(eol + 1);
    }
}

} // namespace smbus_sim
