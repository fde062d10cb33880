#include "translation/ParsedDesign.h"

#include <algorithm>

#include "hdl/TranslationError.h"
#include "translation/DesignScope.h"

namespace kestrom::translation {
namespace {

void AddOnce(std::vector<const hdl::Symbol*>& symbols, const hdl::Symbol* symbol) {
    if (symbol && std::find(symbols.begin(), symbols.end(), symbol) == symbols.end())
        symbols.push_back(symbol);
}

class DesignParser {
public:
    DesignParser(const machine::FlatMachine& machine, ParsedDesign& design)
        : machine_(machine), d_(design) {}

    void ParseMachine() {
        for (const machine::FlatState& state : machine_.States)
            d_.States.push_back(ParseState(state));
        if (machine_.Reset) d_.Reset = ParseReset(*machine_.Reset);
        for (const machine::TextAt& text : machine_.DiagramActions)
            d_.DiagramActions.push_back(ParseDiagramAction(text));
    }

    void Classify() {
        for (const ParsedState& state : d_.States) {
            AddWrites(state.Entry);
            AddWrites(state.StateActions);
            AddWrites(state.Exit);
            for (const ParsedChoice& choice : state.Choices)
                AddWrites(choice.Actions);
        }
        if (d_.Reset) AddWrites(d_.Reset->Actions);
        for (const ParsedDiagramAction& action : d_.DiagramActions)
            for (const hdl::ModuleItem& item : action.Items)
                ClassifyItem(*action.Source, item);
        for (const ParsedDiagramAction& action : d_.DiagramActions)
            for (const hdl::ModuleItem& item : action.Items)
                ClassifyComing(*action.Source, item);
        if (!d_.Coming.empty()) RefuseLoopsThroughComing();
    }

    static hdl::Location Where(const machine::TextAt& text, const hdl::ModuleItem& item) {
        return {item.Where.Line > 0 ? item.Where.Line : text.AsfLine, item.Where.Column};
    }

    // next_X exists for a register X only: a value the machine's actions write.
    void ClassifyComing(const machine::TextAt& text, const hdl::ModuleItem& item) {
        std::vector<const hdl::Symbol*> coming;
        CollectStatementReads(item.Body, coming, true);
        for (const hdl::Symbol* symbol : coming) {
            if (std::find(d_.Registers.begin(), d_.Registers.end(), symbol) == d_.Registers.end())
                hdl::fault::Unsupported(d_.File, Where(text, item),
                                        "reading 'next_" + symbol->Name +
                                            "' when no action of a "
                                            "state or transition writes '" +
                                            symbol->Name + "'");
            AddOnce(d_.Coming, symbol);
        }
    }

    // The coming values are worked out from the wires the machine reads; a
    // wire that depends on a coming value and is read by the machine again is
    // a loop without a register in it.
    void RefuseLoopsThroughComing() {
        std::vector<const hdl::Symbol*> dependent;
        for (bool grew = true; grew;) {
            grew = false;
            for (const ParsedDiagramAction& action : d_.DiagramActions)
                for (const hdl::ModuleItem& item : action.Items) {
                    std::vector<const hdl::Symbol*> read, coming, written;
                    CollectStatementReads(item.Body, read);
                    CollectStatementReads(item.Body, coming, true);
                    const bool depends =
                        !coming.empty() || std::any_of(read.begin(), read.end(), [&](auto* s) {
                            return std::find(dependent.begin(), dependent.end(), s) !=
                                   dependent.end();
                        });
                    if (!depends) continue;
                    hdl::CollectWrites(item.Body, written);
                    for (const hdl::Symbol* symbol : written)
                        if (std::find(dependent.begin(), dependent.end(), symbol) ==
                            dependent.end()) {
                            dependent.push_back(symbol);
                            grew = true;
                        }
                }
        }
        for (const auto& [symbol, line] : MachineReads())
            if (std::find(dependent.begin(), dependent.end(), symbol) != dependent.end())
                hdl::fault::Unsupported(d_.File, {line, 0},
                                        "reading '" + symbol->Name +
                                            "' here, which depends on a next_ value: a loop "
                                            "without a register");
    }

