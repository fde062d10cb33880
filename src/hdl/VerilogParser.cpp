// The Verilog subset of actions, conditions, declarations and diagram
// actions; the same expression grammar reads C++ conditions.
#include <algorithm>

#include "hdl/Parsers.h"
#include "hdl/TokenStream.h"

namespace kestrom::hdl {
namespace {

struct BinaryInfo {
    const char* Text;
    int Precedence;
    BinaryOp Op;
    bool Refused;
};

const BinaryInfo kBinary[] = {
    {"||", 1, BinaryOp::LogicOr, false}, {"&&", 2, BinaryOp::LogicAnd, false},
    {"|", 3, BinaryOp::BitOr, false},    {"^", 4, BinaryOp::BitXor, false},
    {"~^", 4, BinaryOp::BitXnor, false}, {"^~", 4, BinaryOp::BitXnor, false},
    {"&", 5, BinaryOp::BitAnd, false},   {"==", 6, BinaryOp::Eq, false},
    {"!=", 6, BinaryOp::Ne, false},      {"===", 6, BinaryOp::Eq, false},
    {"!==", 6, BinaryOp::Ne, false},     {"<", 7, BinaryOp::Lt, false},
    {"<=", 7, BinaryOp::Le, false},      {">", 7, BinaryOp::Gt, false},
    {">=", 7, BinaryOp::Ge, false},      {"<<", 8, BinaryOp::Shl, false},
    {">>", 8, BinaryOp::Shr, false},     {"<<<", 8, BinaryOp::Shl, false},
    {">>>", 8, BinaryOp::Shr, false},    {"+", 9, BinaryOp::Add, false},
    {"-", 9, BinaryOp::Sub, false},      {"*", 10, BinaryOp::Mul, false},
    {"/", 10, BinaryOp::Mul, true},      {"%", 10, BinaryOp::Mul, true},
    {"**", 11, BinaryOp::Mul, true},
};

const BinaryInfo* FindBinary(const Token& token) {
    if (token.Kind != TokenKind::Punct) return nullptr;
    for (const auto& info : kBinary)
        if (token.Text == info.Text) return &info;
    return nullptr;
}

const char* const kRefusedStatements[] = {"for",      "while",   "repeat", "forever", "fork",
                                          "wait",     "disable", "force",  "release", "assign",
                                          "deassign", "casez",   "casex"};

class VerilogParser : public TokenStream {
public:
    VerilogParser(std::string_view text, const TextOrigin& origin, const Scope& scope, bool cpp)
        : TokenStream(cpp ? Language::Cpp : Language::Verilog, text, origin, scope), cpp_(cpp) {}

    ExprPtr Expression() {
        Nested nested(*this);
        auto cond = BinaryLevel(1);
        if (!Is("?")) return cond;
        const Location where = Next().Where;
        auto then = Expression();
        Expect(":");
        auto otherwise = Expression();
        return Build().Ternary(std::move(cond), std::move(then), std::move(otherwise), where);
    }

    ExprPtr WholeCondition() {
        if (AtEnd()) Fail("a condition");
        auto expr = Expression();
        if (!AtEnd())
            Fail(cpp_ ? "an operator or the end of the condition"
                      : "an operator or the end of the condition");
        return expr;
    }

    StmtList Statements() {
        StmtList list;
        while (!AtEnd())
            Statement(list);
        return list;
    }

    void Statement(StmtList& into) {
        Nested nested(*this);
        const Token& token = Peek();
        if (Accept(";")) return;
        if (token.Kind == TokenKind::Directive)
            Refuse("the directive " + token.Text + " in an action");
        if (Is("begin")) return into.push_back(BlockStatement());
        if (Is("if")) return into.push_back(IfStatement());
        if (Is("case")) return into.push_back(CaseStatement());
        if (token.Kind == TokenKind::Identifier) {
            for (const char* refused : kRefusedStatements)
                if (token.Text == refused) Refuse("the '" + token.Text + "' statement");
            if (token.Text[0] == '$') Refuse("the system task '" + token.Text + "'");
            if (IsDeclarationKeyword(token.Text))
                Refuse("a declaration among actions (declare '" + Peek(1).Text +
                       "' in a declaration object)");
            if (Is("(", 1)) Refuse("the task call '" + token.Text + "'");
        }
        if (Is("#")) Refuse("a delay");
        if (Is("@")) Refuse("an event control");
        into.push_back(Assignment(true));
    }

