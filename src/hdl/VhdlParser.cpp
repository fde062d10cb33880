// The VHDL subset of actions, conditions, declarations and concurrent
// statements. Names and keywords match in any case. Vector arithmetic wraps
// at the width of its operands; integers are not cut to a vector width.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "hdl/Parsers.h"
#include "hdl/TokenStream.h"

namespace kestrom::hdl {
namespace {

int BitsFor(std::int64_t low, std::int64_t high) {
    if (low >= 0) {
        int bits = 1;
        while (bits < 63 && (high >> bits) != 0)
            ++bits;
        return bits;
    }
    int bits = 2;
    while (bits < 64 &&
           (-(std::int64_t{1} << (bits - 1)) > low || (std::int64_t{1} << (bits - 1)) - 1 < high))
        ++bits;
    return bits;
}

const char* const kLogical[] = {"and", "or", "xor", "nand", "nor", "xnor"};

class VhdlParser : public TokenStream {
public:
    VhdlParser(std::string_view text, const TextOrigin& origin, const Scope& scope)
        : TokenStream(Language::Vhdl, text, origin, scope) {}

    ExprPtr WholeCondition() {
        if (AtEnd()) Fail("a condition");
        auto expr = Expression();
        if (!AtEnd()) Fail("an operator or the end of the condition");
        return expr;
    }

    // --- expressions

    ExprPtr Expression() {
        Nested nested(*this);
        auto left = Relation();
        std::string first;
        while (true) {
            const std::string op = FoldCase(Peek().Text);
            if (Peek().Kind != TokenKind::Identifier ||
                std::find(std::begin(kLogical), std::end(kLogical), op) == std::end(kLogical))
                return left;
            if (!first.empty() && op != first)
                Refuse("mixing '" + first + "' and '" + op + "' without parentheses");
            first = op;
            const Location where = Next().Where;
            auto right = Relation();
            left = Logical(op, std::move(left), std::move(right), where);
        }
    }

    ExprPtr Logical(const std::string& op, ExprPtr left, ExprPtr right, Location where) {
        if (left->Width != right->Width)
            fault::OutOfRange(File(), where,
                              "'" + op + "' of " + std::to_string(left->Width) + " and " +
                                  std::to_string(right->Width) + " bits");
        const BinaryOp binary = (op == "and" || op == "nand") ? BinaryOp::BitAnd
                                : (op == "or" || op == "nor") ? BinaryOp::BitOr
                                : op == "xor"                 ? BinaryOp::BitXor
                                                              : BinaryOp::BitXnor;
        auto expr = Build().Binary(binary, std::move(left), std::move(right), where);
        expr->SelfDetermined = true;
        if (op == "nand" || op == "nor") {
            expr = Build().Unary(UnaryOp::BitNot, std::move(expr), where);
            expr->SelfDetermined = true;
        }
        return expr;
    }

    ExprPtr Relation() {
        auto left = Simple();
        static const std::pair<const char*, BinaryOp> kRelations[] = {
            {"=", BinaryOp::Eq},  {"/=", BinaryOp::Ne}, {"<", BinaryOp::Lt},
            {"<=", BinaryOp::Le}, {">", BinaryOp::Gt},  {">=", BinaryOp::Ge}};
        for (const auto& [text, op] : kRelations) {
            if (!Is(text)) continue;
            const Location where = Next().Where;
            auto right = Simple();
            Harmonize(left, right);
            return Build().Binary(op, std::move(left), std::move(right), where);
        }
        return left;
    }

    // An integer literal beside a vector takes the vector's width.
    void Harmonize(ExprPtr& left, ExprPtr& right) const {
        auto fit = [&](ExprPtr& number, const Expr& vector) {
            if (!number->IsInteger || vector.IsInteger) return;
            if (number->Kind != ExprKind::Literal)
                Build().Refuse(number->Where,
                               "mixing an integer and a vector without a conversion");
            if (vector.Width < 64 && (number->Value >> vector.Width) != 0)
                fault::OutOfRange(File(), number->Where,
                                  "the integer " + number->Text + " does not fit in " +
                                      std::to_string(vector.Width) + " bits");
            number->Width = vector.Width;
            number->IsInteger = false;
            number->Signed = false;
        };
        fit(left, *right);
        fit(right, *left);
    }

