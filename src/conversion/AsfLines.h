// The ASF reader's lines and tokens: lines from a text in memory or from a
// stream through a window, and each line cut into tokens as far as asked.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "base/Diagnostics.h"
#include "io/InputFile.h"

namespace kestrom {

// Lines end at CR LF, a lone CR or a lone LF; the terminator is dropped.
// The text is either whole in memory or read from a stream through a window,
// which grows only for a line longer than half of it; a line handed out
// stays valid until the next one is asked for.
class LineSource {
public:
    explicit LineSource(std::string_view text) : text_(text) {}
    explicit LineSource(InputStream& stream) : stream_(&stream) {}

    bool Next(std::string_view& line) {
        if (pos_ >= text_.size() && !Refill()) return false;
        if (number_ == std::numeric_limits<int>::max())
            throw AsfError(number_, "the file has more than " + std::to_string(number_) + " lines");
        std::size_t end = LineEnd();
        while (!IsWhole(end)) {
            Refill();
            end = LineEnd();
        }
        line = text_.substr(pos_, end - pos_);
        if (end < text_.size()) {
            const bool cr = text_[end++] == '\r';
            if (cr && end < text_.size() && text_[end] == '\n') ++end;
        }
        pos_ = end;
        ++number_;
        return true;
    }

    int Number() const { return number_; }

private:
    std::size_t LineEnd() {
        return std::min(NextAfter(pos_, '\r', nextCr_), NextAfter(pos_, '\n', nextLf_));
    }

    // A line is whole once its terminator is in the window, and a CR only
    // once what follows it is too.
    bool IsWhole(std::size_t end) const {
        if (!stream_ || ended_) return true;
        return end + 1 < text_.size() || (end + 1 == text_.size() && text_[end] == '\n');
    }

    // Keeps the unread rest at the window's start and reads more after it;
    // false at the stream's end.
    bool Refill() {
        if (!stream_ || ended_) return false;
        const std::size_t rest = text_.size() - pos_;
        if (size_ == 0 || rest > size_ / 2) Grow();
        std::memmove(window_.get(), text_.data() + pos_, rest);
        const std::size_t got = stream_->Read(window_.get() + rest, size_ - rest);
        ended_ = got == 0;
        text_ = std::string_view(window_.get(), rest + got);
        pos_ = 0;
        nextCr_ = nextLf_ = kUnknown;
        return !ended_;
    }

    void Grow() {
        const std::size_t size = size_ == 0 ? kWindow : size_ * 2;
        auto larger = std::make_unique<char[]>(size);
        // The first window has no text before it, not even a pointer to copy from.
        if (pos_ < text_.size())
            std::memcpy(larger.get(), text_.data() + pos_, text_.size() - pos_);
        text_ = std::string_view(larger.get(), text_.size() - pos_);
        pos_ = 0;
        window_ = std::move(larger);
        size_ = size;
    }

    // The next c at or after pos, or the text's end; found again only once
    // passed, so a file without any CR is still scanned once.
    std::size_t NextAfter(std::size_t pos, char c, std::size_t& cached) {
        if (cached < pos || cached == kUnknown) {
            cached = text_.find(c, pos);
            if (cached == std::string_view::npos) cached = text_.size();
        }
        return cached;
    }

    static constexpr std::size_t kUnknown = std::string_view::npos;
    static constexpr std::size_t kWindow = 64 * 1024;
    std::size_t nextCr_ = kUnknown;
    std::size_t nextLf_ = kUnknown;
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
    InputStream* stream_ = nullptr;
    std::unique_ptr<char[]> window_;
    std::size_t size_ = 0;
    bool ended_ = false;
};

// A line cut at every single blank, only as far as the reader asks: a line
// is read up to token 12 at most, however long it is.
class LineTokens {
public:
    static constexpr std::size_t kMostRead = 13;

    void Reset(std::string_view line) {
        line_ = line;
        count_ = 0;
        next_ = 0;
        cut_ = false;
    }

    bool Has(std::size_t index) {
        assert(index < kMostRead);
        while (count_ <= index && !cut_)
            CutNext();
        return index < count_;
    }

    std::string_view operator[](std::size_t index) const { return tokens_[index]; }

    std::size_t Count() const {
        if (cut_) return count_;
        const std::string_view rest = line_.substr(next_);
        return count_ + 1 + static_cast<std::size_t>(std::count(rest.begin(), rest.end(), ' '));
    }

    // The line from the token that begins at begin to the line's end.
    std::string_view From(const char* begin) const {
        return line_.substr(static_cast<std::size_t>(begin - line_.data()));
    }

private:
    // Tokens are a few characters long: a plain loop finds their end sooner
    // than a call to find.
    void CutNext() {
        std::size_t end = next_;
        while (end < line_.size() && line_[end] != ' ')
            ++end;
        tokens_[count_++] = line_.substr(next_, end - next_);
        if (end == line_.size())
            cut_ = true;
        else
            next_ = end + 1;
    }

    std::string_view line_;
    std::array<std::string_view, kMostRead> tokens_;
    std::size_t count_ = 0;
    std::size_t next_ = 0;
    bool cut_ = false;
};

} // namespace kestrom
