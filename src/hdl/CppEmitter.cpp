#include "hdl/CppEmitter.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "hdl/EmitText.h"
#include "hdl/TranslationError.h"
#include "hdl/WideValues.h"

namespace kestrom::hdl {
namespace {

using namespace emit;

class Emitter : public NarrowValues {
public:
    explicit Emitter(const Naming& naming) : naming_(naming), wide_(*this) {}

    std::string Condition(const Expr& expr) { return Unwrapped(Truth(expr)); }

    Piece Value(const Expr& expr, int width) override {
        if (width > 64) return {wide_.Value(expr, width), true};
        if (expr.SelfDetermined && width > expr.Width)
            return Extend(Value(expr, expr.Width), expr, width);
        switch (expr.Kind) {
        case ExprKind::Literal:
            return Literal(expr, width);
        case ExprKind::Name:
            return Extend(ReadOf(expr), expr, width);
        case ExprKind::BitSelect:
            return BitSelect(expr);
        case ExprKind::PartSelect:
            return PartSelect(expr);
        case ExprKind::Concat:
            return Concat(expr);
        case ExprKind::Replicate:
            return Replicate(expr);
        case ExprKind::Unary:
            return Unary(expr, width);
        case ExprKind::Binary:
            return Binary(expr, width);
        case ExprKind::Ternary:
            return Ternary(expr, width);
        case ExprKind::Call:
            break;
        }
        fault::Unsupported(naming_.File, expr.Where, "function call '" + expr.Text + "'");
    }

    void Statements(const StmtList& statements, CodePrinter& out) {
        for (const auto& statement : statements)
            Statement(*statement, out);
    }

    [[noreturn]] void TooWide(const Expr& expr, const char* what) const override {
        fault::Unsupported(naming_.File, expr.Where, what);
    }

    Piece ReadOf(const Expr& expr) override {
        const Expr& name = expr.Kind == ExprKind::Name ? expr : *expr.Operands[0];
        if (!name.Coming) return Read(*expr.Sym);
        if (!naming_.ReadComing)
            fault::Unsupported(naming_.File, name.Where, "reading '" + name.Text + "' here");
        return {naming_.ReadComing(*expr.Sym), expr.Sym->Width > 32};
    }

    Piece Read(const Symbol& symbol) {
        const bool written = blocking_.count(&symbol) > 0;
        return {written ? naming_.Write(symbol) : naming_.Read(symbol), symbol.Width > 32};
    }

private:
    // A value as a condition: nonzero holds.
    std::string Truth(const Expr& expr) {
        return expr.Width > 64 ? wide_.Truth(expr) : Value(expr, expr.Width).Text;
    }

    // A signed value widened to the context keeps its sign.
    Piece Extend(Piece piece, const Expr& expr, int width) {
        if (!expr.Signed || width <= expr.Width) return piece;
        const std::uint64_t sign = std::uint64_t{1} << (expr.Width - 1);
        const std::string operand = width > 32 ? Widened(piece) : piece.Text;
        return Masked("((" + operand + " ^ " + Constant(sign, width) + ") - " +
                          Constant(sign, width) + ")",
                      width);
    }

    static Piece Masked(const std::string& text, int width) {
        if (width >= 64) return {text, true};
        return {"(" + Atom(text) + " & " + MaskText(width) + ")", width > 32};
    }

    Piece Literal(const Expr& expr, int width) {
        if (expr.Text == "true" || expr.Text == "false") return {expr.Text, false};
        std::uint64_t value = expr.Value;
        if (expr.Signed && width > expr.Width && (value >> (expr.Width - 1)) & 1)
            value |= ~Mask(expr.Width);
        return {Constant(value & Mask(width), width, WrittenInHex(expr.Text)), width > 32};
    }

    Piece BitSelect(const Expr& expr) {
        if (expr.Sym->Width > 64) return wide_.Select(expr);
        const Piece name = ReadOf(expr);
        if (expr.Operands.size() > 1) {
            const Expr& index = *expr.Operands[1];
            const Piece at = Value(index, index.Width);
            return {"(" + at.Text + " < " + Constant(expr.Sym->Width, index.Width) + " ? (" +
                        name.Text + " >> " + at.Text + ") & 1u : 0u)",
                    false};
        }
        if (expr.Sym->Width == 1) return name;
        if (expr.Lsb == 0) return {"(" + name.Text + " & 1u)", false};
        return {"((" + name.Text + " >> " + std::to_string(expr.Lsb) + ") & 1u)", false};
    }

