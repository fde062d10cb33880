#include "analysis/ConditionAnalysis.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "analysis/ChoiceModel.h"
#include "analysis/Encoding.h"
#include "analysis/StateQuestions.h"
#include "drawing/Drawing.h"
#include "hdl/TranslationError.h"
#include "translation/DesignScope.h"

namespace kestrom::analysis {
namespace {

using TransitionsById = std::unordered_map<drawing::ObjectId, const drawing::DrawnTransition*>;

TransitionsById IndexTransitions(const drawing::DrawnMachine& drawn) {
    TransitionsById byId;
    for (const drawing::DrawnDiagram& diagram : drawn.Diagrams)
        for (const drawing::DrawnTransition& transition : diagram.Transitions)
            if (transition.Object) byId.emplace(transition.Object->Id, &transition);
    return byId;
}

// Every condition text of the file, parsed and encoded once however many
// paths share it.
class ConditionTerms {
public:
    ConditionTerms(ConditionEncoder& encoder, hdl::Language language, const hdl::Scope& scope,
                   const std::string& asfFile)
        : encoder_(encoder), language_(language), scope_(scope), asfFile_(asfFile) {}

    // The term, and why it is not modelled the first time it is met.
    const ConditionTerm& Of(const machine::ConditionText& text, std::string* firstFailure) {
        const auto key = std::make_pair(text.AsfLine, text.Column);
        auto found = terms_.find(key);
        if (found != terms_.end() && found->second.Text->Text == text.Text) return found->second;
        ConditionTerm term;
        term.Text = &text;
        std::string failure;
        try {
            const hdl::ExprPtr tree = hdl::ParseCondition(
                language_, text.Text, hdl::TextOrigin{asfFile_, text.AsfLine, text.Column}, scope_);
            Encoded encoded = encoder_.Encode(*tree);
            term.Holds = encoded.Holds;
            failure = encoded.NotModelled;
            if (term.Holds) ConditionEncoder::AddReads(*tree, term.Reads);
        } catch (const hdl::TranslationError& error) {
            failure = error.Message();
        }
        if (firstFailure) *firstFailure = failure;
        return terms_.insert_or_assign(key, std::move(term)).first->second;
    }

private:
    ConditionEncoder& encoder_;
    hdl::Language language_;
    const hdl::Scope& scope_;
    const std::string& asfFile_;
    std::map<std::pair<int, int>, ConditionTerm> terms_;
};

// The step of `choice` whose transition carries the condition drawn on `line`.
std::size_t StepOfCondition(const std::vector<Step>& steps, const TransitionsById& transitions,
                            int conditionLine, std::size_t from) {
    for (std::size_t k = from; k < steps.size(); ++k) {
        const auto found = transitions.find(steps[k].Id);
        if (found != transitions.end() && found->second->Condition &&
            found->second->Condition->Line == conditionLine)
            return k;
    }
    return from;
}

class FileAnalysis {
public:
    FileAnalysis(const machine::FlatMachine& machine, const drawing::DrawnMachine& drawn,
                 hdl::Language language, const hdl::Scope& scope, const std::string& asfFile,
                 const AnalysisOptions& options)
        : machine_(machine), transitions_(IndexTransitions(drawn)), language_(language),
          encoder_(context_, scope.Symbols), terms_(encoder_, language, scope, asfFile),
          solver_(context_, options.Limit, options.Cancel), options_(options) {}

    AnalysisResult Run() {
        std::vector<std::vector<ChoiceModel>> models;
        for (const machine::FlatState& state : machine_.States)
            models.push_back(ModelsOf(state));
        std::optional<z3::expr> notReset;
        if (machine_.Reset && !machine_.Reset->Condition.Text.empty()) {
            const ConditionTerm& reset = terms_.Of(machine_.Reset->Condition, nullptr);
            if (reset.Holds) notReset = !*reset.Holds;
        }
        StateQuestions questions(solver_, encoder_, language_, encoder_.Domain(), notReset,
                                 options_.UncoveredInputs, diagnostics_);
        for (std::size_t s = 0; s < machine_.States.size(); ++s) {
            const machine::FlatState& state = machine_.States[s];
            const int line = state.Drawn && state.Drawn->Object ? state.Drawn->Object->Line : 0;
            questions.Analyse({state.Path, line}, models[s]);
        }
        if (solver_.Figures().NotAsked > 0)
            diagnostics_.push_back(
                BudgetSpentNote(options_.Limit.PerFile, solver_.Figures().NotAsked));
        return {Ordered(std::move(diagnostics_)), solver_.Figures()};
    }

private:
    std::vector<ChoiceModel> ModelsOf(const machine::FlatState& state) {
        std::vector<ChoiceModel> models;
        for (const machine::Choice& choice : state.Choices) {
            ChoiceModel model;
            model.Choice = &choice;
            model.Target = choice.Target < machine_.States.size()
                               ? machine_.States[choice.Target].Path
                               : std::string();
            model.Steps = StepsOf(choice, transitions_);
            if (model.Steps.size() > 1) model.From = state.Path;
            AddConditions(model);
            models.push_back(std::move(model));
        }
        return models;
    }

