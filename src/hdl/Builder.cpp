#include "hdl/Builder.h"

#include <algorithm>

#include "hdl/TranslationError.h"

namespace kestrom::hdl {
namespace {

ExprPtr NewExpr(ExprKind kind, Location where) {
    auto expr = std::make_unique<Expr>();
    expr->Kind = kind;
    expr->Where = where;
    return expr;
}

bool IsUnary1Bit(UnaryOp op) {
    return op != UnaryOp::BitNot && op != UnaryOp::Negate && op != UnaryOp::Plus;
}

} // namespace

bool IsUnsizedLiteral(const Expr& expr) {
    if (expr.Kind != ExprKind::Literal) return false;
    const auto quote = expr.Text.find('\'');
    return expr.Text.empty() || quote == std::string::npos || quote == 0;
}

void Builder::Refuse(Location where, const std::string& what) const {
    fault::Unsupported(file_, where, what);
}

void Builder::Nest(Expr& expr) const {
    for (const ExprPtr& operand : expr.Operands)
        expr.Depth = std::max(expr.Depth, operand->Depth + 1);
    if (expr.Depth > kMaxNesting) fault::TooDeep(file_, expr.Where);
}

ExprPtr Builder::Literal(const Token& token) const {
    auto expr = Number(token.Value, token.Width, token.Signed, token.Where, token.Text);
    if (token.Kind == TokenKind::Number && language_ == Language::Vhdl) expr->IsInteger = true;
    return expr;
}

ExprPtr Builder::Number(std::uint64_t value, int width, bool isSigned, Location where,
                        std::string spelling) const {
    auto expr = NewExpr(ExprKind::Literal, where);
    expr->Value = value;
    expr->Width = width;
    expr->Signed = isSigned;
    expr->Text = std::move(spelling);
    return expr;
}

const Symbol* Builder::ComingOf(const std::string& name) const {
    const std::string_view prefix = "next_";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return nullptr;
    const Symbol* registered = scope_.Symbols.Find(name.substr(prefix.size()), language_);
    return registered && IsWritable(registered->Kind) ? registered : nullptr;
}

ExprPtr Builder::NameOrNull(const std::string& name, Location where) const {
    const Symbol* symbol = scope_.Symbols.Find(name, language_);
    const Symbol* coming = symbol || !coming_ ? nullptr : ComingOf(name);
    if (coming) symbol = coming;
    if (!symbol) return nullptr;
    auto expr = NewExpr(ExprKind::Name, where);
    expr->Sym = symbol;
    expr->Coming = coming != nullptr;
    expr->Text = coming ? name : symbol->Name;
    expr->Width = symbol->Width;
    expr->Signed = symbol->Signed;
    expr->IsInteger = symbol->IsInteger;
    if (symbol->Width < 1) fault::WidthUnknown(file_, where, "'" + name + "'");
    return expr;
}

ExprPtr Builder::Name(const std::string& name, Location where) const {
    auto expr = NameOrNull(name, where);
    if (expr) return expr;
    // The editor's own name of a register's coming value, outside the diagram actions.
    if (const Symbol* registered = ComingOf(name))
        fault::Unsupported(file_, where,
                           "reading '" + name + "' (the value '" + registered->Name +
                               "' takes at the coming edge) outside the diagram actions");
    fault::UnknownName(file_, where, name);
}

ExprPtr Builder::Unary(UnaryOp op, ExprPtr operand, Location where) const {
    auto expr = NewExpr(ExprKind::Unary, where);
    expr->Unary = op;
    expr->Width = IsUnary1Bit(op) ? 1 : operand->Width;
    expr->Signed = !IsUnary1Bit(op) && operand->Signed;
    expr->IsInteger = !IsUnary1Bit(op) && operand->IsInteger;
    expr->Operands.push_back(std::move(operand));
    Nest(*expr);
    return expr;
}

ExprPtr Builder::Binary(BinaryOp op, ExprPtr left, ExprPtr right, Location where) const {
    auto expr = NewExpr(ExprKind::Binary, where);
    expr->Binary = op;
    if (IsComparison(op) || IsLogical(op)) {
        expr->Width = 1;
    } else if (IsShift(op)) {
        expr->Width = left->Width;
        expr->Signed = left->Signed;
        expr->IsInteger = left->IsInteger;
    } else {
        expr->Width = std::max(left->Width, right->Width);
        expr->Signed = left->Signed && right->Signed;
        expr->IsInteger = left->IsInteger && right->IsInteger;
    }
    expr->Operands.push_back(std::move(left));
    expr->Operands.push_back(std::move(right));
    Nest(*expr);
    return expr;
}

ExprPtr Builder::Ternary(ExprPtr cond, ExprPtr then, ExprPtr otherwise, Location where) const {
    auto expr = NewExpr(ExprKind::Ternary, where);
    expr->Width = std::max(then->Width, otherwise->Width);
    expr->Signed = then->Signed && otherwise->Signed;
    expr->Operands.push_back(std::move(cond));
    expr->Operands.push_back(std::move(then));
    expr->Operands.push_back(std::move(otherwise));
    Nest(*expr);
    return expr;
}

ExprPtr Builder::Concat(std::vector<ExprPtr> parts, Location where) const {
    auto expr = NewExpr(ExprKind::Concat, where);
    long width = 0;
    for (const auto& part : parts) {
        if (IsUnsizedLiteral(*part))
            fault::WidthUnknown(file_, part->Where,
                                "the unsized number " + part->Text + " in a concatenation");
        width += part->Width;
    }
    if (width > kMaxWidth)
        fault::OutOfRange(file_, where,
                          "a concatenation of " + std::to_string(width) + " bits: values up to " +
                              std::to_string(kMaxWidth) + " bits are supported");
    expr->Width = static_cast<int>(width);
    expr->Operands = std::move(parts);
    Nest(*expr);
    return expr;
}

std::uint64_t Builder::Constant(const Expr& expr, const char* what) const {
    auto value = ConstantValue(expr);
    if (!value) Refuse(expr.Where, std::string("a non-constant ") + what);
    return *value;
}

ExprPtr Builder::Replicate(const Expr& count, ExprPtr value, Location where) const {
    const std::uint64_t times = Constant(count, "replication count");
    if (IsUnsizedLiteral(*value))
        fault::WidthUnknown(file_, value->Where,
                            "the unsized number " + value->Text + " in a replication");
    const auto most = static_cast<std::uint64_t>(kMaxWidth);
    if (times == 0 || times > most || times * static_cast<std::uint64_t>(value->Width) > most)
        fault::OutOfRange(file_, where,
                          "a replication of " + std::to_string(times) + " times " +
                              std::to_string(value->Width) + " bits: values of 1 to " +
                              std::to_string(kMaxWidth) + " bits are supported");
    auto expr = NewExpr(ExprKind::Replicate, where);
    expr->Count = static_cast<int>(times);
    expr->Width = static_cast<int>(times) * value->Width;
    expr->Operands.push_back(std::move(value));
    Nest(*expr);
    return expr;
}

ExprPtr Builder::BitSelect(ExprPtr name, ExprPtr index, Location where) const {
    if (name->Kind != ExprKind::Name) Refuse(where, "a bit select of anything but a name");
    const Symbol& symbol = *name->Sym;
    auto expr = NewExpr(ExprKind::BitSelect, where);
    expr->Sym = name->Sym;
    expr->Text = name->Text;
    expr->Width = 1;
    if (auto constant = ConstantValue(*index)) {
        const std::int64_t at = static_cast<std::int64_t>(*constant);
        const int position = *constant > 0x7fffffff ? -1 : BitPosition(symbol, at);
        if (position < 0)
            fault::OutOfRange(file_, index->Where,
                              "bit " + std::to_string(*constant) + " of '" + symbol.Name +
                                  "' is outside its range [" + std::to_string(symbol.Left) + ":" +
                                  std::to_string(symbol.Right) + "]");
        expr->Msb = expr->Lsb = position;
        expr->Operands.push_back(std::move(name));
        Nest(*expr);
        return expr;
    }
    if (symbol.Right != 0 || symbol.Left < symbol.Right)
        Refuse(where, "a variable index into '" + symbol.Name + "', whose range does not end at 0");
    expr->Msb = expr->Lsb = -1;
    expr->Operands.push_back(std::move(name));
    expr->Operands.push_back(std::move(index));
    Nest(*expr);
    return expr;
}

ExprPtr Builder::PartSelect(ExprPtr name, const Expr& msb, const Expr& lsb, Location where) const {
    if (name->Kind != ExprKind::Name) Refuse(where, "a part select of anything but a name");
    const Symbol& symbol = *name->Sym;
    const std::uint64_t left = Constant(msb, "part-select bound");
    const std::uint64_t right = Constant(lsb, "part-select bound");
    const int high = left > 0x7fffffff ? -1 : BitPosition(symbol, static_cast<std::int64_t>(left));
    const int low = right > 0x7fffffff ? -1 : BitPosition(symbol, static_cast<std::int64_t>(right));
    const std::string shown = "[" + std::to_string(left) + ":" + std::to_string(right) + "]";
    if (high < 0 || low < 0)
        fault::OutOfRange(file_, where,
                          "the bits " + shown + " of '" + symbol.Name +
                              "' are outside its range [" + std::to_string(symbol.Left) + ":" +
                              std::to_string(symbol.Right) + "]");
    if (high < low)
        fault::OutOfRange(file_, where,
                          "the part select " + shown + " of '" + symbol.Name +
                              "' runs against its declared direction");
    auto expr = NewExpr(ExprKind::PartSelect, where);
    expr->Sym = name->Sym;
    expr->Text = name->Text;
    expr->Msb = high;
    expr->Lsb = low;
    expr->Width = high - low + 1;
    expr->Operands.push_back(std::move(name));
    Nest(*expr);
    return expr;
}

void Builder::CheckTarget(const Expr& target) const {
    switch (target.Kind) {
    case ExprKind::Concat:
        for (const auto& part : target.Operands)
            CheckTarget(*part);
        return;
    case ExprKind::Name:
    case ExprKind::BitSelect:
    case ExprKind::PartSelect:
        break;
    default:
        Refuse(target.Where, "an assignment to anything but a name, a select or a concatenation");
    }
    const Symbol& symbol = *target.Sym;
    if (symbol.Kind == SymbolKind::Input) fault::WriteToInput(file_, target.Where, symbol.Name);
    if (!IsWritable(symbol.Kind)) fault::WriteToConstant(file_, target.Where, symbol.Name);
    if (target.Kind == ExprKind::BitSelect && target.Operands.size() > 1)
        Refuse(target.Where, "an assignment to a bit of '" + symbol.Name + "' at a variable index");
}

StmtPtr Builder::Assign(ExprPtr target, ExprPtr value, bool nonBlocking, Location where) const {
    CheckTarget(*target);
    auto statement = std::make_unique<Stmt>();
    statement->Kind = StmtKind::Assign;
    statement->Where = where;
    statement->Target = std::move(target);
    statement->Value = std::move(value);
    statement->NonBlocking = nonBlocking;
    return statement;
}

} // namespace kestrom::hdl