    Piece PartSelect(const Expr& expr) {
        if (expr.Sym->Width > 64) return wide_.Select(expr);
        const Piece name = ReadOf(expr);
        if (expr.Lsb == 0 && expr.Width == expr.Sym->Width) return name;
        const std::string shifted =
            expr.Lsb == 0 ? name.Text : "(" + name.Text + " >> " + std::to_string(expr.Lsb) + ")";
        return {"(" + shifted + " & " + MaskText(expr.Width) + ")", expr.Width > 32 && name.Wide};
    }

    Piece Concat(const Expr& expr) {
        const bool wide = expr.Width > 32;
        int shift = expr.Width;
        std::string text;
        for (const auto& part : expr.Operands) {
            shift -= part->Width;
            Piece piece = Value(*part, part->Width);
            const std::string operand = wide ? Widened(piece) : piece.Text;
            if (!text.empty()) text += " | ";
            text += shift == 0 ? operand : "(" + operand + " << " + std::to_string(shift) + ")";
        }
        if (expr.Operands.size() == 1) return {text, wide};
        return {"(" + text + ")", wide};
    }

    Piece Replicate(const Expr& expr) {
        const Expr& part = *expr.Operands[0];
        Piece piece = Value(part, part.Width);
        if (expr.Count == 1) return piece;
        std::uint64_t pattern = 0;
        for (int i = 0; i < expr.Count; ++i)
            pattern |= std::uint64_t{1} << (i * part.Width);
        const bool wide = expr.Width > 32;
        return {"(" + (wide ? Widened(piece) : piece.Text) + " * " + Constant(pattern, expr.Width) +
                    ")",
                wide};
    }

    Piece Unary(const Expr& expr, int width) {
        const Expr& operand = *expr.Operands[0];
        const int own = operand.Width;
        switch (expr.Unary) {
        case UnaryOp::LogicNot:
            return {"!" + Atom(Truth(operand)), false};
        case UnaryOp::BitNot: {
            if (width == 1) return {"!" + Value(operand, 1).Text, false};
            const Piece value = Value(operand, width);
            return Masked("~" + (width > 32 ? Widened(value) : value.Text), width);
        }
        case UnaryOp::Negate: {
            const Piece value = Value(operand, width);
            return Masked("-" + (width > 32 ? Widened(value) : value.Text), width);
        }
        case UnaryOp::Plus:
            return Value(operand, width);
        default:
            break;
        }
        if (own > 64) return {"( " + wide_.Reduction(expr.Unary, operand) + " )", false};
        const Piece value = Value(operand, own);
        const std::string all = MaskText(own);
        const std::string zero = own > 32 ? "0ull" : "0u";
        switch (expr.Unary) {
        case UnaryOp::ReduceAnd:
            return {"(" + value.Text + " == " + all + ")", false};
        case UnaryOp::ReduceOr:
            return {"(" + value.Text + " != " + zero + ")", false};
        case UnaryOp::ReduceNand:
            return {"(" + value.Text + " != " + all + ")", false};
        case UnaryOp::ReduceNor:
            return {"(" + value.Text + " == " + zero + ")", false};
        case UnaryOp::ReduceXor:
            return {"(__builtin_popcountll(" + value.Text + ") & 1)", false};
        case UnaryOp::ReduceXnor:
            return {"!(__builtin_popcountll(" + value.Text + ") & 1)", false};
        default:
            return value;
        }
    }

    Piece Binary(const Expr& expr, int width) {
        const Expr& left = *expr.Operands[0];
        const Expr& right = *expr.Operands[1];
        const std::string op(Spelling(expr.Binary));
        if (IsLogical(expr.Binary))
            return {"(" + Truth(left) + " " + op + " " + Truth(right) + ")", false};
        if (IsComparison(expr.Binary)) return Comparison(expr, left, right);
        if (IsShift(expr.Binary)) return Shift(expr, left, right, width);
        Piece a = Value(left, width), b = Value(right, width);
        const bool wide = width > 32;
        const std::string x = wide ? Widened(a) : a.Text, y = wide ? Widened(b) : b.Text;
        switch (expr.Binary) {
        case BinaryOp::BitAnd:
        case BinaryOp::BitOr:
        case BinaryOp::BitXor:
            return {"(" + x + " " + op + " " + y + ")", wide && (a.Wide || b.Wide)};
        case BinaryOp::BitXnor:
            return Masked("~(" + x + " ^ " + y + ")", width);
        default: // + - *: the carry beyond the context width is lost
            return Masked(x + " " + op + " " + y, width);
        }
    }