    void AddConditions(ChoiceModel& model) {
        bool modelled = true;
        z3::expr holds = context_.bool_val(true);
        std::size_t step = 0;
        for (const machine::ConditionText& text : model.Choice->Conditions) {
            std::string failure;
            const ConditionTerm& term = terms_.Of(text, &failure);
            step = StepOfCondition(model.Steps, transitions_, text.AsfLine, step);
            model.Conditions.push_back(&term);
            model.StepOfCondition.push_back(step);
            if (!failure.empty())
                diagnostics_.push_back(NotModelledNote(model.Steps[step].Line, text.Text,
                                                       RefAt(model, step), failure));
            if (!term.Holds) {
                modelled = false;
                continue;
            }
            holds = holds && *term.Holds;
            for (const hdl::Symbol* symbol : term.Reads)
                if (std::find(model.Reads.begin(), model.Reads.end(), symbol) == model.Reads.end())
                    model.Reads.push_back(symbol);
        }
        if (modelled) model.Holds = holds.simplify();
    }

    static Diagnostics Ordered(Diagnostics diagnostics) {
        SortByLine(diagnostics);
        Diagnostics unique;
        for (Diagnostic& diagnostic : diagnostics)
            if (std::find(unique.begin(), unique.end(), diagnostic) == unique.end())
                unique.push_back(std::move(diagnostic));
        return unique;
    }

    const machine::FlatMachine& machine_;
    TransitionsById transitions_;
    hdl::Language language_;
    z3::context context_;
    ConditionEncoder encoder_;
    ConditionTerms terms_;
    QuerySolver solver_;
    const AnalysisOptions& options_;
    Diagnostics diagnostics_;
};

} // namespace

AnalysisResult AnalyseConditions(const machine::FlatMachine& machine,
                                 const drawing::DrawnMachine& drawn, hdl::Language language,
                                 const hdl::Scope& scope, const std::string& asfFile,
                                 const AnalysisOptions& options) {
    return FileAnalysis(machine, drawn, language, scope, asfFile, options).Run();
}

AnalysisResult AnalyseConditionsOfFile(const std::string& asfPath,
                                       const translation::HdlOptions& names,
                                       const AnalysisOptions& options) {
    return AnalyseConditionsOfDrawing(drawing::ReadDrawingFile(asfPath), asfPath, names, options);
}

AnalysisResult AnalyseConditionsOfDrawing(const drawing::Drawing& drawing,
                                          const std::string& asfPath,
                                          const translation::HdlOptions& names,
                                          const AnalysisOptions& options) {
    const drawing::DrawnMachine drawn = drawing::DescribeMachine(drawing);
    Diagnostics flattening;
    const machine::FlatMachine machine = machine::Flatten(drawn, flattening);
    const hdl::Language language =
        hdl::LanguageNamed(drawing.Language).value_or(hdl::Language::Cpp);
    hdl::Scope scope;
    std::optional<Diagnostic> unread;
    try {
        translation::FillScope(drawing, machine, language, names, asfPath, scope);
    } catch (const hdl::TranslationError& error) {
        // Without the include files the drawn names are still known;
        // conditions using the rest are not modelled and say so.
        unread = ScopeNotReadNote(error.Line(), error.Message());
        drawing::Drawing withoutIncludes = drawing;
        withoutIncludes.Libraries.clear();
        scope = hdl::Scope();
        try {
            translation::FillScope(withoutIncludes, machine, language, names, asfPath, scope);
        } catch (const hdl::TranslationError&) {
            // what was read before the first unreadable name stays known
        }
    }
    AnalysisResult result = AnalyseConditions(machine, drawn, language, scope, asfPath, options);
    if (unread) result.Reported.insert(result.Reported.begin(), *unread);
    return result;
}

} // namespace kestrom::analysis
