#include "conversion/AsfReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <vector>

#include "conversion/AsfNumber.h"
#include "conversion/TextCodec.h"

namespace kestrom {
namespace {

constexpr std::string_view kVersionLine = "VERSION=1.19";

// Lines end at CR LF, a lone CR or a lone LF; the terminator is dropped.
class LineSource {
public:
    explicit LineSource(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = std::min(NextAfter(pos_, '\r', nextCr_), NextAfter(pos_, '\n', nextLf_));
        line = text_.substr(pos_, end - pos_);
        if (end < text_.size()) {
            const bool cr = text_[end++] == '\r';
            if (cr && end < text_.size() && text_[end] == '\n') ++end;
        }
        pos_ = end;
        ++number_;
        return true;
    }

    int Number() const { return number_; }

private:
    // The next c at or after pos, or the text's end; found again only once
    // passed, so a file without any CR is still scanned once.
    std::size_t NextAfter(std::size_t pos, char c, std::size_t& cached) {
        if (cached < pos || cached == kUnknown) {
            cached = text_.find(c, pos);
            if (cached == std::string_view::npos) cached = text_.size();
        }
        return cached;
    }

    static constexpr std::size_t kUnknown = std::string_view::npos;
    std::size_t nextCr_ = kUnknown;
    std::size_t nextLf_ = kUnknown;
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

// Fills tokens, whose storage is kept from line to line.
void SplitAtBlanks(std::string_view line, std::vector<std::string_view>& tokens) {
    tokens.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = line.find(' ', start);
        if (blank == std::string_view::npos) break;
        tokens.push_back(line.substr(start, blank - start));
        start = blank + 1;
    }
    tokens.push_back(line.substr(start));
}

// A quoted text is closed when it is at least two characters long and ends in
// a quote that no backslash escapes.
bool IsClosedQuote(std::string_view text) {
    if (text.size() < 2 || text.back() != '"') return false;
    std::size_t backslashes = 0;
    for (std::size_t i = text.size() - 1; i > 0 && text[i - 1] == '\\'; --i)
        ++backslashes;
    return backslashes % 2 == 0;
}

std::string Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return std::string(s);
}

void ClearForRead(FsmModel& model) {
    FsmModel fresh;
    fresh.AsfPath = std::move(model.AsfPath);
    fresh.CppPath = std::move(model.CppPath);
    fresh.ProcessKind = model.ProcessKind;
    model = std::move(fresh);
    model.ModuleName = "MyModule";
}

class AsfReader {
public:
    AsfReader(std::string_view text, FsmModel& model) : lines_(text), model_(model) {}

    void Read() {
        ClearForRead(model_);
        ReadHeader();
        ReadObjects();
        Link();
    }

private:
    [[noreturn]] void Fail(const std::string& message) const {
        throw AsfError(lines_.Number(), message);
    }

    std::string_view NextLine(const char* whatEnds) {
        std::string_view line;
        if (!lines_.Next(line)) Fail(std::string("file ends before the ") + whatEnds + " line");
        return line;
    }

    void ReadHeader() {
        for (;;) {
            const std::string_view line = NextLine("OBJECTS");
            if (line == "OBJECTS") return;
            if (line.substr(0, 6) == "ENTITY") ReadEntity(line);
        }
    }

    // ENTITY="Name": the text from the ninth character on, trimmed, less its
    // last character (the closing quote).
    void ReadEntity(std::string_view line) {
        const std::string name = Trim(line.size() > 8 ? line.substr(8) : std::string_view());
        if (name.empty()) Fail("ENTITY line has no module name");
        model_.ModuleName = name.substr(0, name.size() - 1);
        model_.ModuleLine = lines_.Number();
    }

    void ReadObjects() {
        for (;;) {
            const std::string_view line = NextLine("END");
            if (line.empty()) Fail("empty line among the objects");
            SplitAtBlanks(line, tokens_);
            const std::string_view kind = tokens_[0];
            if (kind == "END") return;
            if (kind == "S")
                ReadState();
            else if (kind == "L")
                ReadLabel();
            else if (kind == "A")
                ReadText(model_.ActionTable, model_.ActionCount, "actions");
            else if (kind == "W")
                ReadTransition();
            else if (kind == "C")
                ReadText(model_.ConditionTable, model_.ConditionCount, "conditions");
            else if (kind == "I")
                ReadPort();
        }
    }