    Piece Comparison(const Expr& expr, const Expr& left, const Expr& right) {
        const int width = std::max(left.Width, right.Width);
        const std::string op(Spelling(expr.Binary));
        if (width > 64) return {wide_.Comparison(left, right, op, width), false};
        Piece a = Value(left, width), b = Value(right, width);
        if (left.Signed && right.Signed && expr.Binary != BinaryOp::Eq &&
            expr.Binary != BinaryOp::Ne) {
            // Both signed: compare as two's complement numbers of `width` bits.
            auto asSigned = [&](const Piece& piece) {
                const std::string sign = Constant(std::uint64_t{1} << (width - 1), 64);
                return "(std::int64_t(" + Widened(piece) + " ^ " + sign + ") - std::int64_t(" +
                       sign + "))";
            };
            return {"(" + asSigned(a) + " " + op + " " + asSigned(b) + ")", false};
        }
        return {"(" + a.Text + " " + op + " " + b.Text + ")", false};
    }

    Piece Shift(const Expr& expr, const Expr& left, const Expr& right, int width) {
        if (right.Width > 64) TooWide(right, "a shift amount wider than 64 bits");
        const Piece a = Value(left, width);
        const std::string x = width > 32 ? Widened(a) : a.Text;
        const bool toLeft = expr.Binary == BinaryOp::Shl;
        const std::string zero = width > 32 ? "0ull" : "0u";
        if (auto amount = ConstantValue(right)) {
            if (*amount >= static_cast<std::uint64_t>(width)) return {zero, width > 32};
            const std::string shifted = x + (toLeft ? " << " : " >> ") + std::to_string(*amount);
            return toLeft ? Masked(shifted, width) : Piece{"(" + shifted + ")", width > 32};
        }
        const Piece amount = Value(right, right.Width);
        const std::string shifted = "(" + x + (toLeft ? " << " : " >> ") + amount.Text + ")";
        const std::string kept = toLeft ? Masked(shifted, width).Text : shifted;
        return {"(" + amount.Text + " < " + std::to_string(width) + " ? " + kept + " : " + zero +
                    ")",
                width > 32};
    }

    Piece Ternary(const Expr& expr, int width) {
        const Expr& cond = *expr.Operands[0];
        const std::string c = Truth(cond);
        Piece a = Value(*expr.Operands[1], width), b = Value(*expr.Operands[2], width);
        const bool wide = width > 32;
        return {"(" + c + " ? " + (wide ? Widened(a) : a.Text) + " : " +
                    (wide ? Widened(b) : b.Text) + ")",
                wide};
    }

    // --- statements

    void Statement(const Stmt& statement, CodePrinter& out) {
        switch (statement.Kind) {
        case StmtKind::Assign:
            out.Line(Assignment(statement) + ";");
            return;
        case StmtKind::If:
            return If(statement, out);
        case StmtKind::Case:
            return Case(statement, out);
        case StmtKind::Block:
            return Statements(statement.Body, out);
        }
    }

    void Body(const StmtList& body, CodePrinter& out) {
        out.Indent();
        Statements(body, out);
        out.Dedent();
    }

    void If(const Stmt& statement, CodePrinter& out) {
        out.Line("if (" + Condition(*statement.Cond) + ") {");
        Body(statement.Then, out);
        for (const auto& elif : statement.Elifs) {
            out.Line("} else if (" + Condition(*elif.Cond) + ") {");
            Body(elif.Body, out);
        }
        if (statement.HasElse) {
            out.Line("} else {");
            Body(statement.Else, out);
        }
        out.Line("}");
    }

    void Case(const Stmt& statement, CodePrinter& out) {
        const Expr& subject = *statement.Subject;
        int width = subject.Width;
        for (const auto& item : statement.Items)
            for (const auto& label : item.Labels)
                width = std::max(width, label->Width);
        const std::string value = Value(subject, width).Text;
        bool first = true;
        for (const auto& item : statement.Items) {
            std::string test;
            for (const auto& label : item.Labels) {
                if (!test.empty()) test += " || ";
                test += value + " == " + Value(*label, width).Text;
            }
            out.Line((first ? "if (" : "} else if (") + test + ") {");
            Body(item.Body, out);
            first = false;
        }
        if (statement.HasDefault) {
            if (first) {
                out.Line("{");
            } else {
                out.Line("} else {");
            }
            Body(statement.Default, out);
        }
        if (!first || statement.HasDefault) out.Line("}");
    }

