#include "drawing/Drawing.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "drawing/LineTokens.h"
#include "drawing/ObjectLine.h"
#include "io/InputFile.h"

namespace kestrom::drawing {
namespace {

constexpr int kOldestMinor = 15;
constexpr int kNewestMinor = 29;

std::string_view TrimEnd(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A line of one word of capitals opens a section that ends at "END".
bool IsSectionWord(std::string_view line) {
    if (line.empty()) return false;
    for (char c : line)
        if (!((c >= 'A' && c <= 'Z') || c == '_')) return false;
    return true;
}

// The line ends in a backslash outside any quoted text: the next line goes on.
bool Continues(std::string_view line) {
    const std::vector<Token> tokens = Tokenize(line);
    return !tokens.empty() && !tokens.back().Quoted && tokens.back().Text.back() == '\\';
}

std::string Unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return std::string(text.substr(1, text.size() - 2));
    return std::string(text);
}

class DrawingReader {
public:
    DrawingReader(std::string_view text, Drawing& drawing)
        : lines_(SplitLines(text)), drawing_(drawing) {
        if (lines_.size() > static_cast<std::size_t>(INT_MAX)) {
            lines_.resize(INT_MAX);
            Problem(0, "the file has more lines than can be counted; the rest is left out");
        }
    }

    void Read() {
        if (lines_.empty()) return Problem(0, "the file is empty");
        ReadVersion(lines_[0]);
        for (next_ = 1; next_ < lines_.size();) {
            const std::size_t index = next_++;
            const std::string_view line = TrimEnd(lines_[index]);
            if (line == "HEADER")
                ReadHeader(index);
            else if (StartsWith(line, "INSTHEADER"))
                ReadSheet(index, line);
            else if (line == "OBJECTS")
                ReadObjects(index);
            else if (line == "BUNDLES")
                ReadBundles(index);
            else if (IsSectionWord(line))
                SkipSection(index, line);
            else if (StartsWith(line, "ENTITY=") || StartsWith(line, "LANGUAGE="))
                ReadHeaderLine(index, line);
            else if (!line.empty())
                Problem(Number(index), "\"" + Shown(line) + "\" belongs to no section: skipped");
        }
        drawing_.Index();
        ReportDuplicateIds();
    }

private:
    static int Number(std::size_t index) { return static_cast<int>(index + 1); }

    void Problem(int line, std::string message) {
        drawing_.Problems.push_back({line, std::move(message), code::kDrawingProblem});
    }

    void ReadVersion(std::string_view line) {
        line = TrimEnd(line);
        constexpr std::string_view kPrefix = "VERSION=";
        if (!StartsWith(line, kPrefix)) {
            Problem(1, "the first line is no VERSION line; read as a file of version 1.19");
            return;
        }
        drawing_.Version = std::string(line.substr(kPrefix.size()));
        const std::string_view version = line.substr(kPrefix.size());
        const auto minor = StartsWith(version, "1.") && version.size() <= 4
                               ? ParseInteger(version.substr(2))
                               : std::nullopt;
        if (minor && *minor >= kOldestMinor && *minor <= kNewestMinor) {
            drawing_.MinorVersion = static_cast<int>(*minor);
            return;
        }
        Problem(1, "version \"" + Shown(version) + "\" is none of 1.15 to 1.29; read as those are");
    }

    // Calls `onLine` for each line up to the section's END; false when the
    // file ended first.
    template <typename OnLine>
    bool EachSectionLine(std::size_t start, std::string_view name, OnLine onLine) {
        for (; next_ < lines_.size(); ++next_) {
            const std::string_view line = TrimEnd(lines_[next_]);
            if (line == "END") {
                ++next_;
                return true;
            }
            onLine(next_, line);
        }
        Problem(Number(start), "the " + Shown(name) + " section has no END");
        return false;
    }

    void ReadHeader(std::size_t start) {
        EachSectionLine(start, "HEADER", [&](std::size_t index, std::string_view line) {
            ReadHeaderLine(index, line);
        });
    }

    void ReadHeaderLine(std::size_t index, std::string_view line) {
        if (StartsWith(line, "LANGUAGE=")) drawing_.Language = std::string(line.substr(9));
        if (StartsWith(line, "ENTITY=")) drawing_.Entity = Unquoted(line.substr(7));
        if (StartsWith(line, "\"LIBRARIES=")) ReadLibraries(index, line);
    }

    // The whole line is one quoted text, escaped as the texts of objects are.
    void ReadLibraries(std::size_t index, std::string_view line) {
        const std::vector<Token> tokens = Tokenize(line);
        if (tokens.empty() || !tokens[0].Quoted) return;
        const std::string text = DecodeQuoted(tokens[0]);
        drawing_.Libraries = text.substr(std::string_view("LIBRARIES=").size());
        drawing_.LibrariesLine = Number(index);
    }

