#include "smbus-sim/core/JournalFollower.h"

#include <algorithm>

#include "smbus-sim/core/JournalFormat.h"

namespace smbus_sim {

JournalFollower::Poll JournalFollower::Follow(JournalSource& source,
                                              const std::function<void(std::string_view)>& onLine) {
    Poll poll;
    std::optional<std::uint64_t> size = source.Size();
    if (!size || !StillTheSameFile(source, *size)) {
        bool read = offset_ > 0;
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
    if (*size <= offset_) {
        return poll;
    }
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(*size - offset_, kReadPerPoll)), '\0');
    bytes.resize(source.ReadAt(offset_, bytes.data(), bytes.size()));
    Take(bytes, onLine, poll);
    return poll;
}

bool JournalFollower::StillTheSameFile(JournalSource& source, std::uint64_t size) {
    if (size < offset_) {
        return false;
    }
    if (anchor_.empty()) {
        return true;
    }
    std::string seen(anchor_.size(), '\0');
    seen.resize(source.ReadAt(anchorAt_, seen.data(), seen.size()));
    return seen == anchor_;
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
        if (anchorAt_ != lineStart_ || anchor_.empty()) {
            anchorAt_ = lineStart_;
            anchor_.clear();
        }
        anchor_.append(piece.substr(0, kAnchorSize - std::min(kAnchorSize, anchor_.size())));

        if (!dropping_) {
            partial_.append(piece);
            if (partial_.size() > kLongestLine) {
                dropping_ = true;
                partial_.clear();
            }
        }
        if (eol == std::string_view::npos) {
            offset_ += piece.size();
            return;
        }
        if (!dropping_) {
            if (!partial_.empty() && partial_.back() == '\r') {
                partial_.pop_back();
            }
            onLine(partial_);
            ++poll.lines;
        }
        dropping_ = false;
        partial_.clear();
        offset_ += piece.size() + 1;
        lineStart_ = offset_;
        bytes.remove_prefix(eol + 1);
    }
}

} // namespace smbus_sim