    static bool IsDeclarationKeyword(std::string_view word) {
        return word == "reg" || word == "wire" || word == "integer" || word == "parameter" ||
               word == "localparam" || word == "input" || word == "output" || word == "inout" ||
               word == "genvar" || word == "real" || word == "time" || word == "logic";
    }

    StmtPtr Assignment(bool needSemicolon) {
        const Location where = Peek().Where;
        if (Peek().Kind != TokenKind::Identifier && !Is("{")) Fail("a statement");
        auto target = LValue();
        bool nonBlocking = true;
        if (Accept("<=")) {
            nonBlocking = true;
        } else if (Accept("=")) {
            nonBlocking = false;
        } else {
            Fail("'<=' or '='");
        }
        if (AtEnd() || Is(";")) Fail("a value");
        auto value = Expression();
        if (needSemicolon) Expect(";");
        return Build().Assign(std::move(target), std::move(value), nonBlocking, where);
    }

    ExprPtr LValue() {
        Nested nested(*this);
        if (Is("{")) {
            const Location where = Next().Where;
            std::vector<ExprPtr> parts;
            do {
                parts.push_back(LValue());
            } while (Accept(","));
            Expect("}");
            return Build().Concat(std::move(parts), where);
        }
        const Token& name = Next();
        if (name.Kind != TokenKind::Identifier) Fail("a name to assign");
        return Selects(Build().Name(name.Text, name.Where));
    }

    StmtPtr BlockStatement() {
        auto block = std::make_unique<Stmt>();
        block->Kind = StmtKind::Block;
        block->Where = Next().Where;
        if (Accept(":")) {
            if (Peek().Kind != TokenKind::Identifier) Fail("a block name");
            Next();
        }
        while (!Is("end")) {
            if (AtEnd()) Fail("'end'");
            Statement(block->Body);
        }
        Next();
        return block;
    }

    StmtList Branch() {
        StmtList body;
        Statement(body);
        return body;
    }

    StmtPtr IfStatement() {
        auto statement = std::make_unique<Stmt>();
        statement->Kind = StmtKind::If;
        statement->Where = Next().Where;
        Expect("(");
        statement->Cond = Expression();
        Expect(")");
        statement->Then = Branch();
        while (Is("else")) {
            const Location where = Next().Where;
            if (Is("if")) {
                Next();
                ElseIf elif;
                elif.Where = where;
                Expect("(");
                elif.Cond = Expression();
                Expect(")");
                elif.Body = Branch();
                statement->Elifs.push_back(std::move(elif));
                continue;
            }
            statement->HasElse = true;
            statement->Else = Branch();
            break;
        }
        return statement;
    }

    StmtPtr CaseStatement() {
        auto statement = std::make_unique<Stmt>();
        statement->Kind = StmtKind::Case;
        statement->Where = Next().Where;
        Expect("(");
        statement->Subject = Expression();
        Expect(")");
        while (!Accept("endcase")) {
            if (AtEnd()) Fail("'endcase'");
            Nested nested(*this);
            if (Accept("default")) {
                if (statement->HasDefault) Refuse("a second default in one case");
                Accept(":");
                statement->HasDefault = true;
                statement->Default = Branch();
                continue;
            }
            CaseItem item;
            item.Where = Peek().Where;
            do {
                item.Labels.push_back(Expression());
            } while (Accept(","));
            Expect(":");
            item.Body = Branch();
            statement->Items.push_back(std::move(item));
        }
        return statement;
    }

    // --- expressions

