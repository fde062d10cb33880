#include "hdl/Macros.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "hdl/TranslationError.h"

namespace kestrom::hdl {

void MacroTable::Define(std::string name, std::string value, std::string file, int line,
                        bool hasParameters) {
    Macro macro;
    macro.HasParameters = hasParameters;
    macro.Name = name;
    macro.Value = std::move(value);
    macro.File = std::move(file);
    macro.Line = line;
    macros_[std::move(name)] = std::move(macro);
}

void MacroTable::Undefine(std::string_view name) {
    macros_.erase(std::string(name));
}

const Macro* MacroTable::Find(std::string_view name) const {
    auto found = macros_.find(std::string(name));
    return found == macros_.end() ? nullptr : &found->second;
}

namespace {

constexpr int kMaxIncludeDepth = 50;

struct Branch {
    bool Active;      // the lines of this branch count
    bool Taken;       // a branch of this `ifdef was taken already
    bool OuterActive; // the lines around the `ifdef count
    bool SeenElse;
};

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

std::string Trim(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t' || text[first] == '\r'))
        ++first;
    while (last > first &&
           (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
        --last;
    return std::string(text.substr(first, last - first));
}

std::string ReadWholeFile(const std::filesystem::path& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class DirectiveScanner {
public:
    DirectiveScanner(const TextOrigin& origin, const std::vector<std::string>& includeDirs,
                     MacroTable& macros, int depth)
        : origin_(origin), includeDirs_(includeDirs), macros_(macros), depth_(depth) {}

    void Run(std::string_view text) {
        std::vector<std::string> lines = SplitWithoutComments(text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            // A `define may continue over lines ending in a backslash.
            std::string line = lines[i];
            const std::size_t first = i;
            while (!line.empty() && Trim(line).size() && Trim(line).back() == '\\' &&
                   i + 1 < lines.size()) {
                line = Trim(line);
                line.pop_back();
                line += " " + lines[++i];
            }
            Line(line, static_cast<int>(first));
        }
        if (!stack_.empty())
            fault::SyntaxText(origin_.File, openedAt_.back(),
                              "`ifdef without `endif before the end of the text");
    }

private:
    Location Where(int lineIndex, std::size_t column) const {
        return {origin_.AsfLine + lineIndex,
                (lineIndex == 0 ? origin_.FirstColumn : 1) + static_cast<int>(column)};
    }

    bool Active() const { return stack_.empty() || stack_.back().Active; }

    // The text's lines with // and /* */ comments blanked out.
    static std::vector<std::string> SplitWithoutComments(std::string_view text) {
        std::vector<std::string> lines(1);
        bool inBlock = false, inString = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const char next = i + 1 < text.size() ? text[i + 1] : '\0';
            if (c == '\n') {
                lines.emplace_back();
                inString = false;
                continue;
            }
            if (inBlock) {
                if (c == '*' && next == '/') {
                    inBlock = false;
                    ++i;
                    lines.back() += "  ";
                } else {
                    lines.back() += ' ';
                }
                continue;
            }
            if (!inString && c == '/' && next == '/') {
                while (i + 1 < text.size() && text[i + 1] != '\n')
                    ++i;
                continue;
            }
            if (!inString && c == '/' && next == '*') {
                inBlock = true;
                ++i;
                lines.back() += "  ";
                continue;
            }
            if (c == '"') inString = !inString;
            lines.back() += c;
        }
        return lines;
    }

    void Line(const std::string& line, int lineIndex) {
        std::size_t at = 0;
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at >= line.size() || line[at] != '`') return;
        const std::size_t nameStart = at + 1;
        std::size_t nameEnd = nameStart;
        while (nameEnd < line.size() && IsNameChar(line[nameEnd]))
            ++nameEnd;
        const std::string directive = line.substr(nameStart, nameEnd - nameStart);
        const std::string rest = line.substr(nameEnd);
        const Location where = Where(lineIndex, at);
        if (directive == "ifdef" || directive == "ifndef") {
            const std::string name = NameIn(rest, where, directive);
            const bool defined = macros_.IsDefined(name);
            const bool holds = directive == "ifdef" ? defined : !defined;
            stack_.push_back({Active() && holds, holds, Active(), false});
            openedAt_.push_back(where);
        } else if (directive == "elsif") {
            Branch& branch = Current(where, directive);
            const std::string name = NameIn(rest, where, directive);
            const bool holds = !branch.Taken && macros_.IsDefined(name);
            branch.Active = branch.OuterActive && holds;
            branch.Taken = branch.Taken || holds;
        } else if (directive == "else") {
            Branch& branch = Current(where, directive);
            if (branch.SeenElse) fault::SyntaxText(origin_.File, where, "a second `else");
            branch.SeenElse = true;
            branch.Active = branch.OuterActive && !branch.Taken;
            branch.Taken = true;
        } else if (directive == "endif") {
            Current(where, directive);
            stack_.pop_back();
            openedAt_.pop_back();
        } else if (!Active()) {
            return;
        } else if (directive == "define") {
            Define(rest, where, lineIndex);
        } else if (directive == "undef") {
            macros_.Undefine(NameIn(rest, where, directive));
        } else if (directive == "include") {
            Include(rest, where);
        }
        // `timescale and the other directives do not concern the actions.
    }

    Branch& Current(Location where, const std::string& directive) {
        if (stack_.empty())
            fault::SyntaxText(origin_.File, where, "`" + directive + " without `ifdef");
        return stack_.back();
    }

    std::string NameIn(const std::string& rest, Location where, const std::string& directive) {
        const std::string name = Trim(rest);
        if (name.empty() || !IsNameChar(name[0]))
            fault::Syntax(origin_.File, where, "a macro name", "`" + directive);
        std::size_t end = 0;
        while (end < name.size() && IsNameChar(name[end]))
            ++end;
        return name.substr(0, end);
    }

    void Define(const std::string& rest, Location where, int lineIndex) {
        std::size_t at = 0;
        while (at < rest.size() && (rest[at] == ' ' || rest[at] == '\t'))
            ++at;
        std::size_t end = at;
        while (end < rest.size() && IsNameChar(rest[end]))
            ++end;
        if (end == at) fault::Syntax(origin_.File, where, "a macro name", "`define");
        const std::string name = rest.substr(at, end - at);
        const bool parameters = end < rest.size() && rest[end] == '(';
        macros_.Define(name, Trim(rest.substr(end)), origin_.File, origin_.AsfLine + lineIndex,
                       parameters);
    }

    void Include(const std::string& rest, Location where) {
        const std::string spec = Trim(rest);
        if (spec.size() < 2 || spec.front() != '"' || spec.find('"', 1) == std::string::npos)
            fault::Syntax(origin_.File, where, "a file name in quotes", "`include");
        const std::string name = spec.substr(1, spec.find('"', 1) - 1);
        if (depth_ >= kMaxIncludeDepth)
            fault::Unsupported(origin_.File, where,
                               "include files nested deeper than 50 levels (\"" + name + "\")");
        namespace fs = std::filesystem;
        std::vector<fs::path> candidates;
        std::error_code ignored;
        if (fs::path(name).is_absolute()) {
            candidates.emplace_back(name);
        } else {
            if (!origin_.File.empty())
                candidates.push_back(fs::path(origin_.File).parent_path() / name);
            for (const auto& dir : includeDirs_)
                candidates.push_back(fs::path(dir) / name);
        }
        for (const auto& candidate : candidates) {
            if (!fs::is_regular_file(candidate, ignored)) continue;
            bool ok = false;
            const std::string content = ReadWholeFile(candidate, ok);
            if (!ok) continue;
            TextOrigin inner{candidate.string(), 1, 1};
            DirectiveScanner(inner, includeDirs_, macros_, depth_ + 1).Run(content);
            return;
        }
        fault::IncludeNotFound(origin_.File, where, name);
    }

    const TextOrigin& origin_;
    const std::vector<std::string>& includeDirs_;
    MacroTable& macros_;
    int depth_;
    std::vector<Branch> stack_;
    std::vector<Location> openedAt_;
};

} // namespace

void ScanDirectives(std::string_view text, const TextOrigin& origin,
                    const std::vector<std::string>& includeDirs, MacroTable& macros) {
    DirectiveScanner(origin, includeDirs, macros, 0).Run(text);
}

void ReadIncludeFile(const std::string& path, const std::vector<std::string>& includeDirs,
                     MacroTable& macros) {
    bool ok = false;
    const std::string content = ReadWholeFile(path, ok);
    if (!ok) fault::IncludeNotFound(path, {0, 0}, path);
    DirectiveScanner(TextOrigin{path, 1, 1}, includeDirs, macros, 1).Run(content);
}

} // namespace kestrom::hdl
