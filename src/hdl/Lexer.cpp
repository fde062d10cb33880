#include "hdl/Lexer.h"

#include <cctype>

#include "hdl/Macros.h"
#include "hdl/Parse.h"
#include "hdl/TranslationError.h"

namespace kestrom::hdl {
namespace {

// Expanded macros may not grow a text without end (`define A `B `B ...).
constexpr std::size_t kMaxTokens = 200000;

bool IsIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsDirective(std::string_view name) {
    static const char* const kDirectives[] = {
        "include",       "define", "undef",     "ifdef",          "ifndef",          "else",
        "elsif",         "endif",  "timescale", "resetall",       "default_nettype", "celldefine",
        "endcelldefine", "line",   "pragma",    "begin_keywords", "end_keywords"};
    for (const char* directive : kDirectives)
        if (name == directive) return true;
    return false;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

int BitsNeeded(std::uint64_t value) {
    int bits = 1;
    while (bits < 64 && (value >> bits) != 0)
        ++bits;
    return bits;
}

class Lexer {
public:
    Lexer(Language language, std::string_view text, const TextOrigin& origin,
          const MacroTable* macros, std::vector<Token>& out, int depth, const Location* fixed,
          std::string macroName)
        : language_(language), text_(text), origin_(origin), macros_(macros), out_(out),
          depth_(depth), fixed_(fixed), macroName_(std::move(macroName)) {}

    void Run() {
        while (true) {
            SkipBlanksAndComments();
            if (pos_ >= text_.size()) break;
            start_ = pos_;
            LexOne();
            if (out_.size() > kMaxTokens)
                fault::OutOfRange(origin_.File, Here(),
                                  "the text grows beyond 200000 tokens as its macros expand");
        }
    }

private:
    Location Here() const { return LocationOf(start_); }

    Location LocationOf(std::size_t offset) const {
        if (fixed_) return *fixed_;
        int line = 0;
        std::size_t lineStart = 0;
        // Lines are counted incrementally: offsets only grow.
        if (offset >= cachedOffset_) {
            line = cachedLine_;
            lineStart = cachedLineStart_;
            for (std::size_t i = cachedOffset_; i < offset && i < text_.size(); ++i)
                if (text_[i] == '\n') {
                    ++line;
                    lineStart = i + 1;
                }
            cachedOffset_ = offset;
            cachedLine_ = line;
            cachedLineStart_ = lineStart;
        } else {
            for (std::size_t i = 0; i < offset && i < text_.size(); ++i)
                if (text_[i] == '\n') {
                    ++line;
                    lineStart = i + 1;
                }
        }
        const int column = static_cast<int>(offset - lineStart);
        return {origin_.AsfLine + line, line == 0 ? origin_.FirstColumn + column : column + 1};
    }

    char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    void SkipBlanksAndComments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
            } else if (language_ == Language::Vhdl && c == '-' && At(pos_ + 1) == '-') {
                SkipToLineEnd();
            } else if (language_ != Language::Vhdl && c == '/' && At(pos_ + 1) == '/') {
                SkipToLineEnd();
            } else if (language_ != Language::Vhdl && c == '/' && At(pos_ + 1) == '*') {
                const std::size_t close = text_.find("*/", pos_ + 2);
                if (close == std::string_view::npos) {
                    start_ = pos_;
                    fault::SyntaxText(origin_.File, Here(), "a /* comment is not closed");
                }
                pos_ = close + 2;
            } else {
                break;
            }
        }
    }

    void SkipToLineEnd() {
        while (pos_ < text_.size() && text_[pos_] != '\n')
            ++pos_;
    }

    void Push(Token token) {
        token.Where = Here();
        if (!macroName_.empty() && token.Macro.empty()) token.Macro = macroName_;
        out_.push_back(std::move(token));
    }

    void LexOne() {
        const char c = text_[pos_];
        if (language_ == Language::Verilog && c == '`') return LexMacro();
        if (language_ == Language::Vhdl) {
            if (c == '\'' && At(pos_ + 2) == '\'' && !AfterName()) return LexBitChar();
            if (c == '"') return LexBitString(2, pos_ + 1);
            if ((c == 'x' || c == 'X' || c == 'o' || c == 'O' || c == 'b' || c == 'B') &&
                At(pos_ + 1) == '"') {
                const int bits = (c == 'x' || c == 'X') ? 16 : (c == 'o' || c == 'O') ? 8 : 2;
                return LexBitString(bits, pos_ + 2);
            }
        }
        if (IsIdentStart(c) || (language_ == Language::Verilog && c == '$')) return LexIdentifier();
        if (IsDigit(c))
            return language_ == Language::Verilog ? LexVerilogNumber()
                   : language_ == Language::Vhdl  ? LexVhdlNumber()
                                                  : LexCppNumber();
        if (language_ == Language::Verilog && c == '\'') return LexVerilogBased(0, false);
        if (language_ == Language::Verilog && c == '\\')
            fault::Unsupported(origin_.File, Here(), "an escaped identifier");
        if (c == '"') fault::Unsupported(origin_.File, Here(), "a string literal");
        LexPunct();
    }

