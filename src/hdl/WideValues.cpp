#include "hdl/WideValues.h"

namespace kestrom::hdl::emit {

std::string Big(int width, const std::string& text) {
    return "sc_biguint<" + std::to_string(width) + "> ( " + Unwrapped(text) + " )";
}

// An operand at its own width: wide or narrow as it is.
std::string WideValues::Own(const Expr& expr) {
    return expr.Width > 64 ? Value(expr, expr.Width) : narrow_.Value(expr, expr.Width).Text;
}

std::string WideValues::Value(const Expr& expr, int width) {
    // A plain decimal is signed but never negative: in an unsigned context it
    // is just its value. Other signed values over 64 bits are refused.
    if (expr.Signed && expr.Kind != ExprKind::Literal)
        narrow_.TooWide(expr, "a signed value in a context wider than 64 bits");
    if (expr.SelfDetermined && width > expr.Width) return Big(width, Own(expr));
    switch (expr.Kind) {
    case ExprKind::Literal:
        return Big(width, Constant(expr.Value, 64, WrittenInHex(expr.Text)));
    case ExprKind::Name:
        return Big(width, narrow_.ReadOf(expr).Text);
    case ExprKind::BitSelect:
    case ExprKind::PartSelect:
        if (expr.Width <= 64) return Big(width, narrow_.Value(expr, expr.Width).Text);
        return Big(width, narrow_.ReadOf(expr).Text + ".range ( " + std::to_string(expr.Msb) +
                              " , " + std::to_string(expr.Lsb) + " )");
    case ExprKind::Concat:
    case ExprKind::Replicate:
        return Concat(expr, width);
    case ExprKind::Unary:
        return Unary(expr, width);
    case ExprKind::Binary:
        return Binary(expr, width);
    case ExprKind::Ternary: {
        const Expr& cond = *expr.Operands[0];
        const std::string test =
            cond.Width > 64 ? Truth(cond) : narrow_.Value(cond, cond.Width).Text;
        return "( " + test + " ? " + Value(*expr.Operands[1], width) + " : " +
               Value(*expr.Operands[2], width) + " )";
    }
    case ExprKind::Call:
        break;
    }
    narrow_.TooWide(expr, "a function call in a context wider than 64 bits");
    return {};
}

// The parts from the most significant down, each shifted into its place.
std::string WideValues::Concat(const Expr& expr, int width) {
    std::vector<const Expr*> parts;
    const int copies = expr.Kind == ExprKind::Replicate ? expr.Count : 1;
    for (int i = 0; i < copies; ++i)
        for (const auto& part : expr.Operands)
            parts.push_back(part.get());
    int shift = 0;
    for (const Expr* part : parts)
        shift += part->Width;
    std::string text;
    for (const Expr* part : parts) {
        shift -= part->Width;
        const std::string placed = Big(width, Own(*part));
        const std::string term =
            shift == 0 ? placed : "( " + placed + " << " + std::to_string(shift) + " )";
        text += (text.empty() ? "" : " | ") + term;
    }
    return Big(width, text);
}

std::string WideValues::Unary(const Expr& expr, int width) {
    const Expr& operand = *expr.Operands[0];
    switch (expr.Unary) {
    case UnaryOp::BitNot:
        return Big(width, "~ " + Value(operand, width));
    case UnaryOp::Negate:
        return Big(width, "- " + Value(operand, width));
    case UnaryOp::Plus:
        return Value(operand, width);
    default: // !a and the reductions are one bit
        return Big(width, narrow_.Value(expr, 1).Text);
    }
}

std::string WideValues::Binary(const Expr& expr, int width) {
    if (IsComparison(expr.Binary) || IsLogical(expr.Binary))
        return Big(width, narrow_.Value(expr, 1).Text);
    if (IsShift(expr.Binary)) return Shift(expr, width);
    const std::string a = Value(*expr.Operands[0], width), b = Value(*expr.Operands[1], width);
    if (expr.Binary == BinaryOp::BitXnor) return Big(width, "~ ( " + a + " ^ " + b + " )");
    return Big(width, a + " " + std::string(Spelling(expr.Binary)) + " " + b);
}

std::string WideValues::Shift(const Expr& expr, int width) {
    const Expr& amount = *expr.Operands[1];
    if (amount.Width > 64) narrow_.TooWide(amount, "a shift amount wider than 64 bits");
    const std::string value = Value(*expr.Operands[0], width);
    const char* op = expr.Binary == BinaryOp::Shl ? " << " : " >> ";
    if (auto constant = ConstantValue(amount)) {
        if (*constant >= static_cast<std::uint64_t>(width)) return Big(width, "0u");
        return Big(width, value + op + std::to_string(*constant));
    }
    const std::string n = narrow_.Value(amount, amount.Width).Text;
    return "( " + n + " < " + std::to_string(width) + "u ? " +
           Big(width, value + op + "int ( " + n + " )") + " : " + Big(width, "0u") + " )";
}

std::string WideValues::Truth(const Expr& expr) {
    return Value(expr, expr.Width) + ".or_reduce ( )";
}

std::string WideValues::Comparison(const Expr& left, const Expr& right, std::string_view op,
                                   int width) {
    return "( " + Value(left, width) + " " + std::string(op) + " " + Value(right, width) + " )";
}

std::string WideValues::Reduction(UnaryOp op, const Expr& operand) {
    const std::string value = Value(operand, operand.Width);
    switch (op) {
    case UnaryOp::ReduceAnd:
        return value + ".and_reduce ( )";
    case UnaryOp::ReduceNand:
        return "! " + value + ".and_reduce ( )";
    case UnaryOp::ReduceOr:
        return value + ".or_reduce ( )";
    case UnaryOp::ReduceNor:
        return "! " + value + ".or_reduce ( )";
    case UnaryOp::ReduceXor:
        return value + ".xor_reduce ( )";
    default:
        return "! " + value + ".xor_reduce ( )";
    }
}

Piece WideValues::Select(const Expr& expr) {
    const std::string name = narrow_.ReadOf(expr).Text;
    if (expr.Kind == ExprKind::BitSelect && expr.Operands.size() > 1) {
        const Expr& index = *expr.Operands[1];
        const std::string at = narrow_.Value(index, index.Width).Text;
        return {"( " + at + " < " + std::to_string(expr.Sym->Width) +
                    "u ? std::uint64_t ( bool ( " + name + " [ int ( " + at + " ) ] ) ) : 0u )",
                true};
    }
    if (expr.Kind == ExprKind::BitSelect)
        return {"std::uint64_t ( bool ( " + name + " [ " + std::to_string(expr.Lsb) + " ] ) )",
                true};
    return {name + ".range ( " + std::to_string(expr.Msb) + " , " + std::to_string(expr.Lsb) +
                " ).to_uint64 ( )",
            true};
}

} // namespace kestrom::hdl::emit
