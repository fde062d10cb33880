// Builds typed tree nodes: every node gets its width and signedness as it is
// made, and names are resolved against the scope. Shared by the parsers.
#pragma once

#include <string>
#include <vector>

#include "hdl/Lexer.h"
#include "hdl/Parse.h"
#include "hdl/Tree.h"

namespace kestrom::hdl {

class Builder {
public:
    Builder(Language language, const std::string& file, const Scope& scope)
        : language_(language), file_(file), scope_(scope) {}

    Language Lang() const { return language_; }
    const std::string& File() const { return file_; }
    const Scope& Context() const { return scope_; }
    // Diagram actions may read next_X, the coming value of a register X.
    void AllowComingValues() { coming_ = true; }

    ExprPtr Literal(const Token& token) const;
    ExprPtr Number(std::uint64_t value, int width, bool isSigned, Location where,
                   std::string spelling) const;
    // Nothing when the name is not declared.
    ExprPtr NameOrNull(const std::string& name, Location where) const;
    ExprPtr Name(const std::string& name, Location where) const; // K402 when unknown
    ExprPtr Unary(UnaryOp op, ExprPtr operand, Location where) const;
    ExprPtr Binary(BinaryOp op, ExprPtr left, ExprPtr right, Location where) const;
    ExprPtr Ternary(ExprPtr cond, ExprPtr then, ExprPtr otherwise, Location where) const;
    ExprPtr Concat(std::vector<ExprPtr> parts, Location where) const;
    ExprPtr Replicate(const Expr& count, ExprPtr value, Location where) const;
    ExprPtr BitSelect(ExprPtr name, ExprPtr index, Location where) const;
    ExprPtr PartSelect(ExprPtr name, const Expr& msb, const Expr& lsb, Location where) const;

    StmtPtr Assign(ExprPtr target, ExprPtr value, bool nonBlocking, Location where) const;

    [[noreturn]] void Refuse(Location where, const std::string& what) const;

private:
    std::uint64_t Constant(const Expr& expr, const char* what) const;
    void CheckTarget(const Expr& target) const;
    // Sets the depth from the operands; deeper than kMaxNesting is refused.
    void Nest(Expr& expr) const;
    // next_X of a writable X, or nullptr.
    const Symbol* ComingOf(const std::string& name) const;
    bool coming_ = false;

    Language language_;
    const std::string& file_;
    const Scope& scope_;
};

bool IsUnsizedLiteral(const Expr& expr);

} // namespace kestrom::hdl
