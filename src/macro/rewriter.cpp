#include "macro/rewriter.h"

#include <cstring>

#include "macro/char_boundary.h"

namespace pikora {

std::size_t Rewriter::Find(std::string_view needle, std::size_t from) const {
    return FindOnBoundary(buffer_, needle, from);
}

// Leaves the text still to search starting on the last character start at
// least reach bytes before pos.
void Rewriter::SetAsideBefore(std::size_t pos) {
    if (pos - restStart_ >= reach_) {
        const std::size_t start = BoundaryAtOrBefore(buffer_, pos - reach_, restStart_);
        std::memmove(&buffer_[doneEnd_], &buffer_[restStart_], start - restStart_);
        doneEnd_ += start - restStart_;
        restStart_ = start;
        return;
    }
    // A chain of joins can reach back past what was set aside: bring it back.
    const std::size_t missing = reach_ - (pos - restStart_);
    const std::size_t from =
        missing >= doneEnd_
            ? 0
            : BoundaryAtOrBefore(std::string_view(buffer_.data(), doneEnd_), doneEnd_ - missing, 0);
    const std::size_t count = doneEnd_ - from;
    std::memmove(&buffer_[restStart_ - count], &buffer_[from], count);
    restStart_ -= count;
    doneEnd_ = from;
}

std::size_t Rewriter::Replace(std::size_t pos, std::size_t end, std::string_view with,
                              const std::vector<std::size_t>& copies) {
    SetAsideBefore(pos);
    const std::size_t carried = pos - restStart_;
    if (copies.empty() && doneEnd_ + carried + with.size() <= end) {
        const std::size_t start = end - with.size() - carried;
        std::memmove(&buffer_[start], &buffer_[restStart_], carried);
        with.copy(&buffer_[start + carried], with.size());
        restStart_ = start;
        return start + carried;
    }
    // Copies move the text between them, so the rest is written anew. When
    // the expansion does not fit, with as much room again in front of it: a
    // row of growing expansions then copies the text a few times, not once
    // per block.
    const std::size_t size = end - pos;
    const std::size_t restSize =
        carried + (buffer_.size() - end) + (copies.size() + 1) * with.size() - copies.size() * size;
    const std::size_t room = copies.empty() ? restSize : 0;
    // Written into the buffer of the previous rebuild: a fresh one would cost
    // the system a page fault for every page of it, round after round.
    std::string& rebuilt = spare_;
    rebuilt.clear();
    rebuilt.reserve(doneEnd_ + room + restSize);
    rebuilt.append(buffer_, 0, doneEnd_);
    rebuilt.append(room, '\0');
    const std::size_t restStart = rebuilt.size();
    rebuilt.append(buffer_, restStart_, carried);
    rebuilt.append(with);
    std::size_t copied = end;
    for (const std::size_t copy : copies) {
        rebuilt.append(buffer_, copied, copy - copied);
        rebuilt.append(with);
        copied = copy + size;
    }
    rebuilt.append(buffer_, copied);
    buffer_.swap(rebuilt);
    restStart_ = restStart;
    return restStart + carried;
}

std::string Rewriter::Finish() && {
    buffer_.erase(doneEnd_, restStart_ - doneEnd_);
    return std::move(buffer_);
}

}  // namespace pikora
