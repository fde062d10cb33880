// Where the writer puts the generated text: a buffer that hands full chunks
// on, so that a large file never has to be held in memory as a whole.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrom {

class TextOutput {
public:
    TextOutput() = default;
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;
    virtual ~TextOutput() = default;

    void Append(std::string_view text) {
        if (text.size() <= kChunk - used_) {
            std::memcpy(chunk_ + used_, text.data(), text.size());
            used_ += text.size();
        } else {
            AppendLong(text);
        }
    }

    void AppendBlanks(std::size_t count) {
        while (count > 0) {
            if (used_ == kChunk) Flush();
            const std::size_t now = count < kChunk - used_ ? count : kChunk - used_;
            std::memset(chunk_ + used_, ' ', now);
            used_ += now;
            count -= now;
        }
    }

    // indent blanks, the pieces and CR LF; a line that fits the chunk goes
    // in whole, with no test for room per piece.
    void AppendLine(std::size_t indent, std::initializer_list<std::string_view> pieces) {
        std::size_t size = indent + 2;
        for (std::string_view piece : pieces)
            size += piece.size();
        if (size > kChunk - used_) return AppendLineInParts(indent, pieces);
        char* at = chunk_ + used_;
        PutBlanks(at, indent, kChunk - used_);
        at += indent;
        for (std::string_view piece : pieces) {
            std::memcpy(at, piece.data(), piece.size());
            at += piece.size();
        }
        std::memcpy(at, "\r\n", 2);
        used_ += size;
    }

    // Hands on whatever is buffered.
    void Flush() {
        if (used_ == 0) return;
        Take(std::string_view(chunk_, used_));
        used_ = 0;
    }

protected:
    // Receives the text in order, a chunk at a time.
    virtual void Take(std::string_view chunk) = 0;

private:
    // A fixed-size copy is a single store where a memset of indent characters
    // is a call: when there is room, more blanks than needed are written and
    // the line's text goes over the rest.
    static void PutBlanks(char* at, std::size_t indent, std::size_t room) {
        static constexpr char kBlanks[] = "                                ";
        constexpr std::size_t kFixed = sizeof kBlanks - 1;
        if (indent <= kFixed && room >= kFixed)
            std::memcpy(at, kBlanks, kFixed);
        else
            std::memset(at, ' ', indent);
    }

    void AppendLineInParts(std::size_t indent, std::initializer_list<std::string_view> pieces) {
        AppendBlanks(indent);
        for (std::string_view piece : pieces)
            Append(piece);
        Append("\r\n");
    }

    void AppendLong(std::string_view text) {
        Flush();
        if (text.size() >= kChunk)
            Take(text);
        else
            Append(text);
    }

    static constexpr std::size_t kChunk = 64 * 1024;
    char chunk_[kChunk];
    std::size_t used_ = 0;
};

// The whole text in memory, for callers that want a string.
class StringOutput : public TextOutput {
public:
    std::string Text() {
        Flush();
        return std::move(text_);
    }

protected:
    void Take(std::string_view chunk) override { text_.append(chunk); }

private:
    std::string text_;
};

} // namespace kestrom