    std::string_view Token(std::size_t index) const {
        if (index >= tokens_.size())
            Fail(std::string(tokens_[0]) + " line has " + std::to_string(tokens_.size()) +
                 " tokens, needs " + std::to_string(index + 1));
        return tokens_[index];
    }

    // A token quoted in a message; a huge one would bury the message itself.
    static std::string Abridged(std::string_view token) {
        constexpr std::size_t kShown = 40;
        if (token.size() <= kShown) return std::string(token);
        return std::string(token.substr(0, kShown)) + "... (" + std::to_string(token.size()) +
               " characters)";
    }

    std::int32_t NumberIn(std::size_t index, std::int32_t min, std::int32_t max,
                          const char* target) const {
        const std::string_view token = Token(index);
        const auto value = RoundToRange(LeadingNumber(token), min, max);
        if (!value) Fail("number " + Abridged(token) + " does not fit " + target);
        return *value;
    }

    Integer IntegerNumber(std::size_t index) const {
        return static_cast<Integer>(NumberIn(index, std::numeric_limits<Integer>::min(),
                                             std::numeric_limits<Integer>::max(),
                                             "a 16-bit integer"));
    }

    std::int32_t LongNumber(std::size_t index) const {
        return NumberIn(index, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max(), "a 32-bit integer");
    }

    // A text the editor wrote with blanks in it spans several tokens, up to the
    // one that closes the quote; since tokens were split at single blanks, the
    // rejoined text is simply the line from the first to the last of them.
    std::string_view QuotedText(std::size_t index) const {
        const std::string_view first = Token(index);
        std::size_t last = index;
        if (!first.empty() && first.front() == '"')
            while (!IsClosedQuote(TokenSpan(index, last)) && last + 1 < tokens_.size())
                ++last;
        const std::string_view text = TokenSpan(index, last);
        if (text.size() < 2)
            Fail("quoted text '" + std::string(text) + "' has fewer than 2 characters");
        return text.substr(1, text.size() - 2);
    }

    std::string_view TokenSpan(std::size_t first, std::size_t last) const {
        const char* begin = tokens_[first].data();
        return std::string_view(begin, tokens_[last].data() + tokens_[last].size() - begin);
    }

    template <typename Rec, std::size_t Slots>
    Rec& NewRow(std::array<Rec, Slots>& table, Integer& count, const char* kinds) {
        if (count == kMaxObjects) Fail("more than " + std::to_string(kMaxObjects) + " " + kinds);
        Rec& row = table[++count];
        row.Line = lines_.Number();
        return row;
    }

    void ReadState() {
        StateRec& state = NewRow(model_.StateTable, model_.StateCount, "states");
        state.Id = IntegerNumber(1);
        switch (LongNumber(3) % 4) {
        case 1:
            state.IsDefault = kTrue;
            model_.DefaultStateIndex = model_.StateCount;
            break;
        case 2:
            state.IsTrap = kTrue;
            model_.TrapStateIndex = model_.StateCount;
            break;
        default: // 0 is a plain state; 3 and negative kinds set nothing
            break;
        }
    }

    // Label kinds carry one leading character of their own: "State" labels
    // name states, "Labels" labels name ports (and may be followed by more).
    void ReadLabel() {
        const std::string_view kind = Token(5);
        if (kind.size() >= 1 && kind.substr(1) == "State") AddLabel(12);
        if (kind.size() >= 7 && kind.substr(1, 6) == "Labels") AddLabel(11);
    }

    void AddLabel(std::size_t textToken) {
        LabelRec& label = NewRow(model_.LabelTable, model_.LabelCount, "labels");
        label.Id = IntegerNumber(1);
        label.OwnerId = IntegerNumber(2);
        label.Text = QuotedText(textToken);
    }

    template <typename Table> void ReadText(Table& table, Integer& count, const char* kinds) {
        TextRec& row = NewRow(table, count, kinds);
        row.Id = IntegerNumber(1);
        row.OwnerId = IntegerNumber(2);
        row.Text = QuotedText(11);
    }