    // What the machine's texts read, each with the ASF line of the text.
    std::vector<std::pair<const hdl::Symbol*, int>> MachineReads() const {
        std::vector<std::pair<const hdl::Symbol*, int>> read;
        auto actions = [&](const std::vector<ParsedAction>& list) {
            for (const ParsedAction& action : list) {
                std::vector<const hdl::Symbol*> symbols;
                CollectStatementReads(action.Statements, symbols);
                for (const hdl::Symbol* symbol : symbols)
                    read.emplace_back(symbol, action.Source->AsfLine);
            }
        };
        auto condition = [&](const ParsedCondition& parsed) {
            std::vector<const hdl::Symbol*> symbols;
            if (parsed.Expression) hdl::CollectReads(*parsed.Expression, symbols);
            for (const hdl::Symbol* symbol : symbols)
                read.emplace_back(symbol, parsed.Source->AsfLine);
        };
        for (const ParsedState& state : d_.States) {
            actions(state.Entry);
            actions(state.StateActions);
            actions(state.Exit);
            for (const ParsedChoice& choice : state.Choices) {
                for (const ParsedCondition& parsed : choice.Conditions)
                    condition(parsed);
                actions(choice.Actions);
            }
        }
        if (d_.Reset) {
            if (d_.Reset->Condition) condition(*d_.Reset->Condition);
            actions(d_.Reset->Actions);
        }
        return read;
    }

private:
    hdl::TextOrigin Origin(const machine::TextAt& text) const {
        return {d_.File, text.AsfLine, text.Column > 0 ? text.Column : 1};
    }

    std::vector<ParsedAction> ParseActions(const std::vector<machine::ActionText>& texts) {
        std::vector<ParsedAction> actions;
        for (const machine::ActionText& text : texts)
            actions.push_back(
                {&text, hdl::ParseActions(d_.Language, text.Text, Origin(text), *d_.Scope)});
        return actions;
    }

    ParsedCondition ParseCondition(const machine::ConditionText& text) {
        return {&text, hdl::ParseCondition(d_.Language, text.Text, Origin(text), *d_.Scope)};
    }

    ParsedState ParseState(const machine::FlatState& state) {
        ParsedState parsed;
        parsed.Source = &state;
        parsed.Entry = ParseActions(state.Entry);
        parsed.StateActions = ParseActions(state.StateActions);
        parsed.Exit = ParseActions(state.Exit);
        for (const machine::Choice& choice : state.Choices) {
            ParsedChoice parsedChoice;
            parsedChoice.Source = &choice;
            for (const machine::ConditionText& condition : choice.Conditions)
                parsedChoice.Conditions.push_back(ParseCondition(condition));
            parsedChoice.Actions = ParseActions(choice.Actions);
            parsed.Choices.push_back(std::move(parsedChoice));
        }
        return parsed;
    }

    ParsedReset ParseReset(const machine::Reset& reset) {
        ParsedReset parsed;
        parsed.Source = &reset;
        if (!reset.Condition.Text.empty()) parsed.Condition = ParseCondition(reset.Condition);
        parsed.Actions = ParseActions(reset.Actions);
        return parsed;
    }

    ParsedDiagramAction ParseDiagramAction(const machine::TextAt& text) {
        return {&text, hdl::ParseDiagramActions(d_.Language, text.Text, Origin(text), *d_.Scope)};
    }

    void AddWrites(const std::vector<ParsedAction>& actions) {
        for (const ParsedAction& action : actions) {
            std::vector<const hdl::Symbol*> written;
            hdl::CollectWrites(action.Statements, written);
            for (const hdl::Symbol* symbol : written)
                AddOnce(d_.Registers, symbol);
        }
    }