    ExprPtr Simple() {
        ExprPtr left;
        if (Is("-") || Is("+")) {
            const Token& sign = Next();
            auto term = Term();
            left = sign.Text == "-" ? Build().Unary(UnaryOp::Negate, std::move(term), sign.Where)
                                    : std::move(term);
        } else {
            left = Term();
        }
        while (Is("+") || Is("-") || Is("&")) {
            const Token& op = Next();
            auto right = Term();
            if (op.Text == "&") {
                std::vector<ExprPtr> parts;
                parts.push_back(std::move(left));
                parts.push_back(std::move(right));
                left = Build().Concat(std::move(parts), op.Where);
                continue;
            }
            left = Arithmetic(op.Text == "+" ? BinaryOp::Add : BinaryOp::Sub, std::move(left),
                              std::move(right), op.Where);
        }
        return left;
    }

    ExprPtr Arithmetic(BinaryOp op, ExprPtr left, ExprPtr right, Location where) {
        Harmonize(left, right);
        auto expr = Build().Binary(op, std::move(left), std::move(right), where);
        expr->SelfDetermined = !expr->IsInteger;
        return expr;
    }

    ExprPtr Term() {
        auto left = Factor();
        while (Is("*") || Is("/") || Is("mod") || Is("rem")) {
            const Token& op = Next();
            if (op.Text != "*") Build().Refuse(op.Where, "the operator '" + op.Text + "'");
            auto right = Factor();
            left = Arithmetic(BinaryOp::Mul, std::move(left), std::move(right), op.Where);
        }
        return left;
    }

    ExprPtr Factor() {
        Nested nested(*this);
        if (Is("not")) {
            const Location where = Next().Where;
            auto operand = Factor();
            auto expr = Build().Unary(UnaryOp::BitNot, std::move(operand), where);
            expr->SelfDetermined = true;
            return expr;
        }
        if (Is("abs") || Is("**")) Refuse("the operator '" + Peek().Text + "'");
        return Primary();
    }

    ExprPtr Primary() {
        const Token& token = Peek();
        switch (token.Kind) {
        case TokenKind::Number:
        case TokenKind::BitChar:
        case TokenKind::BitString:
            Next();
            return Build().Literal(token);
        case TokenKind::Identifier:
            return NamePrimary();
        case TokenKind::End:
            Fail("an expression");
        default:
            break;
        }
        if (Accept("(")) {
            if (Is("others")) Refuse("an aggregate (others => ...) here");
            auto inner = Expression();
            if (Is(",")) Refuse("an aggregate");
            Expect(")");
            return inner;
        }
        Fail("an expression");
    }

    ExprPtr NamePrimary() {
        const Token& name = Next();
        if (name.Text == "true" || name.Text == "false" || FoldCase(name.Text) == "true" ||
            FoldCase(name.Text) == "false")
            return Build().Number(FoldCase(name.Text) == "true" ? 1 : 0, 1, false, name.Where,
                                  FoldCase(name.Text) == "true" ? "1" : "0");
        auto expr = Build().NameOrNull(name.Text, name.Where);
        if (!expr) {
            if (Is("(")) Build().Refuse(name.Where, "function call '" + name.Text + "'");
            Build().Name(name.Text, name.Where); // refuses it by its reason
        }
        if (Is("'")) Refuse("the attribute '" + name.Text + "'" + Peek(1).Text + "'");
        return Selects(std::move(expr));
    }

    ExprPtr Selects(ExprPtr name) {
        if (!Is("(")) return name;
        const Location where = Next().Where;
        auto first = Simple();
        if (Is("downto") || Is("to")) {
            Next();
            auto second = Simple();
            Expect(")");
            return Build().PartSelect(std::move(name), *first, *second, where);
        }
        Expect(")");
        return Build().BitSelect(std::move(name), std::move(first), where);
    }

    // --- statements

    StmtList Statements(std::initializer_list<const char*> stops) {
        StmtList list;
        while (true) {
            if (AtEnd()) {
                if (stops.size() == 0) return list;
                Fail("'" + std::string(*stops.begin()) + "'");
            }
            for (const char* stop : stops)
                if (Is(stop)) return list;
            Statement(list);
        }
    }

