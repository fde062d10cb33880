// The token cursor the parsers share: look-ahead, expectations with their
// messages, and the nesting bound.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hdl/Builder.h"
#include "hdl/Lexer.h"
#include "hdl/TranslationError.h"

namespace kestrom::hdl {

class TokenStream {
public:
    TokenStream(Language language, std::string_view text, const TextOrigin& origin,
                const Scope& scope)
        : tokens_(Tokenize(language, text, origin, &scope.Macros)),
          build_(language, origin.File, scope) {}

    const Token& Peek(std::size_t ahead = 0) const {
        const std::size_t at = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[at];
    }
    const Token& Next() {
        const Token& token = tokens_[pos_];
        if (pos_ + 1 < tokens_.size()) ++pos_;
        return token;
    }
    bool AtEnd() const { return Peek().Kind == TokenKind::End; }
    const std::string& File() const { return build_.File(); }
    const Builder& Build() const { return build_; }
    void AllowComingValues() { build_.AllowComingValues(); }

    // A punctuation token or a keyword (VHDL keywords in any case).
    bool Is(std::string_view text, std::size_t ahead = 0) const {
        const Token& token = Peek(ahead);
        if (token.Kind == TokenKind::Punct) return token.Text == text;
        if (token.Kind != TokenKind::Identifier) return false;
        if (build_.Lang() == Language::Vhdl) return FoldCase(token.Text) == text;
        return token.Text == text;
    }
    bool Accept(std::string_view text) {
        if (!Is(text)) return false;
        Next();
        return true;
    }
    void Expect(std::string_view text) {
        if (!Accept(text)) Fail("'" + std::string(text) + "'");
    }
    // "expected X after 'previous token'" at the current token.
    [[noreturn]] void Fail(const std::string& expected) const {
        const std::string after = pos_ > 0 ? tokens_[pos_ - 1].Text : std::string();
        fault::Syntax(File(), Peek().Where, expected, after);
    }
    [[noreturn]] void Refuse(const std::string& what) const { build_.Refuse(Peek().Where, what); }

    // Counts one level of nesting for its lifetime; too deep is an error.
    class Nested {
    public:
        explicit Nested(TokenStream& stream) : stream_(stream) {
            if (++stream_.depth_ > kMaxNesting)
                fault::TooDeep(stream_.File(), stream_.Peek().Where);
        }
        ~Nested() { --stream_.depth_; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;

    private:
        TokenStream& stream_;
    };

private:
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    Builder build_;
};

} // namespace kestrom::hdl
