#include "conversion/AsfReader.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "base/TextCodec.h"
#include "conversion/AsfLines.h"
#include "conversion/AsfNumber.h"
#include "conversion/RowIndex.h"
#include "io/FileKind.h"
#include "io/InputFile.h"

namespace kestrom {
namespace {

constexpr std::string_view kVersionLine = "VERSION=1.19";

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

// In place: a fresh model is large, and texts cleared in place keep their room
// for the next read.
template <typename Rec, std::size_t Slots> void ClearRows(std::array<Rec, Slots>& table) {
    for (Rec& row : table)
        row = Rec{};
}

class AsfReader {
public:
    AsfReader(std::string_view text, FsmModel& model) : lines_(text), model_(model) {}
    AsfReader(InputStream& stream, FsmModel& model) : lines_(stream), model_(model) {}

    // Into a model cleared for the read.
    void Read() {
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
            if (line.substr(0, 9) == "LANGUAGE=") {
                model_.Language = std::string(line.substr(9));
                model_.LanguageLine = lines_.Number();
            }
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
            tokens_.Reset(line);
            tokens_.Has(0);
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
            else if (kind == "D")
                NoteUnwritten("declaration", 11);
        }
    }

    std::string_view Token(std::size_t index) {
        if (!tokens_.Has(index))
            Fail(std::string(tokens_[0]) + " line has " + std::to_string(tokens_.Count()) +
                 " tokens, needs " + std::to_string(index + 1));
        return tokens_[index];
    }

    std::int32_t NumberIn(std::size_t index, std::int32_t min, std::int32_t max,
                          const char* target) {
        const std::string_view token = Token(index);
        const auto value = RoundToRange(LeadingNumber(token), min, max);
        if (!value) Fail("number " + Abridged(token) + " does not fit " + target);
        return *value;
    }

    Integer IntegerNumber(std::size_t index) {
        return static_cast<Integer>(NumberIn(index, std::numeric_limits<Integer>::min(),
                                             std::numeric_limits<Integer>::max(),
                                             "a 16-bit integer"));
    }

    std::int32_t LongNumber(std::size_t index) {
        return NumberIn(index, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max(), "a 32-bit integer");
    }

    // A text the editor wrote with blanks in it spans several tokens, up to the
    // one that closes the quote: the first later quote that ends a token.
    std::string_view QuotedText(std::size_t index) {
        const std::string_view first = Token(index);
        std::string_view text = first;
        if (!first.empty() && first.front() == '"') text = QuotedSpan(tokens_.From(first.data()));
        if (text.size() < 2)
            Fail("quoted text '" + std::string(text) + "' has fewer than 2 characters");
        return text.substr(1, text.size() - 2);
    }

    // rest begins with a quote; without a closing one the text runs to the
    // line's end.
    static std::string_view QuotedSpan(std::string_view rest) {
        for (std::size_t quote = rest.find('"', 1); quote != std::string_view::npos;
             quote = rest.find('"', quote + 1)) {
            const bool endsToken = quote + 1 == rest.size() || rest[quote + 1] == ' ';
            if (endsToken && IsClosedQuote(rest.substr(0, quote + 1)))
                return rest.substr(0, quote + 1);
        }
        return rest;
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
        if (kind == "Constant" || kind == "Signal") {
            NoteUnwritten(kind == "Constant" ? "constant" : "signal", 0);
            Integer id = 0;
            const std::string_view token = tokens_[1];
            std::from_chars(token.data(), token.data() + token.size(), id);
            unwrittenIds_.push_back(id);
        }
        if (kind != "InPort" && kind != "OutPort") return;
        PortRec& port = NewRow(model_.PortTable, model_.PortCount, "ports");
        port.Id = IntegerNumber(1);
        port.IsInput = kind == "InPort" ? kTrue : kFalse;
        port.IsOutput = kind == "OutPort" ? kTrue : kFalse;
        port.IsClock = LongNumber(3) % 2 == 1 ? kTrue : kFalse;
    }

    // Noted, never read further: no line of theirs can fail the read. A
    // constant's or signal's text is its label's, found by Link.
    void NoteUnwritten(const char* kind, std::size_t textToken) {
        UnwrittenRec object;
        object.Line = lines_.Number();
        object.Kind = kind;
        if (textToken > 0 && tokens_.Has(textToken)) {
            const std::string_view first = tokens_[textToken];
            std::string_view text = first;
            if (!first.empty() && first.front() == '"')
                text = QuotedSpan(tokens_.From(first.data()));
            if (text.size() >= 2) object.Text = DecodeName(text.substr(1, text.size() - 2));
        }
        model_.Unwritten.push_back(std::move(object));
    }