    void Statement(StmtList& into) {
        Nested nested(*this);
        if (Accept(";")) return;
        if (Accept("null")) return Expect(";");
        if (Is("if")) return into.push_back(IfStatement());
        if (Is("case")) return into.push_back(CaseStatement());
        const Token& token = Peek();
        static const char* const kRefused[] = {"wait",   "for",      "while",  "loop",   "report",
                                               "assert", "exit",     "next",   "return", "variable",
                                               "signal", "constant", "process"};
        for (const char* refused : kRefused)
            if (Is(refused)) Refuse("the '" + FoldCase(token.Text) + "' statement");
        into.push_back(Assignment());
    }

    StmtPtr Assignment() {
        const Location where = Peek().Where;
        if (Peek().Kind != TokenKind::Identifier) Fail("a statement");
        const Token& name = Next();
        auto target = Selects(Build().Name(name.Text, name.Where));
        if (Is(":=")) Refuse("a variable assignment ':='");
        Expect("<=");
        ExprPtr value;
        if (Is("(") && Is("others", 1)) {
            value = Others(*target);
        } else {
            if (AtEnd() || Is(";")) Fail("a value");
            value = Expression();
        }
        if (Is("when")) Refuse("a conditional assignment 'when' among actions");
        Expect(";");
        CheckAssignable(*target, *value);
        return Build().Assign(std::move(target), std::move(value), true, where);
    }

    // (others => '0') takes the width of what it is assigned to.
    ExprPtr Others(const Expr& target) {
        const Location where = Next().Where;
        Next();
        Expect("=>");
        const Token& bit = Next();
        if (bit.Kind != TokenKind::BitChar) Fail("'0' or '1'");
        Expect(")");
        const std::uint64_t all =
            target.Width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << target.Width) - 1;
        return Build().Number(bit.Value ? all : 0, target.Width, false, where,
                              bit.Value ? "(others => '1')" : "(others => '0')");
    }

    void CheckAssignable(const Expr& target, Expr& value) const {
        if (target.IsInteger) {
            if (!value.IsInteger)
                Build().Refuse(value.Where, "a vector assigned to the integer '" + target.Text +
                                                "' without a conversion");
            const Symbol& symbol = *target.Sym;
            auto constant = ConstantValue(value);
            if (constant && symbol.IntegerRange) {
                const auto at = static_cast<std::int64_t>(*constant);
                if (at < symbol.IntegerRange->Low || at > symbol.IntegerRange->High)
                    fault::OutOfRange(File(), value.Where,
                                      std::to_string(at) + " is outside the range " +
                                          std::to_string(symbol.IntegerRange->Low) + " to " +
                                          std::to_string(symbol.IntegerRange->High) + " of '" +
                                          symbol.Name + "'");
            }
            return;
        }
        if (value.IsInteger) {
            if (value.Kind != ExprKind::Literal)
                Build().Refuse(value.Where, "an integer assigned to the vector '" + target.Text +
                                                "' without a conversion");
            if (target.Width < 64 && (value.Value >> target.Width) != 0)
                fault::OutOfRange(File(), value.Where,
                                  "the integer " + value.Text + " does not fit in '" + target.Text +
                                      "'");
            value.Width = target.Width;
            value.IsInteger = false;
            return;
        }
        if (value.Width != target.Width)
            fault::OutOfRange(File(), value.Where,
                              "'" + target.Text + "' is " + std::to_string(target.Width) +
                                  " bits wide but the value is " + std::to_string(value.Width) +
                                  " bits");
    }

    ExprPtr Condition() {
        auto cond = Expression();
        if (cond->Width != 1)
            fault::OutOfRange(File(), cond->Where,
                              "a condition of " + std::to_string(cond->Width) + " bits");
        return cond;
    }

    StmtPtr IfStatement() {
        auto statement = std::make_unique<Stmt>();
        statement->Kind = StmtKind::If;
        statement->Where = Next().Where;
        statement->Cond = Condition();
        Expect("then");
        statement->Then = Statements({"end", "elsif", "else"});
        while (Is("elsif")) {
            ElseIf elif;
            elif.Where = Next().Where;
            elif.Cond = Condition();
            Expect("then");
            elif.Body = Statements({"end", "elsif", "else"});
            statement->Elifs.push_back(std::move(elif));
        }
        if (Accept("else")) {
            statement->HasElse = true;
            statement->Else = Statements({"end"});
        }
        Expect("end");
        Expect("if");
        Expect(";");
        return statement;
    }