    void ReadSheet(std::size_t start, std::string_view line) {
        Sheet sheet;
        sheet.Line = Number(start);
        const std::vector<Token> head = Tokenize(line);
        const auto diagram = head.size() == 2 && head[0].Text == "INSTHEADER"
                                 ? ParseInteger(head[1].Text)
                                 : std::nullopt;
        if (!diagram)
            Problem(sheet.Line, "\"" + Shown(line) + "\" names no diagram; the sheet is left out");
        EachSectionLine(start, "INSTHEADER", [&](std::size_t index, std::string_view text) {
            if (StartsWith(text, "PAGE")) ReadPage(Number(index), text, sheet);
        });
        if (!diagram) return;
        sheet.Diagram = *diagram;
        drawing_.Sheets.push_back(sheet);
    }

    void ReadPage(int line, std::string_view text, Sheet& sheet) {
        const std::vector<Token> tokens = Tokenize(text);
        const auto low = tokens.size() == 3 ? ParsePoint(tokens[1].Text) : std::nullopt;
        const auto high = tokens.size() == 3 ? ParsePoint(tokens[2].Text) : std::nullopt;
        if (low && high && low->X < high->X && low->Y < high->Y) {
            sheet.Low = *low;
            sheet.High = *high;
            return;
        }
        Problem(line, "\"" + Shown(text) + "\" is no sheet; a US letter sheet is used");
    }

    void ReadBundles(std::size_t start) {
        EachSectionLine(start, "BUNDLES", [&](std::size_t index, std::string_view line) {
            const std::vector<Token> tokens = Tokenize(line);
            if (tokens.size() < 3 || tokens[0].Text != "B" || tokens[1].Text.size() != 1 ||
                !tokens[2].Quoted) {
                Problem(Number(index), "\"" + Shown(line) + "\" is no style bundle: skipped");
                return;
            }
            Bundle bundle;
            bundle.Kind = tokens[1].Text[0];
            bundle.Name = DecodeQuoted(tokens[2]);
            bundle.Line = Number(index);
            for (std::size_t i = 3; i < tokens.size(); ++i)
                bundle.Style += (i > 3 ? " " : "") + std::string(tokens[i].Text);
            bundle.TextHeight = StyleTextHeight(bundle.Style);
            drawing_.Bundles.push_back(std::move(bundle));
        });
    }

    void SkipSection(std::size_t start, std::string_view name) {
        EachSectionLine(start, name, [](std::size_t, std::string_view) {});
    }

    void ReadObjects(std::size_t start) {
        EachSectionLine(start, "OBJECTS", [&](std::size_t index, std::string_view line) {
            if (line.empty()) return;
            std::string joined(line);
            std::size_t last = index;
            // Each physical line is tested alone: texts never span lines.
            for (std::string_view piece = line; Continues(piece); piece = TrimEnd(lines_[last])) {
                joined.back() = ' ';
                if (last + 1 >= lines_.size() || !StartsWithBlank(lines_[last + 1])) {
                    Problem(Number(index),
                            "the continuation that starts here never ends; read as far as it goes");
                    break;
                }
                joined += TrimEnd(lines_[++last]);
            }
            next_ = last;
            auto object = ReadObjectLine(joined, Number(index), drawing_.Problems);
            if (!object) return;
            object->LastLine = Number(last);
            drawing_.Objects.push_back(std::move(*object));
        });
    }

    static bool StartsWithBlank(std::string_view line) {
        return !line.empty() && (line.front() == ' ' || line.front() == '\t');
    }

    void ReportDuplicateIds() {
        for (const DrawnObject& object : drawing_.Objects) {
            const DrawnObject* first = drawing_.Find(object.Id);
            if (first != &object)
                Problem(object.Line, Describe(object) + ": the id is used before, on line " +
                                         std::to_string(first->Line) +
                                         "; this one is not looked up");
        }
    }

    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    Drawing& drawing_;
};

} // namespace

const DrawnObject* Drawing::Find(ObjectId id) const {
    const auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : &Objects[found->second];
}

void Drawing::Index() {
    byId_.clear();
    byId_.reserve(Objects.size());
    for (std::size_t i = 0; i < Objects.size(); ++i)
        byId_.emplace(Objects[i].Id, i);
    bundleByName_.clear();
    for (std::size_t i = 0; i < Bundles.size(); ++i)
        bundleByName_.emplace(Bundles[i].Name, i);
}

double StyleTextHeight(std::string_view style) {
    const std::vector<Token> tokens = Tokenize(style);
    constexpr std::size_t kHeightToken = 6;
    if (tokens.size() <= kHeightToken) return 0;
    const auto height = ParseCoordinate(tokens[kHeightToken].Text);
    return height && *height > 0 ? *height : 0;
}

const Bundle* Drawing::FindBundle(std::string_view name) const {
    const auto found = bundleByName_.find(std::string(name));
    return found == bundleByName_.end() ? nullptr : &Bundles[found->second];
}

double Drawing::TextHeightOf(const DrawnObject& object) const {
    if (const Bundle* bundle = FindBundle(object.Style)) return bundle->TextHeight;
    return StyleTextHeight(object.Style);
}

Drawing ReadDrawingText(std::string_view text) {
    Drawing drawing;
    DrawingReader(text, drawing).Read();
    return drawing;
}

Drawing ReadDrawingFile(const std::string& path) {
    const InputText input = ReadInputFile(path);
    return ReadDrawingText(input.Text());
}

} // namespace kestrom::drawing
