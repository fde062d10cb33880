// The sections every generated module has, written in the order of the file.
// A writer derives from ModuleSections, says what goes into each state's case
// and may add lines at the marked places.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/Diagnostics.h"
#include "io/TextOutput.h"
#include "model/FsmModel.h"

namespace kestrom {

class ModuleSections {
public:
    ModuleSections(const FsmModel& model, Diagnostics& warnings, TextOutput& out);
    virtual ~ModuleSections() = default;

    // The whole file, then hands the rest of the buffer on.
    void Write();

protected:
    static constexpr std::size_t kMaxActionLines = 125;

    // Every line is whole and ends in CR LF; indentation is blanks only.
    void Line(int indent, std::string_view text = {});
    void Line(int indent, std::initializer_list<std::string_view> pieces);
    void EmptyLines(int count);

    void WriteHeaderComment();
    void WriteModuleDeclaration();
    void WriteConstructor();
    void WriteStateEnumeration();
    void WriteFsmRun();
    void WriteSwitch();
    void WriteStateBlock(int row);
    void WriteMethodTail();

    // The lines inside one state's case.
    virtual void WriteStateActions(const StateRec& state) = 0;
    virtual void WriteNextState(int row) = 0;

    // Places where a writer adds its own lines; the plain module adds none.
    virtual void WritePorts() = 0;
    virtual void WriteHeaderAdditions() {}
    virtual void WriteSensitivityAdditions() {}
    virtual void WriteStartValueAdditions() {}
    virtual void WriteStateVariableAdditions() {}
    virtual void WriteMethodHead() {}
    // One evaluation of the machine; the plain module's is the switch alone.
    virtual void WriteEvaluation() { WriteSwitch(); }
    virtual void WriteThreadTail();

    void Warn(int line, std::string_view code, std::string message);
    void WarnNeverTaken(int line, const std::string& state, const std::string& target);
    void WarnNoState(int line, Integer targetId);

    const FsmModel& model_;
    const bool method_;
    // Without a trap state the default: branch names no state, and the file
    // does not compile; when set, the machine stays where it is instead.
    bool keepStateWithoutTrap_ = false;
    // When set, the lines written so far are counted (for #line directives).
    bool countLines_ = false;
    int LinesWritten() const { return linesWritten_; }

private:
    void Count(std::string_view piece);

    int linesWritten_ = 0;
    Diagnostics& warnings_;
    TextOutput& out_;
};

} // namespace kestrom