    StmtPtr CaseStatement() {
        auto statement = std::make_unique<Stmt>();
        statement->Kind = StmtKind::Case;
        statement->Where = Next().Where;
        statement->Subject = Expression();
        Expect("is");
        while (Accept("when")) {
            Nested nested(*this);
            if (Accept("others")) {
                Expect("=>");
                statement->HasDefault = true;
                statement->Default = Statements({"end", "when"});
                continue;
            }
            CaseItem item;
            item.Where = Peek().Where;
            do {
                auto label = Simple();
                auto subject = std::make_unique<Expr>();
                subject->Width = statement->Subject->Width;
                subject->IsInteger = statement->Subject->IsInteger;
                subject->Kind = ExprKind::Name;
                // A refusal of the pair names the label that does not match.
                subject->Where = label->Where;
                Harmonize(subject, label);
                item.Labels.push_back(std::move(label));
            } while (Accept("|"));
            Expect("=>");
            item.Body = Statements({"end", "when"});
            statement->Items.push_back(std::move(item));
        }
        Expect("end");
        Expect("case");
        Expect(";");
        return statement;
    }

    // --- concurrent statements

    ModuleItems Items() {
        ModuleItems items;
        while (!AtEnd()) {
            if (Accept(";")) continue;
            if (Peek().Kind == TokenKind::Identifier && Is(":", 1)) {
                Next();
                Next();
            }
            if (Is("process")) {
                items.push_back(Process());
            } else if (Is("with")) {
                Refuse("a selected assignment 'with ... select'");
            } else {
                items.push_back(Concurrent());
            }
        }
        return items;
    }

    ModuleItem Process() {
        ModuleItem item;
        item.Kind = ItemKind::Always;
        item.Where = Next().Where;
        if (Accept("(")) {
            item.AllInputs = Is("all");
            if (item.AllInputs) {
                Next();
            } else {
                do {
                    const Token& name = Next();
                    if (name.Kind != TokenKind::Identifier) Fail("a signal name");
                    Build().Name(name.Text, name.Where);
                    item.Sensitivity.push_back(name.Text);
                } while (Accept(","));
            }
            Expect(")");
        }
        Accept("is");
        if (!Is("begin")) Refuse("declarations in a process");
        Next();
        item.Body = Statements({"end"});
        Expect("end");
        Expect("process");
        if (Peek().Kind == TokenKind::Identifier) Next();
        Expect(";");
        return item;
    }

    // x <= a; or x <= a when c else b;
    ModuleItem Concurrent() {
        ModuleItem item;
        item.Kind = ItemKind::Assign;
        item.Where = Peek().Where;
        if (Peek().Kind != TokenKind::Identifier) Fail("a concurrent statement");
        const Token& name = Next();
        auto target = Selects(Build().Name(name.Text, name.Where));
        Expect("<=");
        // a when c1 else b when c2 else d: the first condition that holds
        // chooses, so the chain nests to the right.
        struct Choice {
            ExprPtr Value;
            ExprPtr Cond;
            Location Where;
        };
        std::vector<Choice> choices;
        auto value = Expression();
        while (Is("when")) {
            const Location where = Next().Where;
            auto cond = Condition();
            Expect("else");
            CheckAssignable(*target, *value);
            choices.push_back({std::move(value), std::move(cond), where});
            value = Expression();
        }
        Expect(";");
        for (auto choice = choices.rbegin(); choice != choices.rend(); ++choice) {
            CheckAssignable(*target, *value);
            value = Build().Ternary(std::move(choice->Cond), std::move(choice->Value),
                                    std::move(value), choice->Where);
        }
        CheckAssignable(*target, *value);
        item.Body.push_back(Build().Assign(std::move(target), std::move(value), true, item.Where));
        return item;
    }
};

// signal, constant and enumeration type declarations.
class VhdlDeclarations : public VhdlParser {
public:
    VhdlDeclarations(std::string_view text, const TextOrigin& origin, Scope& scope)
        : VhdlParser(text, origin, scope), scope_(scope) {}

