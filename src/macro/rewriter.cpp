#include "macro/rewriter.h"

#include <algorithm>
#include <cstring>
#include <iterator>

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

std::size_t Rewriter::Replace(std::size_t pos, std::size_t end, std::string_view with) {
    SetAsideBefore(pos);
    return Splice(pos, end, with);
}

std::size_t Rewriter::Splice(std::size_t pos, std::size_t end, std::string_view with) {
    const std::size_t carried = pos - restStart_;
    if (doneEnd_ + carried + with.size() <= end) {
        const std::size_t start = end - with.size() - carried;
        std::memmove(&buffer_[start], &buffer_[restStart_], carried);
        with.copy(&buffer_[start + carried], with.size());
        restStart_ = start;
        return start + carried;
    }
    // With as much room again in front of the rest: a row of growing
    // expansions then copies the text a few times, not once per block. The
    // buffer of the previous rebuild is reused, as a fresh one would cost the
    // system a page fault for every page of it.
    const std::size_t restSize = carried + with.size() + (buffer_.size() - end);
    spare_.clear();
    spare_.reserve(doneEnd_ + 2 * restSize);
    spare_.append(buffer_, 0, doneEnd_).append(restSize, '\0');
    const std::size_t restStart = spare_.size();
    spare_.append(buffer_, restStart_, carried).append(with).append(buffer_, end);
    buffer_.swap(spare_);
    restStart_ = restStart;
    return restStart + carried;
}

void Rewriter::Defer(std::size_t pos, Region region) {
    const std::size_t next = NextRegion(pos);
    if (next != std::string::npos && next <= pos + region.size + reach_) {
        const auto after = regions_.find(buffer_.size() - next);
        region.with.append(buffer_, pos + region.size, next - pos - region.size)
            .append(after->second.with);
        region.size = next + after->second.size - pos;
        regions_.erase(after);
    }
    const auto [end, before] = RegionBefore(pos);
    if (before != nullptr && end + reach_ >= pos) {
        Region& merged = std::prev(regions_.lower_bound(buffer_.size() - pos))->second;
        merged.with.append(buffer_, end, pos - end).append(region.with);
        merged.size += pos - end + region.size;
        return;
    }
    regions_.emplace(buffer_.size() - pos, std::move(region));
}

std::size_t Rewriter::Apply(std::size_t pos, std::size_t limit, std::vector<Moved>& moved) {
    SetAsideBefore(std::min(pos, NextRegion(0)));
    std::string text;
    std::size_t copied = restStart_;
    for (auto it = regions_.begin(); it != regions_.end() && buffer_.size() - it->first < limit;
         it = regions_.erase(it)) {
        const std::size_t pos = buffer_.size() - it->first;
        text.append(buffer_, copied, pos - copied).append(it->second.with);
        copied = pos + it->second.size;
        moved.push_back({it->first, it->second.size, it->second.with.size()});
    }
    Splice(restStart_, copied, text);
    return text.size();
}

std::size_t Rewriter::NextRegion(std::size_t pos) const {
    if (pos > buffer_.size()) {
        return std::string::npos;
    }
    const auto it = regions_.lower_bound(buffer_.size() - pos);
    return it == regions_.end() ? std::string::npos : buffer_.size() - it->first;
}

Rewriter::Region* Rewriter::RegionAt(std::size_t pos) {
    const auto it = regions_.find(buffer_.size() - pos);
    return it == regions_.end() ? nullptr : &it->second;
}

std::pair<std::size_t, const Rewriter::Region*> Rewriter::RegionBefore(std::size_t pos) const {
    const auto next = regions_.lower_bound(buffer_.size() - pos);
    if (next == regions_.begin()) {
        return {0, nullptr};
    }
    const auto& [fromEnd, region] = *std::prev(next);
    return {buffer_.size() - fromEnd + region.size, &region};
}

std::string Rewriter::Finish() && {
    buffer_.erase(doneEnd_, restStart_ - doneEnd_);
    return std::move(buffer_);
}

}  // namespace pikora