    std::string Assignment(const Stmt& statement) {
        const Expr& target = *statement.Target;
        const Expr& value = *statement.Value;
        std::string text;
        if (target.Kind == ExprKind::Concat) {
            text = ConcatAssignment(target, value);
        } else {
            const int width = std::max(target.Width, value.Width);
            Piece piece = Value(value, width);
            text = Store(target, piece, width);
        }
        if (!statement.NonBlocking) {
            std::vector<const Symbol*> written;
            StmtList none;
            if (target.Kind == ExprKind::Concat) {
                for (const auto& part : target.Operands)
                    blocking_.insert(part->Sym);
            } else {
                blocking_.insert(target.Sym);
            }
        }
        return text;
    }

    // `piece` computed at `width` bits, written to a name or a select.
    std::string Store(const Expr& target, const Piece& piece, int width) {
        const Symbol& symbol = *target.Sym;
        const std::string lvalue = naming_.Write(symbol);
        if (symbol.Width > 64) return StoreWide(target, piece, width);
        if (width > 64) { // a wide value cut to its narrow target first
            const int bits = StoredBits(target);
            return Store(target, {Big(bits, piece.Text) + ".to_uint64 ( )", true}, bits);
        }
        if (target.Kind == ExprKind::Name) {
            if (symbol.IntegerRange && naming_.CheckRange)
                return lvalue + " = " + naming_.CheckRange(symbol, piece.Text, target.Where.Line);
            const std::string kept =
                width > target.Width ? Masked(piece.Text, target.Width).Text : piece.Text;
            return lvalue + " = " + Unwrapped(kept);
        }
        const int bits = target.Msb - target.Lsb + 1;
        std::string part = width > bits ? Masked(piece.Text, bits).Text : piece.Text;
        if (symbol.Width > 32) part = Widened({part, false});
        if (bits == symbol.Width) return lvalue + " = " + Unwrapped(part);
        const std::uint64_t keep = Mask(symbol.Width) & ~(Mask(bits) << target.Lsb);
        const std::string shifted =
            target.Lsb == 0 ? part : "(" + part + " << " + std::to_string(target.Lsb) + ")";
        return lvalue + " = (" + lvalue + " & " + Constant(keep, symbol.Width, true) + ") | " +
               shifted;
    }

    static int StoredBits(const Expr& target) {
        return target.Kind == ExprKind::Name ? target.Width : target.Msb - target.Lsb + 1;
    }

    // The whole or a part of a symbol wider than 64 bits.
    std::string StoreWide(const Expr& target, const Piece& piece, int width) {
        const Symbol& symbol = *target.Sym;
        const int bits = StoredBits(target);
        std::string value = piece.Text;
        if (width > 64 && width > bits) value = Big(bits, value);
        if (width <= 64 && width > bits) value = Masked(value, bits).Text;
        if (target.Kind == ExprKind::Name) return naming_.Write(symbol) + " = " + Unwrapped(value);
        return naming_.Write(symbol) + ".range ( " + std::to_string(target.Msb) + " , " +
               std::to_string(target.Lsb) + " ) = " + Unwrapped(value);
    }

    std::string ConcatAssignment(const Expr& target, const Expr& value) {
        const int width = std::max(target.Width, value.Width);
        if (width > 64) TooWide(target, "an assignment to a concatenation wider than 64 bits");
        Piece piece = Value(value, width);
        std::string text =
            "{ const std::uint64_t value = " +
            Unwrapped(width > target.Width ? Masked(Widened(piece), target.Width).Text
                                           : Widened(piece)) +
            "; ";
        int shift = target.Width;
        for (const auto& part : target.Operands) {
            shift -= part->Width;
            const std::string bits = "((value >> " + std::to_string(shift) + ") & " +
                                     HexDigits(Mask(part->Width)) + "ull)";
            text += Store(*part, {bits, true}, part->Width) + "; ";
        }
        return text + "}";
    }

    const Naming& naming_;
    WideValues wide_;
    std::set<const Symbol*> blocking_;
};

} // namespace

std::string EmitCondition(const Expr& condition, const Naming& naming) {
    return Emitter(naming).Condition(condition);
}

std::string EmitValue(const Expr& value, int width, const Naming& naming) {
    return Unwrapped(Emitter(naming).Value(value, std::max(width, value.Width)).Text);
}

void EmitActions(const StmtList& statements, const Naming& naming, CodePrinter& out) {
    Emitter(naming).Statements(statements, out);
}

} // namespace kestrom::hdl