    ExprPtr BinaryLevel(int minimum) {
        auto left = UnaryLevel();
        while (true) {
            const BinaryInfo* info = FindBinary(Peek());
            if (!info || info->Precedence < minimum) return left;
            const Token& op = Next();
            if (info->Refused) build().Refuse(op.Where, "the operator '" + op.Text + "'");
            if (op.Text == ">>>" && left->Signed)
                build().Refuse(op.Where, "the arithmetic shift '>>>' of a signed value");
            Nested nested(*this);
            auto right = BinaryLevel(info->Precedence + 1);
            left = Build().Binary(info->Op, std::move(left), std::move(right), op.Where);
        }
    }

    ExprPtr UnaryLevel() {
        Nested nested(*this);
        const Token& token = Peek();
        if (token.Kind == TokenKind::Punct) {
            struct UnaryInfo {
                const char* Text;
                UnaryOp Op;
                bool Reduction;
            };
            static const UnaryInfo kUnary[] = {
                {"!", UnaryOp::LogicNot, false},  {"~", UnaryOp::BitNot, false},
                {"-", UnaryOp::Negate, false},    {"+", UnaryOp::Plus, false},
                {"&", UnaryOp::ReduceAnd, true},  {"|", UnaryOp::ReduceOr, true},
                {"^", UnaryOp::ReduceXor, true},  {"~&", UnaryOp::ReduceNand, true},
                {"~|", UnaryOp::ReduceNor, true}, {"~^", UnaryOp::ReduceXnor, true},
                {"^~", UnaryOp::ReduceXnor, true}};
            for (const auto& info : kUnary) {
                if (token.Text != info.Text || (cpp_ && info.Reduction)) continue;
                const Location where = Next().Where;
                auto operand = UnaryLevel();
                return Build().Unary(info.Op, std::move(operand), where);
            }
        }
        return Primary();
    }

    ExprPtr Primary() {
        const Token& token = Peek();
        switch (token.Kind) {
        case TokenKind::Number:
            Next();
            return Build().Literal(token);
        case TokenKind::Identifier:
            return NamePrimary();
        case TokenKind::Directive:
            Refuse("the directive " + token.Text + " in an expression");
        case TokenKind::End:
            Fail("an expression");
        default:
            break;
        }
        if (Is("(")) {
            Next();
            auto inner = Expression();
            Expect(")");
            return inner;
        }
        if (Is("{") && !cpp_) return Braces();
        Fail("an expression");
    }

    ExprPtr NamePrimary() {
        const Token& name = Next();
        if (name.Text[0] == '$')
            build().Refuse(name.Where, "the system function '" + name.Text + "'");
        if (cpp_ && (name.Text == "true" || name.Text == "false"))
            return Build().Number(name.Text == "true" ? 1 : 0, 1, false, name.Where, name.Text);
        if (Is("(")) build().Refuse(name.Where, "function call '" + name.Text + "'");
        auto expr = Build().NameOrNull(name.Text, name.Where);
        if (!expr) expr = Build().Name(name.Text, name.Where); // refuses it by its reason
        if (cpp_) return CppMember(std::move(expr));
        return Selects(std::move(expr));
    }

    // x.read() is the value of port x; other members are refused.
    ExprPtr CppMember(ExprPtr expr) {
        if (!Is(".")) {
            if (Is("[")) Refuse("an index into '" + expr->Text + "'");
            return expr;
        }
        Next();
        const Token& member = Next();
        if (member.Kind != TokenKind::Identifier) Fail("a member name");
        if (member.Text != "read" || !Is("(") || !Is(")", 1))
            build().Refuse(member.Where,
                           "the member '" + member.Text + "' of '" + expr->Text + "'");
        Next();
        Next();
        return expr;
    }

    ExprPtr Selects(ExprPtr name) {
        if (!Is("[")) return name;
        const Location where = Next().Where;
        auto first = Expression();
        if (Is("+:") || Is("-:")) Refuse("an indexed part select '" + Peek().Text + "'");
        if (Accept(":")) {
            auto second = Expression();
            Expect("]");
            auto select = Build().PartSelect(std::move(name), *first, *second, where);
            if (Is("[")) Refuse("a select of a select");
            return select;
        }
        Expect("]");
        auto select = Build().BitSelect(std::move(name), std::move(first), where);
        if (Is("[")) Refuse("a select of a select");
        return select;
    }