    // A tick after a name or ')' starts an attribute (clk'event); after a
    // reserved word (else '0', and '1') it opens a character literal.
    bool AfterName() const {
        if (out_.empty()) return false;
        const Token& last = out_.back();
        if (last.Text == ")") return true;
        return last.Kind == TokenKind::Identifier && !IsVhdlReservedWord(last.Text);
    }

    static bool IsVhdlReservedWord(const std::string& word) {
        static const char* const kWords[] = {
            "and",    "or",   "nand", "nor",    "xor",  "xnor", "not",   "mod",  "rem",
            "abs",    "sll",  "srl",  "sla",    "sra",  "rol",  "ror",   "else", "elsif",
            "then",   "when", "is",   "return", "case", "if",   "of",    "to",   "downto",
            "others", "in",   "out",  "select", "with", "null", "until", "wait", "report"};
        std::string folded;
        for (char c : word)
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* reserved : kWords)
            if (folded == reserved) return true;
        return false;
    }

    void LexIdentifier() {
        if (text_[pos_] == '$') ++pos_;
        while (pos_ < text_.size() && IsIdentChar(text_[pos_]) &&
               !(language_ != Language::Verilog && text_[pos_] == '$'))
            ++pos_;
        Token token;
        token.Kind = TokenKind::Identifier;
        token.Text = std::string(text_.substr(start_, pos_ - start_));
        Push(std::move(token));
    }

    void LexMacro() {
        ++pos_;
        const std::size_t nameStart = pos_;
        while (pos_ < text_.size() && IsIdentChar(text_[pos_]))
            ++pos_;
        const std::string name(text_.substr(nameStart, pos_ - nameStart));
        if (name.empty()) fault::Syntax(origin_.File, Here(), "a macro name", "`");
        if (IsDirective(name)) {
            Token token;
            token.Kind = TokenKind::Directive;
            token.Text = "`" + name;
            return Push(std::move(token));
        }
        const Macro* macro = macros_ ? macros_->Find(name) : nullptr;
        if (!macro) fault::UndefinedMacro(origin_.File, Here(), name);
        if (macro->HasParameters)
            fault::Unsupported(origin_.File, Here(), "the macro `" + name + " with parameters");
        if (depth_ >= kMaxNesting) fault::TooDeep(origin_.File, Here());
        const Location use = Here();
        Lexer inner(language_, macro->Value, origin_, macros_, out_, depth_ + 1, &use,
                    macroName_.empty() ? name : macroName_);
        inner.Run();
    }

    void LexVerilogNumber() {
        const std::uint64_t value = Digits(10);
        std::size_t look = pos_;
        while (At(look) == ' ' || At(look) == '\t')
            ++look;
        if (At(look) == '.' && IsDigit(At(look + 1)))
            fault::Unsupported(origin_.File, Here(), "a real number");
        if (At(look) == '\'') {
            if (value == 0) fault::OutOfRange(origin_.File, Here(), "a literal of width 0");
            if (value > static_cast<std::uint64_t>(kMaxWidth))
                fault::OutOfRange(origin_.File, Here(),
                                  "a literal of " + std::to_string(value) + " bits: values up to " +
                                      std::to_string(kMaxWidth) + " bits are supported");
            pos_ = look;
            return LexVerilogBased(static_cast<int>(value), true);
        }
        Token token;
        token.Kind = TokenKind::Number;
        token.Value = value;
        token.Width = BitsNeeded(value) > 32 ? BitsNeeded(value) : 32;
        token.Signed = true; // a plain decimal is a signed integer
        token.Text = std::string(text_.substr(start_, pos_ - start_));
        Push(std::move(token));
    }

    void LexVerilogBased(int width, bool sized) {
        ++pos_; // the quote
        bool isSigned = false;
        if (At(pos_) == 's' || At(pos_) == 'S') {
            isSigned = true;
            ++pos_;
        }
        const char base = static_cast<char>(std::tolower(static_cast<unsigned char>(At(pos_))));
        const int radix = base == 'b'   ? 2
                          : base == 'o' ? 8
                          : base == 'd' ? 10
                          : base == 'h' ? 16
                                        : 0;
        if (radix == 0)
            fault::Syntax(origin_.File, Here(), "a base b, o, d or h",
                          text_.substr(start_, pos_ - start_));
        ++pos_;
        while (At(pos_) == ' ' || At(pos_) == '\t')
            ++pos_;
        const std::uint64_t value = Digits(radix);
        Token token;
        token.Kind = TokenKind::Number;
        token.Text = std::string(text_.substr(start_, pos_ - start_));
        token.Value = value;
        token.Hex = radix == 16;
        token.Signed = isSigned;
        if (!sized) width = BitsNeeded(value) > 32 ? BitsNeeded(value) : 32;
        if (width < 64 && (value >> width) != 0)
            fault::OutOfRange(origin_.File, Here(),
                              "the literal " + token.Text + " does not fit in " +
                                  std::to_string(width) + " bits");
        token.Width = width;
        Push(std::move(token));
    }

    // Digits of `radix` with underscores; refuses x/z digits and overflow.
    std::uint64_t Digits(int radix) {
        const std::size_t first = pos_;
        std::uint64_t value = 0;
        bool any = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '_' && any) {
                ++pos_;
                continue;
            }
            if (c == 'x' || c == 'X' || c == 'z' || c == 'Z' || c == '?') {
                fault::Unsupported(origin_.File, Here(), "an x or z digit in a literal");
            }
            const int digit = DigitValue(c);
            if (digit >= radix) {
                if (IsIdentChar(c))
                    fault::Syntax(origin_.File, Here(), "a digit of base " + std::to_string(radix),
                                  text_.substr(start_, pos_ - start_));
                break;
            }
            if (value > (~std::uint64_t{0} - static_cast<std::uint64_t>(digit)) /
                            static_cast<std::uint64_t>(radix))
                fault::OutOfRange(origin_.File, Here(),
                                  "the number " +
                                      std::string(text_.substr(start_, pos_ + 1 - start_)) +
                                      " does not fit in 64 bits");
            value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
            any = true;
            ++pos_;
        }
        if (!any)
            fault::Syntax(origin_.File, Here(), "digits",
                          text_.substr(start_, std::max<std::size_t>(pos_, first) - start_));
        return value;
    }

    void LexVhdlNumber() {
        std::uint64_t value = Digits(10);
        if (At(pos_) == '#') {
            if (value < 2 || value > 16)
                fault::OutOfRange(origin_.File, Here(), "a number base outside 2 to 16");
            ++pos_;
            value = Digits(static_cast<int>(value));
            if (At(pos_) != '#')
                fault::Syntax(origin_.File, Here(), "'#'", text_.substr(start_, pos_ - start_));
            ++pos_;
        }
        if (At(pos_) == '.' && IsDigit(At(pos_ + 1)))
            fault::Unsupported(origin_.File, Here(), "a real number");
        if (value > 0x7fffffffu)
            fault::OutOfRange(origin_.File, Here(), "an integer beyond 2147483647");
        Token token;
        token.Kind = TokenKind::Number;
        token.Value = value;
        token.Width = 32;
        token.Signed = true;
        token.Text = std::string(text_.substr(start_, pos_ - start_));
        Push(std::move(token));
    }

    void LexCppNumber() {
        int radix = 10;
        bool hex = false;
        if (At(pos_) == '0' && (At(pos_ + 1) == 'x' || At(pos_ + 1) == 'X')) {
            radix = 16;
            hex = true;
            pos_ += 2;
        } else if (At(pos_) == '0' && (At(pos_ + 1) == 'b' || At(pos_ + 1) == 'B')) {
            radix = 2;
            pos_ += 2;
        } else if (At(pos_) == '0' && IsDigit(At(pos_ + 1))) {
            radix = 8;
            ++pos_;
        }
        const std::uint64_t value = Digits(radix);
        bool isUnsigned = false;
        while (At(pos_) == 'u' || At(pos_) == 'U' || At(pos_) == 'l' || At(pos_) == 'L') {
            isUnsigned = isUnsigned || At(pos_) == 'u' || At(pos_) == 'U';
            ++pos_;
        }
        if (At(pos_) == '.') fault::Unsupported(origin_.File, Here(), "a floating-point number");
        if (IsIdentChar(At(pos_)))
            fault::Syntax(origin_.File, Here(), "an operator", text_.substr(start_, pos_ - start_));
        Token token;
        token.Kind = TokenKind::Number;
        token.Value = value;
        token.Hex = hex;
        token.Width = BitsNeeded(value) > 32 ? 64 : 32;
        token.Signed = !isUnsigned && token.Width == 32 && value <= 0x7fffffffu;
        token.Text = std::string(text_.substr(start_, pos_ - start_));
        Push(std::move(token));
    }

    void LexBitChar() {
        const char bit = At(pos_ + 1);
        if (bit != '0' && bit != '1')
            fault::Unsupported(origin_.File, Here(),
                               "the character literal '" + std::string(1, bit) + "'");
        pos_ += 3;
        Token token;
        token.Kind = TokenKind::BitChar;
        token.Value = bit == '1' ? 1 : 0;
        token.Width = 1;
        token.Text = std::string(text_.substr(start_, 3));
        Push(std::move(token));
    }

    void LexBitString(int radix, std::size_t open) {
        const std::size_t close = text_.find('"', open);
        if (close == std::string_view::npos)
            fault::SyntaxText(origin_.File, Here(), "a bit string is not closed");
        const int bitsPerDigit = radix == 16 ? 4 : radix == 8 ? 3 : 1;
        std::uint64_t value = 0;
        int width = 0;
        for (std::size_t i = open; i < close; ++i) {
            const char c = text_[i];
            if (c == '_') continue;
            const int digit = DigitValue(c);
            if (digit >= radix)
                fault::Unsupported(origin_.File, Here(),
                                   "the bit string " +
                                       std::string(text_.substr(start_, close + 1 - start_)) +
                                       " (only 0 and 1 bits)");
            width += bitsPerDigit;
            if (width > 64)
                fault::OutOfRange(origin_.File, Here(),
                                  "a bit string wider than 64 bits is not supported");
            value = (value << bitsPerDigit) | static_cast<std::uint64_t>(digit);
        }
        if (width == 0) fault::Unsupported(origin_.File, Here(), "an empty bit string");
        pos_ = close + 1;
        Token token;
        token.Kind = TokenKind::BitString;
        token.Value = value;
        token.Width = width;
        token.Hex = radix == 16;
        token.Text = std::string(text_.substr(start_, pos_ - start_));
        Push(std::move(token));
    }

    void LexPunct() {
        static const char* const kVerilog[] = {
            "<<<", ">>>", "===", "!==", "<=", ">=", "==", "!=", "&&", "||",
            "<<",  ">>",  "~&",  "~|",  "~^", "^~", "**", "+:", "-:", "->"};
        static const char* const kVhdl[] = {"<=", ">=", "/=", "=>", ":=", "**", "<>"};
        static const char* const kCpp[] = {"<<=", ">>=", "==", "!=", "<=", ">=", "&&",
                                           "||",  "<<",  ">>", "::", "->", "++", "--",
                                           "+=",  "-=",  "*=", "/=", "&=", "|=", "^="};
        auto tryList = [&](auto& list) {
            for (const char* op : list) {
                const std::string_view spelled(op);
                if (text_.substr(pos_, spelled.size()) == spelled) {
                    pos_ += spelled.size();
                    return true;
                }
            }
            return false;
        };
        bool matched = language_ == Language::Verilog ? tryList(kVerilog)
                       : language_ == Language::Vhdl  ? tryList(kVhdl)
                                                      : tryList(kCpp);
        if (!matched) {
            const char c = text_[pos_];
            static const std::string_view kSingle = "()[]{},;:?@#=<>+-*/%&|^~!.'";
            if (kSingle.find(c) == std::string_view::npos) {
                const unsigned char byte = static_cast<unsigned char>(c);
                std::string shown = std::isprint(byte)
                                        ? std::string(1, c)
                                        : "\\x" + std::string(1, "0123456789abcdef"[byte >> 4]) +
                                              std::string(1, "0123456789abcdef"[byte & 15]);
                fault::SyntaxText(origin_.File, Here(), "unexpected character '" + shown + "'");
            }
            ++pos_;
        }
        Token token;
        token.Kind = TokenKind::Punct;
        token.Text = std::string(text_.substr(start_, pos_ - start_));
        Push(std::move(token));
    }

    Language language_;
    std::string_view text_;
    const TextOrigin& origin_;
    const MacroTable* macros_;
    std::vector<Token>& out_;
    int depth_;
    const Location* fixed_;
    std::string macroName_;
    std::size_t pos_ = 0;
    std::size_t start_ = 0;
    mutable std::size_t cachedOffset_ = 0;
    mutable int cachedLine_ = 0;
    mutable std::size_t cachedLineStart_ = 0;
};

} // namespace

std::vector<Token> Tokenize(Language language, std::string_view text, const TextOrigin& origin,
                            const MacroTable* macros) {
    std::vector<Token> tokens;
    Lexer lexer(language, text, origin, macros, tokens, 0, nullptr, {});
    lexer.Run();
    Token end;
    end.Kind = TokenKind::End;
    end.Text = "";
    Location last{origin.AsfLine, origin.FirstColumn};
    if (!tokens.empty()) last = tokens.back().Where;
    end.Where = last;
    tokens.push_back(std::move(end));
    return tokens;
}

} // namespace kestrom::hdl
