#include "analysis/Encoding.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace kestrom::analysis {
namespace {

using hdl::BinaryOp;
using hdl::Expr;
using hdl::ExprKind;
using hdl::SymbolKind;
using hdl::UnaryOp;

struct NotModelled {
    std::string What;
};

// The widths are the tree's: the emitted module computes at them, and the
// analysis must mean what the module does.
int SelfWidth(const Expr& e) {
    return e.Width;
}

z3::expr Resized(const z3::expr& value, int to, bool isSigned) {
    const int from = static_cast<int>(value.get_sort().bv_size());
    if (from == to) return value;
    if (from > to) return value.extract(to - 1, 0);
    return isSigned ? z3::sext(value, to - from) : z3::zext(value, to - from);
}

z3::expr Bit(const z3::expr& truth) {
    z3::context& c = truth.ctx();
    return z3::ite(truth, c.bv_val(1, 1), c.bv_val(0, 1));
}

z3::expr ReducedXor(const z3::expr& value) {
    const unsigned width = value.get_sort().bv_size();
    z3::expr bit = value.extract(0, 0);
    for (unsigned i = 1; i < width; ++i)
        bit = bit ^ value.extract(i, i);
    return bit;
}

class Translation {
public:
    Translation(z3::context& context, const std::function<z3::expr(const hdl::Symbol&)>& variable)
        : c_(context), variable_(variable) {}

    z3::expr Truth(const Expr& e) { return At(e, SelfWidth(e)) != c_.bv_val(0, SelfWidth(e)); }

    // The value of `e` in a context `width` bits wide; a signed value keeps
    // its sign as it widens.
    z3::expr At(const Expr& e, int width) {
        const bool isSigned = e.Signed;
        if (e.SelfDetermined && SelfWidth(e) < width)
            return Resized(At(e, SelfWidth(e)), width, isSigned);
        switch (e.Kind) {
        case ExprKind::Literal:
            return Resized(c_.bv_val(static_cast<std::uint64_t>(e.Value), SelfWidth(e)), width,
                           isSigned);
        case ExprKind::Name:
            return Resized(Named(e), width, isSigned);
        case ExprKind::Unary:
            return Unary(e, width);
        case ExprKind::Binary:
            return Binary(e, width);
        case ExprKind::Ternary:
            return z3::ite(Truth(*e.Operands[0]), At(*e.Operands[1], width),
                           At(*e.Operands[2], width));
        case ExprKind::Concat:
        case ExprKind::Replicate:
        case ExprKind::BitSelect:
        case ExprKind::PartSelect:
            return Resized(SelfDetermined(e), width, isSigned);
        case ExprKind::Call:
            throw NotModelled{"a call of '" + e.Text + "' cannot be modelled"};
        }
        throw NotModelled{"an expression of an unknown kind cannot be modelled"};
    }

private:
    z3::expr Named(const Expr& e) {
        if (!e.Sym) throw NotModelled{"the name '" + e.Text + "' is not declared"};
        const hdl::Symbol& symbol = *e.Sym;
        if (ConditionEncoder::IsFree(symbol))
            return Resized(variable_(symbol), SelfWidth(e), symbol.Signed);
        if (!symbol.Value) throw NotModelled{"the value of '" + symbol.Name + "' is not known"};
        return c_.bv_val(static_cast<std::uint64_t>(*symbol.Value), SelfWidth(e));
    }

    z3::expr SelfDetermined(const Expr& e) {
        switch (e.Kind) {
        case ExprKind::Concat: {
            z3::expr joined = At(*e.Operands[0], SelfWidth(*e.Operands[0]));
            for (std::size_t i = 1; i < e.Operands.size(); ++i)
                joined = z3::concat(joined, At(*e.Operands[i], SelfWidth(*e.Operands[i])));
            return joined;
        }
        case ExprKind::Replicate: {
            const Expr& part = *e.Operands[0];
            if (e.Count < 1) throw NotModelled{"a replication of no copies cannot be modelled"};
            const z3::expr once = At(part, SelfWidth(part));
            z3::expr joined = once;
            for (int i = 1; i < e.Count; ++i)
                joined = z3::concat(joined, once);
            return joined;
        }
        case ExprKind::BitSelect:
        case ExprKind::PartSelect: {
            const Expr& whole = *e.Operands[0];
            if (e.Operands.size() > 1) return VariableBit(whole, *e.Operands[1]);
            const z3::expr value = At(whole, SelfWidth(whole));
            if (e.Lsb < 0 || e.Msb < e.Lsb || e.Msb >= static_cast<int>(value.get_sort().bv_size()))
                throw NotModelled{"a select outside the bits of its value cannot be modelled"};
            return value.extract(e.Msb, e.Lsb);
        }
        default:
            throw NotModelled{"an expression of an unknown kind cannot be modelled"};
        }
    }