    void All() {
        while (!AtEnd()) {
            if (Accept(";")) continue;
            if (Is("signal")) {
                Next();
                Objects(SymbolKind::Signal);
            } else if (Is("constant")) {
                Next();
                Objects(SymbolKind::Constant);
            } else if (Is("type")) {
                Next();
                Type();
            } else if (Peek().Kind == TokenKind::Identifier) {
                Refuse("the declaration '" + FoldCase(Peek().Text) + "'");
            } else {
                Fail("a declaration (signal, constant or type)");
            }
        }
    }

private:
    std::int64_t Bound() {
        const bool negative = Accept("-");
        auto expr = Simple();
        auto value = ConstantValue(*expr);
        if (!value) Build().Refuse(expr->Where, "a bound that is not constant");
        if (*value > 0x7fffffffu) fault::OutOfRange(File(), expr->Where, "a bound beyond 2**31");
        return negative ? -static_cast<std::int64_t>(*value) : static_cast<std::int64_t>(*value);
    }

    Symbol Subtype(const std::string& name, SymbolKind kind, int line) {
        const Token& type = Next();
        if (type.Kind != TokenKind::Identifier) Fail("a type");
        const std::string folded = FoldCase(type.Text);
        Symbol symbol = MakeSymbol(name, kind, 1, line);
        if (folded == "std_logic" || folded == "std_ulogic" || folded == "bit" ||
            folded == "boolean")
            return symbol;
        if (folded == "std_logic_vector" || folded == "std_ulogic_vector" ||
            folded == "bit_vector" || folded == "unsigned" || folded == "signed") {
            Expect("(");
            const std::int64_t left = Bound();
            if (!Is("downto") && !Is("to")) Fail("'downto' or 'to'");
            const bool down = FoldCase(Next().Text) == "downto";
            const std::int64_t right = Bound();
            Expect(")");
            if ((down && left < right) || (!down && left > right) || left < 0 || right < 0)
                fault::OutOfRange(File(), type.Where, "an empty or negative range");
            symbol.Left = static_cast<int>(left);
            symbol.Right = static_cast<int>(right);
            symbol.Width = static_cast<int>(std::abs(left - right) + 1);
            symbol.Signed = folded == "signed";
            return symbol;
        }
        if (folded == "integer" || folded == "natural" || folded == "positive") {
            Range range{folded == "integer"   ? kVhdlInteger.Low
                        : folded == "natural" ? 0
                                              : 1,
                        kVhdlInteger.High};
            if (Accept("range")) {
                range.Low = Bound();
                if (!Is("to") && !Is("downto")) Fail("'to' or 'downto'");
                const bool down = FoldCase(Next().Text) == "downto";
                range.High = Bound();
                if (down) std::swap(range.Low, range.High);
                if (range.Low > range.High)
                    fault::OutOfRange(File(), type.Where, "an empty integer range");
            }
            symbol.Width = BitsFor(range.Low, range.High);
            symbol.Left = symbol.Width - 1;
            symbol.Signed = range.Low < 0;
            symbol.IsInteger = true;
            symbol.IntegerRange = range;
            return symbol;
        }
        // An enumeration type declared before.
        const std::string typeName = FoldCase(type.Text);
        for (const Symbol& known : scope_.Symbols.All())
            if (known.Kind == SymbolKind::EnumValue && FoldCase(known.TypeName) == typeName) {
                symbol.Width = known.Width;
                symbol.Left = known.Width - 1;
                symbol.TypeName = known.TypeName;
                return symbol;
            }
        Build().Refuse(type.Where, "the type '" + type.Text + "'");
    }

