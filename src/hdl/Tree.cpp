#include "hdl/Tree.h"

#include <algorithm>

namespace kestrom::hdl {

bool IsComparison(BinaryOp op) {
    return op == BinaryOp::Eq || op == BinaryOp::Ne || op == BinaryOp::Lt || op == BinaryOp::Le ||
           op == BinaryOp::Gt || op == BinaryOp::Ge;
}

bool IsLogical(BinaryOp op) {
    return op == BinaryOp::LogicAnd || op == BinaryOp::LogicOr;
}

bool IsShift(BinaryOp op) {
    return op == BinaryOp::Shl || op == BinaryOp::Shr;
}

bool IsContextDetermined(BinaryOp op) {
    return !IsComparison(op) && !IsLogical(op) && !IsShift(op);
}

std::string_view Spelling(BinaryOp op) {
    switch (op) {
    case BinaryOp::Add:
        return "+";
    case BinaryOp::Sub:
        return "-";
    case BinaryOp::Mul:
        return "*";
    case BinaryOp::BitAnd:
        return "&";
    case BinaryOp::BitOr:
        return "|";
    case BinaryOp::BitXor:
        return "^";
    case BinaryOp::BitXnor:
        return "~^";
    case BinaryOp::LogicAnd:
        return "&&";
    case BinaryOp::LogicOr:
        return "||";
    case BinaryOp::Eq:
        return "==";
    case BinaryOp::Ne:
        return "!=";
    case BinaryOp::Lt:
        return "<";
    case BinaryOp::Le:
        return "<=";
    case BinaryOp::Gt:
        return ">";
    case BinaryOp::Ge:
        return ">=";
    case BinaryOp::Shl:
        return "<<";
    case BinaryOp::Shr:
        return ">>";
    }
    return "?";
}

std::string_view Spelling(UnaryOp op) {
    switch (op) {
    case UnaryOp::LogicNot:
        return "!";
    case UnaryOp::BitNot:
        return "~";
    case UnaryOp::Negate:
        return "-";
    case UnaryOp::Plus:
        return "+";
    case UnaryOp::ReduceAnd:
        return "&";
    case UnaryOp::ReduceOr:
        return "|";
    case UnaryOp::ReduceXor:
        return "^";
    case UnaryOp::ReduceNand:
        return "~&";
    case UnaryOp::ReduceNor:
        return "~|";
    case UnaryOp::ReduceXnor:
        return "~^";
    }
    return "?";
}

namespace {

std::uint64_t MaskOf(int width) {
    return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

std::optional<std::uint64_t> Fold(const Expr& expr, int depth);

std::optional<std::uint64_t> FoldBinary(const Expr& expr, int depth) {
    auto a = Fold(*expr.Operands[0], depth + 1);
    auto b = Fold(*expr.Operands[1], depth + 1);
    if (!a || !b) return std::nullopt;
    const std::uint64_t x = *a, y = *b;
    if (auto plain = ApplyPlainOperator(expr.Binary, x, y)) return plain;
    switch (expr.Binary) {
    case BinaryOp::LogicAnd:
        return (x && y) ? 1 : 0;
    case BinaryOp::LogicOr:
        return (x || y) ? 1 : 0;
    case BinaryOp::Eq:
        return x == y ? 1 : 0;
    case BinaryOp::Ne:
        return x != y ? 1 : 0;
    case BinaryOp::Lt:
        return x < y ? 1 : 0;
    case BinaryOp::Le:
        return x <= y ? 1 : 0;
    case BinaryOp::Gt:
        return x > y ? 1 : 0;
    case BinaryOp::Ge:
        return x >= y ? 1 : 0;
    case BinaryOp::Shl:
        return y >= 64 ? 0 : x << y;
    case BinaryOp::Shr:
        return y >= 64 ? 0 : x >> y;
    default:
        return std::nullopt;
    }
}

// Constant folding at each node's own width: good for the indexes,
// replication counts and case labels, which are self-determined.
std::optional<std::uint64_t> Fold(const Expr& expr, int depth) {
    if (depth > 400) return std::nullopt;
    std::optional<std::uint64_t> value;
    switch (expr.Kind) {
    case ExprKind::Literal:
        value = expr.Value;
        break;
    case ExprKind::Name:
        if (expr.Sym && expr.Sym->Value &&
            (expr.Sym->Kind == SymbolKind::Constant || expr.Sym->Kind == SymbolKind::EnumValue))
            value = *expr.Sym->Value;
        break;
    case ExprKind::Unary: {
        auto a = Fold(*expr.Operands[0], depth + 1);
        if (!a) return std::nullopt;
        const int w = expr.Operands[0]->Width;
        switch (expr.Unary) {
        case UnaryOp::LogicNot:
            value = *a == 0;
            break;
        case UnaryOp::BitNot:
            value = ~*a;
            break;
        case UnaryOp::Negate:
            value = 0 - *a;
            break;
        case UnaryOp::Plus:
            value = *a;
            break;
        case UnaryOp::ReduceAnd:
            value = *a == MaskOf(w);
            break;
        case UnaryOp::ReduceOr:
            value = *a != 0;
            break;
        case UnaryOp::ReduceXor:
            value = __builtin_popcountll(*a) & 1;
            break;
        case UnaryOp::ReduceNand:
            value = *a != MaskOf(w);
            break;
        case UnaryOp::ReduceNor:
            value = *a == 0;
            break;
        case UnaryOp::ReduceXnor:
            value = !(__builtin_popcountll(*a) & 1);
            break;
        }
        break;
    }
    case ExprKind::Binary:
        value = FoldBinary(expr, depth);
        break;
    case ExprKind::Ternary: {
        auto c = Fold(*expr.Operands[0], depth + 1);
        if (!c) return std::nullopt;
        value = Fold(*expr.Operands[*c ? 1 : 2], depth + 1);
        break;
    }
    default:
        break;
    }
    if (!value) return std::nullopt;
    return *value & MaskOf(expr.Width);
}

void CollectWritesOf(const Expr& target, std::vector<const Symbol*>& written) {
    if (target.Kind == ExprKind::Concat) {
        for (const auto& part : target.Operands)
            CollectWritesOf(*part, written);
    } else if (target.Sym &&
               std::find(written.begin(), written.end(), target.Sym) == written.end()) {
        written.push_back(target.Sym);
    }
}

} // namespace

std::optional<std::uint64_t> ConstantValue(const Expr& expr) {
    return Fold(expr, 0);
}

void CollectWrites(const StmtList& statements, std::vector<const Symbol*>& written) {
    for (const auto& statement : statements) {
        switch (statement->Kind) {
        case StmtKind::Assign:
            CollectWritesOf(*statement->Target, written);
            break;
        case StmtKind::If:
            CollectWrites(statement->Then, written);
            for (const auto& elif : statement->Elifs)
                CollectWrites(elif.Body, written);
            CollectWrites(statement->Else, written);
            break;
        case StmtKind::Case:
            for (const auto& item : statement->Items)
                CollectWrites(item.Body, written);
            CollectWrites(statement->Default, written);
            break;
        case StmtKind::Block:
            CollectWrites(statement->Body, written);
            break;
        }
    }
}

void CollectComingReads(const Expr& expr, std::vector<const Symbol*>& read) {
    if (expr.Coming && std::find(read.begin(), read.end(), expr.Sym) == read.end())
        read.push_back(expr.Sym);
    for (const auto& operand : expr.Operands)
        CollectComingReads(*operand, read);
}

void CollectReads(const Expr& expr, std::vector<const Symbol*>& read) {
    if (expr.Sym && std::find(read.begin(), read.end(), expr.Sym) == read.end())
        read.push_back(expr.Sym);
    for (const auto& operand : expr.Operands)
        CollectReads(*operand, read);
}

} // namespace kestrom::hdl
