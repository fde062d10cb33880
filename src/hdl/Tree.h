// The typed tree every action language is parsed into. Each expression knows
// its own (self-determined) width and signedness; the emitter and the other
// consumers widen operands to their context as Verilog does.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hdl/Language.h"
#include "hdl/Symbols.h"

namespace kestrom::hdl {

enum class ExprKind {
    Literal,
    Name,
    Unary,
    Binary,
    Ternary,
    Concat,
    Replicate,
    BitSelect,
    PartSelect,
    Call, // kept only to be refused with its name
};

enum class UnaryOp {
    LogicNot,   // !a: 1 bit
    BitNot,     // ~a: context width (on 1 bit the same as !a)
    Negate,     // -a
    Plus,       // +a
    ReduceAnd,  // &a
    ReduceOr,   // |a
    ReduceXor,  // ^a
    ReduceNand, // ~&a
    ReduceNor,  // ~|a
    ReduceXnor, // ~^a
};

enum class BinaryOp {
    Add,
    Sub,
    Mul,
    BitAnd,
    BitOr,
    BitXor,
    BitXnor,
    LogicAnd,
    LogicOr,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Shl,
    Shr,
};

bool IsComparison(BinaryOp op);
bool IsLogical(BinaryOp op);
bool IsShift(BinaryOp op);
// Operators whose operands take the width of the context.
bool IsContextDetermined(BinaryOp op);
// x op y for the operators that are the same on every representation of a
// value (addition and the bitwise ones); nothing for the others.
template <typename Value>
std::optional<Value> ApplyPlainOperator(BinaryOp op, const Value& x, const Value& y) {
    switch (op) {
    case BinaryOp::Add:
        return x + y;
    case BinaryOp::Sub:
        return x - y;
    case BinaryOp::Mul:
        return x * y;
    case BinaryOp::BitAnd:
        return x & y;
    case BinaryOp::BitOr:
        return x | y;
    case BinaryOp::BitXor:
        return x ^ y;
    case BinaryOp::BitXnor:
        return ~(x ^ y);
    default:
        return std::nullopt;
    }
}

std::string_view Spelling(BinaryOp op);
std::string_view Spelling(UnaryOp op);

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    ExprKind Kind = ExprKind::Literal;
    int Width = 1; // self-determined width, 1..kMaxWidth
    bool Signed = false;
    bool IsInteger = false; // a VHDL integer value: not truncated to a vector width
    // Computed at its own width whatever the context (VHDL arithmetic wraps
    // at the width of its operands).
    bool SelfDetermined = false;
    // The levels of the tree below and at this node: every consumer walks it
    // recursively, so it is bounded (kMaxNesting) however it was written.
    int Depth = 1;
    // A Name read as next_X in a diagram action: the value register X takes
    // at the coming edge, not its value now.
    bool Coming = false;
    Location Where;
    const Symbol* Sym = nullptr; // Name, and the selected name of BitSelect/PartSelect

    std::uint64_t Value = 0; // Literal
    std::string Text;        // Literal: its spelling; Name: the name; Call: the function
    UnaryOp Unary = UnaryOp::LogicNot;
    BinaryOp Binary = BinaryOp::Add;
    int Count = 0;        // Replicate: how many times
    int Msb = 0, Lsb = 0; // PartSelect: bit positions from the LSB; BitSelect: Msb == Lsb
    // Unary/Binary/Ternary (cond, then, else)/Concat (MSB first)/Replicate
    // (the one replicated)/BitSelect (the name, then a non-constant index).
    std::vector<ExprPtr> Operands;
};

// The constant value of an expression made of literals and constants only.
std::optional<std::uint64_t> ConstantValue(const Expr& expr);

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using StmtList = std::vector<StmtPtr>;

enum class StmtKind { Assign, If, Case, Block };

struct CaseItem {
    std::vector<ExprPtr> Labels;
    StmtList Body;
    Location Where;
};

struct ElseIf {
    ExprPtr Cond;
    StmtList Body;
    Location Where;
};

struct Stmt {
    StmtKind Kind = StmtKind::Assign;
    Location Where;
    // Assign
    ExprPtr Target; // Name, BitSelect, PartSelect or Concat of those
    ExprPtr Value;
    bool NonBlocking = true;
    // If
    ExprPtr Cond;
    StmtList Then;
    std::vector<ElseIf> Elifs;
    StmtList Else;
    bool HasElse = false;
    // Case
    ExprPtr Subject;
    std::vector<CaseItem> Items;
    StmtList Default;
    bool HasDefault = false;
    // Block
    StmtList Body;
};

// Module-level text of a diagram action: combinational blocks and
// continuous assignments.
enum class ItemKind { Always, Assign };

struct ModuleItem {
    ItemKind Kind = ItemKind::Always;
    Location Where;
    bool Clocked = false;  // always @(posedge clk)
    std::string Clock;     // its clock
    bool AllInputs = true; // @(*) or no list
    std::vector<std::string> Sensitivity;
    StmtList Body; // Assign: one assignment
};
using ModuleItems = std::vector<ModuleItem>;

// The symbols a text writes and reads, for the consumers that need them.
void CollectWrites(const StmtList& statements, std::vector<const Symbol*>& written);
void CollectReads(const Expr& expr, std::vector<const Symbol*>& read);
// The registers read as next_X.
void CollectComingReads(const Expr& expr, std::vector<const Symbol*>& read);

} // namespace kestrom::hdl