    // A bit chosen by a value: none (0) past the top bit, as the module computes it.
    z3::expr VariableBit(const Expr& whole, const Expr& index) {
        const int wide = std::max(SelfWidth(whole), SelfWidth(index));
        const z3::expr value = Resized(At(whole, SelfWidth(whole)), wide, false);
        const z3::expr at = Resized(At(index, SelfWidth(index)), wide, false);
        return z3::ite(z3::ult(at, c_.bv_val(SelfWidth(whole), wide)),
                       z3::lshr(value, at).extract(0, 0), c_.bv_val(0, 1));
    }

    z3::expr Unary(const Expr& e, int width) {
        const Expr& a = *e.Operands[0];
        switch (e.Unary) {
        case UnaryOp::LogicNot:
            return Resized(Bit(!Truth(a)), width, false);
        case UnaryOp::BitNot:
            return ~At(a, width);
        case UnaryOp::Negate:
            return -At(a, width);
        case UnaryOp::Plus:
            return At(a, width);
        default:
            break;
        }
        const z3::expr value = At(a, SelfWidth(a));
        const unsigned w = value.get_sort().bv_size();
        z3::expr bit = c_.bv_val(0, 1);
        switch (e.Unary) {
        case UnaryOp::ReduceAnd:
        case UnaryOp::ReduceNand:
            bit = Bit(value == c_.bv_val(-1, w));
            break;
        case UnaryOp::ReduceOr:
        case UnaryOp::ReduceNor:
            bit = Bit(value != c_.bv_val(0, w));
            break;
        default:
            bit = ReducedXor(value);
            break;
        }
        if (e.Unary == UnaryOp::ReduceNand || e.Unary == UnaryOp::ReduceNor ||
            e.Unary == UnaryOp::ReduceXnor)
            bit = ~bit;
        return Resized(bit, width, false);
    }

    z3::expr Binary(const Expr& e, int width) {
        const Expr& a = *e.Operands[0];
        const Expr& b = *e.Operands[1];
        if (hdl::IsLogical(e.Binary)) {
            const z3::expr truth =
                e.Binary == BinaryOp::LogicAnd ? Truth(a) && Truth(b) : Truth(a) || Truth(b);
            return Resized(Bit(truth), width, false);
        }
        if (hdl::IsComparison(e.Binary)) return Resized(Bit(Compare(e.Binary, a, b)), width, false);
        if (hdl::IsShift(e.Binary)) return Shift(e, width);
        if (auto plain = hdl::ApplyPlainOperator(e.Binary, At(a, width), At(b, width)))
            return *plain;
        throw NotModelled{"the operator '" + std::string(hdl::Spelling(e.Binary)) +
                          "' cannot be modelled"};
    }

    z3::expr Compare(BinaryOp op, const Expr& a, const Expr& b) {
        const int width = std::max(SelfWidth(a), SelfWidth(b));
        const bool isSigned = a.Signed && b.Signed;
        const z3::expr x = At(a, width);
        const z3::expr y = At(b, width);
        switch (op) {
        case BinaryOp::Eq:
            return x == y;
        case BinaryOp::Ne:
            return x != y;
        case BinaryOp::Lt:
            return isSigned ? x < y : z3::ult(x, y);
        case BinaryOp::Le:
            return isSigned ? x <= y : z3::ule(x, y);
        case BinaryOp::Gt:
            return isSigned ? x > y : z3::ugt(x, y);
        default:
            return isSigned ? x >= y : z3::uge(x, y);
        }
    }

    // The shifted value at the context width, the amount at its own: shifts by
    // the width or more leave nothing.
    z3::expr Shift(const Expr& e, int width) {
        const Expr& amount = *e.Operands[1];
        const int wide = std::max(width, SelfWidth(amount));
        const z3::expr x = Resized(At(*e.Operands[0], width), wide, false);
        const z3::expr by = Resized(At(amount, SelfWidth(amount)), wide, false);
        const z3::expr shifted = e.Binary == BinaryOp::Shl ? z3::shl(x, by) : z3::lshr(x, by);
        return shifted.extract(width - 1, 0);
    }