    ExprPtr Braces() {
        const Location where = Next().Where;
        auto first = Expression();
        if (Is("{")) {
            Next();
            std::vector<ExprPtr> parts;
            do {
                parts.push_back(Expression());
            } while (Accept(","));
            Expect("}");
            Expect("}");
            auto inner = parts.size() == 1 ? std::move(parts.front())
                                           : Build().Concat(std::move(parts), where);
            return Build().Replicate(*first, std::move(inner), where);
        }
        std::vector<ExprPtr> parts;
        parts.push_back(std::move(first));
        while (Accept(","))
            parts.push_back(Expression());
        Expect("}");
        return Build().Concat(std::move(parts), where);
    }

    const Builder& build() const { return Build(); }

protected:
    bool cpp_;
};

// Declarations: reg, wire, integer, parameter, localparam.
class VerilogDeclarations : public VerilogParser {
public:
    VerilogDeclarations(std::string_view text, const TextOrigin& origin, Scope& scope)
        : VerilogParser(text, origin, scope, false), scope_(scope) {}

    void All() {
        while (!AtEnd()) {
            if (Accept(";")) continue;
            const Token& token = Peek();
            if (token.Kind == TokenKind::Directive) Refuse("the directive " + token.Text + " here");
            if (Is("parameter") || Is("localparam")) {
                Next();
                Parameters();
            } else if (Is("reg") || Is("wire") || Is("logic")) {
                Next();
                Registers(false);
            } else if (Is("integer")) {
                Next();
                Registers(true);
            } else if (Is("input") || Is("output") || Is("inout")) {
                Refuse("a port declaration (draw the port instead)");
            } else {
                Fail("a declaration (reg, wire, integer, parameter or localparam)");
            }
        }
    }

private:
    struct Bounds {
        int Left = 0, Right = 0, Width = 1;
        bool Given = false;
    };

    Bounds OptionalRange() {
        Bounds bounds;
        if (!Is("[")) return bounds;
        const Location where = Next().Where;
        auto left = Expression();
        Expect(":");
        auto right = Expression();
        Expect("]");
        auto l = ConstantValue(*left), r = ConstantValue(*right);
        if (!l || !r) build().Refuse(where, "a range with non-constant bounds");
        if (*l > 4095 || *r > 4095) fault::OutOfRange(File(), where, "a range beyond bit 4095");
        bounds.Left = static_cast<int>(*l);
        bounds.Right = static_cast<int>(*r);
        bounds.Width = std::abs(bounds.Left - bounds.Right) + 1;
        bounds.Given = true;
        return bounds;
    }

    void Registers(bool integer) {
        const bool isSigned = Accept("signed") || integer;
        Bounds bounds = OptionalRange();
        if (integer && !bounds.Given) bounds = {31, 0, 32, true};
        do {
            const Token& name = Next();
            if (name.Kind != TokenKind::Identifier) Fail("a name to declare");
            if (Is("[")) Refuse("an array ('" + name.Text + "')");
            if (Is("=")) Refuse("a declaration with an initial value ('" + name.Text + "')");
            Symbol symbol =
                MakeSymbol(name.Text, SymbolKind::Signal, bounds.Width, name.Where.Line);
            symbol.Left = bounds.Left;
            symbol.Right = bounds.Right;
            symbol.Signed = isSigned;
            scope_.Symbols.Add(std::move(symbol));
        } while (Accept(","));
        Expect(";");
    }