    void ClassifyItem(const machine::TextAt& text, const hdl::ModuleItem& item) {
        const hdl::Location where{item.Where.Line > 0 ? item.Where.Line : text.AsfLine,
                                  item.Where.Column};
        if (item.Clocked)
            hdl::fault::Unsupported(d_.File, where, "a clocked always block in a diagram action");
        std::vector<const hdl::Symbol*> written;
        hdl::CollectWrites(item.Body, written);
        for (const hdl::Symbol* symbol : written) {
            if (std::find(d_.Registers.begin(), d_.Registers.end(), symbol) != d_.Registers.end())
                hdl::fault::Unsupported(d_.File, where,
                                        "'" + symbol->Name +
                                            "' written both by a diagram action and by the "
                                            "actions of states or transitions");
            AddOnce(d_.Wires, symbol);
        }
        std::vector<const hdl::Symbol*> read;
        CollectStatementReads(item.Body, read);
        for (const hdl::Symbol* symbol : read)
            if (symbol->Kind == hdl::SymbolKind::Input || symbol->Kind == hdl::SymbolKind::InOut)
                AddOnce(d_.WireInputs, symbol);
    }

    const machine::FlatMachine& machine_;
    ParsedDesign& d_;
};

void CollectExpressionReads(const hdl::ExprPtr& expr, std::vector<const hdl::Symbol*>& read,
                            bool coming) {
    if (!expr) return;
    std::vector<const hdl::Symbol*> found;
    if (coming)
        hdl::CollectComingReads(*expr, found);
    else
        hdl::CollectReads(*expr, found);
    for (const hdl::Symbol* symbol : found)
        AddOnce(read, symbol);
}

// The selects of an assignment's target read their indexes, not the target.
void CollectTargetReads(const hdl::Expr& target, std::vector<const hdl::Symbol*>& read,
                        bool coming) {
    if (target.Kind == hdl::ExprKind::Concat) {
        for (const hdl::ExprPtr& part : target.Operands)
            if (part) CollectTargetReads(*part, read, coming);
        return;
    }
    if (target.Kind == hdl::ExprKind::BitSelect && target.Operands.size() > 1)
        CollectExpressionReads(target.Operands[1], read, coming);
}

} // namespace

void CollectStatementReads(const hdl::StmtList& statements, std::vector<const hdl::Symbol*>& read,
                           bool coming) {
    for (const hdl::StmtPtr& statement : statements) {
        if (!statement) continue;
        switch (statement->Kind) {
        case hdl::StmtKind::Assign:
            if (statement->Target) CollectTargetReads(*statement->Target, read, coming);
            CollectExpressionReads(statement->Value, read, coming);
            break;
        case hdl::StmtKind::If:
            CollectExpressionReads(statement->Cond, read, coming);
            CollectStatementReads(statement->Then, read, coming);
            for (const hdl::ElseIf& elif : statement->Elifs) {
                CollectExpressionReads(elif.Cond, read, coming);
                CollectStatementReads(elif.Body, read, coming);
            }
            CollectStatementReads(statement->Else, read, coming);
            break;
        case hdl::StmtKind::Case:
            CollectExpressionReads(statement->Subject, read, coming);
            for (const hdl::CaseItem& item : statement->Items) {
                for (const hdl::ExprPtr& label : item.Labels)
                    CollectExpressionReads(label, read, coming);
                CollectStatementReads(item.Body, read, coming);
            }
            CollectStatementReads(statement->Default, read, coming);
            break;
        case hdl::StmtKind::Block:
            CollectStatementReads(statement->Body, read, coming);
            break;
        }
    }
}

ParsedDesign ParseDesign(const drawing::Drawing& drawing, const machine::FlatMachine& machine,
                         const HdlOptions& options, const std::string& asfFile) {
    ParsedDesign design;
    design.File = asfFile;
    const std::optional<hdl::Language> language = hdl::LanguageNamed(drawing.Language);
    if (!language || *language == hdl::Language::Cpp)
        hdl::fault::Unsupported(asfFile, {0, 0},
                                "the action language '" + drawing.Language +
                                    "' (the header's LANGUAGE= line names no hardware language)");
    design.Language = *language;
    design.Scope = std::make_unique<hdl::Scope>();
    FillScope(drawing, machine, design.Language, options, asfFile, *design.Scope);
    DesignParser parser(machine, design);
    parser.ParseMachine();
    parser.Classify();
    return design;
}

} // namespace kestrom::translation