    void Objects(SymbolKind kind) {
        std::vector<Token> names;
        do {
            const Token& name = Next();
            if (name.Kind != TokenKind::Identifier) Fail("a name to declare");
            names.push_back(name);
        } while (Accept(","));
        Expect(":");
        Symbol symbol = Subtype(names.front().Text, kind, names.front().Where.Line);
        if (Accept(":=")) {
            ExprPtr value;
            if (Is("(") && Is("others", 1)) {
                Expr target;
                target.Width = symbol.Width;
                value = Others(target);
            } else {
                value = Expression();
            }
            auto constant = ConstantValue(*value);
            if (!constant) Build().Refuse(value->Where, "an initial value that is not constant");
            if (!symbol.IsInteger && !value->IsInteger && value->Width != symbol.Width)
                fault::OutOfRange(File(), value->Where,
                                  "'" + symbol.Name + "' is " + std::to_string(symbol.Width) +
                                      " bits wide but its value is " +
                                      std::to_string(value->Width) + " bits");
            if (kind == SymbolKind::Constant) symbol.Value = *constant;
        } else if (kind == SymbolKind::Constant) {
            Fail("':=' and the constant's value");
        }
        Expect(";");
        for (const Token& name : names) {
            Symbol each = symbol;
            each.Name = name.Text;
            each.AsfLine = name.Where.Line;
            scope_.Symbols.Add(std::move(each));
        }
    }

    void Type() {
        const Token& name = Next();
        if (name.Kind != TokenKind::Identifier) Fail("a type name");
        Expect("is");
        if (!Accept("(")) Refuse("a type other than an enumeration");
        std::vector<Token> values;
        do {
            const Token& value = Next();
            if (value.Kind != TokenKind::Identifier) Fail("an enumeration value");
            values.push_back(value);
        } while (Accept(","));
        Expect(")");
        Expect(";");
        int width = 1;
        while ((std::size_t{1} << width) < values.size())
            ++width;
        for (std::size_t i = 0; i < values.size(); ++i) {
            Symbol symbol =
                MakeSymbol(values[i].Text, SymbolKind::EnumValue, width, values[i].Where.Line);
            symbol.Value = i;
            symbol.TypeName = name.Text;
            scope_.Symbols.Add(std::move(symbol));
        }
    }

    Scope& scope_;
};

// The statements of a package, split at semicolons outside comments and
// strings, with the line each starts on.
std::vector<std::pair<std::string, int>> PackageStatements(const std::string& text) {
    std::vector<std::pair<std::string, int>> statements;
    std::string current;
    int line = 1, startLine = 1;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!inString && c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            while (i < text.size() && text[i] != '\n')
                ++i;
            --i;
            continue;
        }
        if (c == '\n') ++line;
        if (c == '"') inString = !inString;
        if (current.find_first_not_of(" \t\r\n") == std::string::npos) startLine = line;
        current += c;
        if (c == ';' && !inString) {
            statements.emplace_back(current, startLine);
            current.clear();
        }
    }
    return statements;
}

} // namespace

ExprPtr ParseVhdlCondition(std::string_view text, const TextOrigin& origin, const Scope& scope) {
    VhdlParser parser(text, origin, scope);
    return parser.WholeCondition();
}

StmtList ParseVhdlActions(std::string_view text, const TextOrigin& origin, const Scope& scope) {
    VhdlParser parser(text, origin, scope);
    return parser.Statements({});
}

void ParseVhdlDeclarations(std::string_view text, const TextOrigin& origin, Scope& scope) {
    VhdlDeclarations parser(text, origin, scope);
    parser.All();
}

ModuleItems ParseVhdlModuleItems(std::string_view text, const TextOrigin& origin,
                                 const Scope& scope) {
    VhdlParser parser(text, origin, scope);
    parser.AllowComingValues();
    return parser.Items();
}

void ReadVhdlPackage(const std::string& path, SymbolTable& symbols) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fault::IncludeNotFound(path, {0, 0}, path);
    std::ostringstream content;
    content << in.rdbuf();
    Scope scope;
    scope.Symbols = symbols;
    for (const auto& [statement, line] : PackageStatements(content.str())) {
        const std::size_t first = statement.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) continue;
        const std::string word = FoldCase(statement.substr(first, 8));
        if (word.rfind("constant", 0) != 0 && word.rfind("type", 0) != 0) continue;
        // Lines count from the statement's first line.
        std::string text = statement;
        int skipped = 0;
        for (std::size_t i = 0; i < first; ++i)
            if (text[i] == '\n') ++skipped;
        ParseVhdlDeclarations(text, TextOrigin{path, line - skipped, 1}, scope);
    }
    for (const Symbol& symbol : scope.Symbols.All())
        if (symbol.Kind == SymbolKind::Constant || symbol.Kind == SymbolKind::EnumValue)
            symbols.Add(symbol);
}

} // namespace kestrom::hdl