    void Parameters() {
        const bool isSigned = Accept("signed");
        Accept("integer");
        const Bounds bounds = OptionalRange();
        do {
            const Token& name = Next();
            if (name.Kind != TokenKind::Identifier) Fail("a parameter name");
            Expect("=");
            auto value = Expression();
            auto constant = ConstantValue(*value);
            if (!constant) build().Refuse(value->Where, "a parameter with a non-constant value");
            const int width = bounds.Given ? bounds.Width : value->Width;
            Symbol symbol = MakeSymbol(name.Text, SymbolKind::Constant, width, name.Where.Line);
            if (bounds.Given) {
                symbol.Left = bounds.Left;
                symbol.Right = bounds.Right;
            }
            symbol.Signed = isSigned || (!bounds.Given && value->Signed);
            symbol.Value = width >= 64 ? *constant : *constant & ((std::uint64_t{1} << width) - 1);
            scope_.Symbols.Add(std::move(symbol));
        } while (Accept(","));
        Expect(";");
    }

    Scope& scope_;
};

class VerilogModuleItems : public VerilogParser {
public:
    using VerilogParser::VerilogParser;

    ModuleItems All() {
        ModuleItems items;
        while (!AtEnd()) {
            if (Accept(";")) continue;
            const Token& token = Peek();
            if (token.Kind == TokenKind::Directive)
                Refuse("the directive " + token.Text + " in a diagram action");
            if (Is("always")) {
                items.push_back(Always());
            } else if (Is("assign")) {
                Continuous(items);
            } else if (token.Kind == TokenKind::Identifier && IsDeclarationKeyword(token.Text)) {
                Refuse("a declaration in a diagram action (use a declaration object)");
            } else if (token.Kind == TokenKind::Identifier) {
                Refuse("'" + token.Text + "' in a diagram action (only always blocks and assign)");
            } else {
                Fail("'always' or 'assign'");
            }
        }
        return items;
    }

private:
    ModuleItem Always() {
        ModuleItem item;
        item.Kind = ItemKind::Always;
        item.Where = Next().Where;
        if (!Accept("@")) Refuse("an always block without an event control");
        if (Accept("*")) {
            item.AllInputs = true;
        } else {
            Expect("(");
            if (Accept("*")) {
                item.AllInputs = true;
            } else {
                item.AllInputs = false;
                do {
                    if (Accept("negedge")) Refuse("a negedge event");
                    const bool edge = Accept("posedge");
                    const Token& name = Next();
                    if (name.Kind != TokenKind::Identifier) Fail("a signal name");
                    Build().Name(name.Text, name.Where);
                    if (edge) {
                        if (item.Clocked) Refuse("an always block on two edges");
                        item.Clocked = true;
                        item.Clock = name.Text;
                    } else {
                        item.Sensitivity.push_back(name.Text);
                    }
                } while (Accept("or") || Accept(","));
                if (item.Clocked && !item.Sensitivity.empty())
                    Refuse("an always block on an edge and on levels");
            }
            Expect(")");
        }
        Statement(item.Body);
        return item;
    }

    void Continuous(ModuleItems& items) {
        const Location where = Next().Where;
        do {
            ModuleItem item;
            item.Kind = ItemKind::Assign;
            item.Where = where;
            auto statement = Assignment(false);
            if (statement->NonBlocking) Fail("'=' in a continuous assignment");
            item.Body.push_back(std::move(statement));
            items.push_back(std::move(item));
        } while (Accept(","));
        Expect(";");
    }
};

} // namespace

ExprPtr ParseVerilogCondition(std::string_view text, const TextOrigin& origin, const Scope& scope,
                              bool cpp) {
    VerilogParser parser(text, origin, scope, cpp);
    return parser.WholeCondition();
}

StmtList ParseVerilogActions(std::string_view text, const TextOrigin& origin, const Scope& scope) {
    VerilogParser parser(text, origin, scope, false);
    return parser.Statements();
}

void ParseVerilogDeclarations(std::string_view text, const TextOrigin& origin, Scope& scope) {
    VerilogDeclarations parser(text, origin, scope);
    parser.All();
}

ModuleItems ParseVerilogModuleItems(std::string_view text, const TextOrigin& origin,
                                    const Scope& scope) {
    VerilogModuleItems parser(text, origin, scope, false);
    parser.AllowComingValues();
    return parser.All();
}

} // namespace kestrom::hdl