    void NameUnwritten(const RowIndex<Integer>& labelsByOwner) {
        std::size_t next = 0;
        for (UnwrittenRec& object : model_.Unwritten) {
            if (object.Kind == "declaration") continue;
            if (const int l = labelsByOwner.Last(unwrittenIds_.at(next++)))
                object.Text = DecodeName(model_.LabelTable[l].Text);
        }
    }

    // Every lookup keeps the last match in row order.
    void Link() {
        Integer resetTargetId = 0;
        for (int t = 1; t <= model_.TransitionCount; ++t)
            if (model_.TransitionTable[t].SourceId == resetPortId_)
                resetTargetId = model_.TransitionTable[t].TargetId;
        for (int s = 1; s <= model_.StateCount; ++s)
            if (model_.StateTable[s].Id == resetTargetId)
                model_.InitStateIndex = static_cast<Integer>(s);
        const RowIndex labelsByOwner(model_.LabelTable, model_.LabelCount,
                                     [](const LabelRec& label) { return label.OwnerId; });
        for (int s = 1; s <= model_.StateCount; ++s)
            if (const int l = labelsByOwner.Last(model_.StateTable[s].Id))
                model_.StateTable[s].Name = DecodeName(model_.LabelTable[l].Text);
        for (int p = 1; p <= model_.PortCount; ++p)
            if (const int l = labelsByOwner.Last(model_.PortTable[p].Id))
                model_.PortTable[p].Name = StripBusRange(DecodeName(model_.LabelTable[l].Text));
        for (int p = 1; p <= model_.PortCount; ++p)
            if (model_.PortTable[p].IsClock) model_.ClockName = model_.PortTable[p].Name;
        NameUnwritten(labelsByOwner);
    }

    LineSource lines_;
    FsmModel& model_;
    LineTokens tokens_;
    Integer resetPortId_ = 0;
    std::vector<Integer> unwrittenIds_; // of the constants and signals, in order
};

// Reads no more than the first line needs, without blocking on a FIFO.
std::string FirstBytesOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw AsfError(0, std::string("cannot open the file: ") + std::strerror(errno));
    struct stat info {};
    std::string reason;
    if (::fstat(fd, &info) != 0)
        reason = std::string("cannot read the file: ") + std::strerror(errno);
    else if (S_ISDIR(info.st_mode))
        reason = "cannot read the file: it is a directory";
    else if (!S_ISREG(info.st_mode))
        reason = "cannot open the file: " + NotRegularReason(info.st_mode);
    char bytes[kVersionLine.size() + 2];
    std::size_t got = 0;
    while (reason.empty() && got < sizeof bytes) {
        const ssize_t now = ::read(fd, bytes + got, sizeof bytes - got);
        if (now < 0 && errno == EINTR) continue;
        if (now < 0) reason = std::string("cannot read the file: ") + std::strerror(errno);
        if (now <= 0) break;
        got += static_cast<std::size_t>(now);
    }
    ::close(fd);
    if (!reason.empty()) throw AsfError(0, reason);
    return std::string(bytes, got);
}

} // namespace

void RequireAsfFirstLineIn(std::string_view text) {
    const std::size_t end = std::min(text.find('\r'), text.find('\n'));
    if (text.substr(0, end) != kVersionLine) throw AsfError(1, "Invalid ASF File Format");
}

void RequireAsfFirstLine(const std::string& path) {
    RequireAsfFirstLineIn(FirstBytesOf(path));
}

bool PassesFirstLineTest(const std::string& path) {
    try {
        RequireAsfFirstLine(path);
        return true;
    } catch (const AsfError&) {
        return false;
    }
}

void ClearForRead(FsmModel& model) {
    ClearRows(model.StateTable);
    ClearRows(model.LabelTable);
    ClearRows(model.ActionTable);
    ClearRows(model.TransitionTable);
    ClearRows(model.ConditionTable);
    ClearRows(model.PortTable);
    ClearRows(model.BranchTable);
    model.StateCount = model.LabelCount = model.ActionCount = 0;
    model.TransitionCount = model.ConditionCount = model.PortCount = model.BranchCount = 0;
    model.InitStateIndex = model.TrapStateIndex = model.DefaultStateIndex = 0;
    model.ModuleName = "MyModule";
    model.ModuleLine = 0;
    model.Language.clear();
    model.LanguageLine = 0;
    model.Unwritten.clear();
    model.ClockName.clear();
}

void ReadAsfText(std::string_view text, FsmModel& model) {
    ClearForRead(model);
    AsfReader(text, model).Read();
}

// The model is cleared before the file is opened, so that a file that cannot
// be opened leaves no earlier file behind either.
void ReadAsfFile(const std::string& path, FsmModel& model) {
    ClearForRead(model);
    InputStream stream(path);
    AsfReader(stream, model).Read();
}

} // namespace kestrom