    void ReadTransition() {
        TransitionRec& transition =
            NewRow(model_.TransitionTable, model_.TransitionCount, "transitions");
        transition.Id = IntegerNumber(1);
        transition.Priority = static_cast<Integer>(LongNumber(3) % 4096);
        transition.SourceId = IntegerNumber(4);
        transition.TargetId = IntegerNumber(5);
    }

    void ReadPort() {
        const std::string_view kind = Token(5);
        if (kind == "Reset") resetPortId_ = IntegerNumber(1);
        if (kind != "InPort" && kind != "OutPort") return;
        PortRec& port = NewRow(model_.PortTable, model_.PortCount, "ports");
        port.Id = IntegerNumber(1);
        port.IsInput = kind == "InPort" ? kTrue : kFalse;
        port.IsOutput = kind == "OutPort" ? kTrue : kFalse;
        port.IsClock = LongNumber(3) % 2 == 1 ? kTrue : kFalse;
    }

    // Every lookup scans from row 1 up and keeps the last match.
    void Link() {
        Integer resetTargetId = 0;
        for (int t = 1; t <= model_.TransitionCount; ++t)
            if (model_.TransitionTable[t].SourceId == resetPortId_)
                resetTargetId = model_.TransitionTable[t].TargetId;
        for (int s = 1; s <= model_.StateCount; ++s)
            if (model_.StateTable[s].Id == resetTargetId)
                model_.InitStateIndex = static_cast<Integer>(s);
        for (int s = 1; s <= model_.StateCount; ++s)
            if (const LabelRec* label = LastLabelOf(model_.StateTable[s].Id))
                model_.StateTable[s].Name = DecodeName(label->Text);
        for (int p = 1; p <= model_.PortCount; ++p)
            if (const LabelRec* label = LastLabelOf(model_.PortTable[p].Id))
                model_.PortTable[p].Name = StripBusRange(DecodeName(label->Text));
        for (int p = 1; p <= model_.PortCount; ++p)
            if (model_.PortTable[p].IsClock) model_.ClockName = model_.PortTable[p].Name;
    }

    const LabelRec* LastLabelOf(Integer ownerId) const {
        const LabelRec* found = nullptr;
        for (int l = 1; l <= model_.LabelCount; ++l)
            if (model_.LabelTable[l].OwnerId == ownerId) found = &model_.LabelTable[l];
        return found;
    }

    LineSource lines_;
    FsmModel& model_;
    std::vector<std::string_view> tokens_;
    Integer resetPortId_ = 0;
};

[[noreturn]] void FailToRead(const std::string& reason) {
    throw AsfError(0, reason);
}

std::FILE* OpenForReading(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        FailToRead("cannot read the file: it is a directory");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) FailToRead(std::string("cannot open the file: ") + std::strerror(errno));
    return file;
}

std::string ReadWholeFile(const std::string& path) {
    std::FILE* file = OpenForReading(path);
    std::string content;
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && info.st_size > 0)
        content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    const bool failed = std::ferror(file);
    const int error = errno;
    std::fclose(file);
    if (failed) FailToRead(std::string("cannot read the file: ") + std::strerror(error));
    return content;
}

} // namespace

void RequireAsfFirstLine(const std::string& path) {
    std::FILE* file = OpenForReading(path);
    std::string first;
    int c;
    while ((c = std::fgetc(file)) != EOF && c != '\r' && c != '\n' &&
           first.size() <= kVersionLine.size())
        first += static_cast<char>(c);
    std::fclose(file);
    if (first != kVersionLine) throw AsfError(1, "Invalid ASF File Format");
}

bool PassesFirstLineTest(const std::string& path) {
    try {
        RequireAsfFirstLine(path);
        return true;
    } catch (const AsfError&) {
        return false;
    }
}

void ReadAsfText(std::string_view text, FsmModel& model) {
    AsfReader(text, model).Read();
}

void ReadAsfFile(const std::string& path, FsmModel& model) {
    ClearForRead(model);
    ReadAsfText(ReadWholeFile(path), model);
}

} // namespace kestrom