    z3::context& c_;
    const std::function<z3::expr(const hdl::Symbol&)>& variable_;
};

// The bits of a numeral, most significant first, `width` of them.
std::string BitsOf(const z3::expr& value, unsigned width) {
    std::string bits(width, '0');
    for (unsigned low = 0; low < width; low += 64) {
        const unsigned high = std::min(width, low + 64) - 1;
        const std::uint64_t word = value.extract(high, low).simplify().get_numeral_uint64();
        for (unsigned i = low; i <= high; ++i)
            if ((word >> (i - low)) & 1) bits[width - 1 - i] = '1';
    }
    return bits;
}

std::string HexOf(const std::string& bits) {
    std::string hex;
    const std::size_t lead = bits.size() % 4;
    for (std::size_t i = 0; i < bits.size();) {
        const std::size_t take = hex.empty() && lead != 0 ? lead : 4;
        unsigned digit = 0;
        for (std::size_t k = 0; k < take; ++k)
            digit = digit * 2 + (bits[i + k] - '0');
        hex += "0123456789abcdef"[digit];
        i += take;
    }
    return hex;
}

std::string WithoutLeadingZeros(std::string digits) {
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

} // namespace

ConditionEncoder::ConditionEncoder(z3::context& context, const hdl::SymbolTable& symbols)
    : context_(context), symbols_(symbols) {}

bool ConditionEncoder::IsFree(const hdl::Symbol& symbol) {
    return symbol.Kind == SymbolKind::Input || symbol.Kind == SymbolKind::Output ||
           symbol.Kind == SymbolKind::InOut || symbol.Kind == SymbolKind::Signal;
}

Encoded ConditionEncoder::Encode(const hdl::Expr& condition) {
    const std::function<z3::expr(const hdl::Symbol&)> variable = [this](const hdl::Symbol& symbol) {
        return MakeVariable(symbol);
    };
    try {
        return {Translation(context_, variable).Truth(condition), {}};
    } catch (const NotModelled& reason) {
        return {std::nullopt, reason.What};
    } catch (const z3::exception& error) {
        return {std::nullopt, std::string("the solver refused it (") + error.msg() + ")"};
    }
}

z3::expr ConditionEncoder::VariableOf(const hdl::Symbol& symbol) const {
    return variables_.at(&symbol);
}

z3::expr ConditionEncoder::MakeVariable(const hdl::Symbol& symbol) {
    const auto found = variables_.find(&symbol);
    if (found != variables_.end()) return found->second;
    const int width = std::max(symbol.Width, 1);
    const z3::expr value =
        context_.bv_const((symbol.Name + "!" + std::to_string(variables_.size())).c_str(), width);
    variables_.emplace(&symbol, value);
    if (symbol.IntegerRange) {
        const hdl::Range range = *symbol.IntegerRange;
        const z3::expr low = context_.bv_val(static_cast<std::int64_t>(range.Low), width);
        const z3::expr high = context_.bv_val(static_cast<std::int64_t>(range.High), width);
        domain_.push_back(range.Low < 0 ? low <= value && value <= high
                                        : z3::ule(low, value) && z3::ule(value, high));
    }
    if (!symbol.TypeName.empty() && symbol.Kind != SymbolKind::EnumValue) {
        z3::expr_vector either(context_);
        for (const hdl::Symbol& other : symbols_.All())
            if (other.Kind == SymbolKind::EnumValue && other.TypeName == symbol.TypeName &&
                other.Value)
                either.push_back(value ==
                                 context_.bv_val(static_cast<std::uint64_t>(*other.Value), width));
        if (!either.empty()) domain_.push_back(z3::mk_or(either));
    }
    return value;
}

z3::expr ConditionEncoder::Domain() const {
    z3::expr_vector all(context_);
    for (const z3::expr& fact : domain_)
        all.push_back(fact);
    return all.empty() ? context_.bool_val(true) : z3::mk_and(all);
}

void ConditionEncoder::AddReads(const hdl::Expr& condition,
                                std::vector<const hdl::Symbol*>& names) {
    if (condition.Kind == ExprKind::Name && condition.Sym && IsFree(*condition.Sym) &&
        std::find(names.begin(), names.end(), condition.Sym) == names.end())
        names.push_back(condition.Sym);
    for (const hdl::ExprPtr& operand : condition.Operands)
        if (operand) AddReads(*operand, names);
}

std::string ConditionEncoder::ValueText(const z3::expr& value, const hdl::Symbol& symbol,
                                        hdl::Language language) const {
    const unsigned width = value.get_sort().bv_size();
    const std::string bits = BitsOf(value, width);
    if (!symbol.TypeName.empty() && width <= 64)
        for (const hdl::Symbol& other : symbols_.All())
            if (other.Kind == SymbolKind::EnumValue && other.TypeName == symbol.TypeName &&
                other.Value == value.simplify().get_numeral_uint64())
                return other.Name;
    if (symbol.IsInteger || symbol.IntegerRange || language == hdl::Language::Cpp) {
        if (width <= 64) {
            std::uint64_t number = value.simplify().get_numeral_uint64();
            if (symbol.Signed && width < 64 && bits[0] == '1')
                return std::to_string(static_cast<std::int64_t>(number) -
                                      (static_cast<std::int64_t>(1) << width));
            if (symbol.Signed && width == 64)
                return std::to_string(static_cast<std::int64_t>(number));
            return std::to_string(number);
        }
        return "0x" + WithoutLeadingZeros(HexOf(bits));
    }
    if (language == hdl::Language::Vhdl) {
        if (width == 1) return std::string("'") + bits + "'";
        if (width % 4 == 0 && width > 16) return "x\"" + HexOf(bits) + "\"";
        return "\"" + bits + "\"";
    }
    if (width == 1) return bits;
    return std::to_string(width) + "'h" + WithoutLeadingZeros(HexOf(bits));
}

} // namespace kestrom::analysis
