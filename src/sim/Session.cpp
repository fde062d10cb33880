#include "sim/Session.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <sstream>
#include <vector>

#include "sim/InputValue.h"

namespace kestrom::sim {
namespace {

// A command that cannot be carried out as typed; the session goes on.
class UserError : public Error {
public:
    explicit UserError(std::string message)
        : Error(code::kSimulationError, "", 0, 0, std::move(message)) {}
};

// Digits only, and no more than 64 bits hold.
std::optional<std::uint64_t> Count(const std::string& word) {
    std::uint64_t count = 0;
    const char* end = word.data() + word.size();
    const auto [stop, failure] = std::from_chars(word.data(), end, count);
    if (word.empty() || stop != end || failure != std::errc()) return std::nullopt;
    return count;
}

class Session {
public:
    Session(Driver& driver, std::ostream& out, std::ostream& err)
        : driver_(driver), hello_(driver.Greeting()), out_(out), err_(err) {}

    // False after quit.
    bool Handle(const std::string& line) {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;)
            words.push_back(word);
        if (words.empty() || words[0][0] == '#') return true;
        try {
            return Dispatch(words);
        } catch (const UserError& error) {
            err_ << "error: " << error.what() << "\n";
            err_.flush();
            return true;
        }
    }

private:
    bool Dispatch(const std::vector<std::string>& words) {
        const std::string& verb = words[0];
        if (verb == "quit") {
            Expect(words.size() == 1, "quit takes nothing");
            return false;
        }
        if (verb == "set")
            Set(words);
        else if (verb == "step" || verb == "back")
            Send(verb + " " + std::to_string(Cycles(words, verb)));
        else if (verb == "reset")
            Reset(words);
        else if (verb == "run")
            RunUntil(words);
        else
            throw UserError("unknown command '" + verb +
                            "' (set, step, back, run until state, reset, quit)");
        return true;
    }

    static void Expect(bool holds, const std::string& message) {
        if (!holds) throw UserError(message);
    }

    static std::uint64_t Cycles(const std::vector<std::string>& words, const std::string& verb) {
        Expect(words.size() <= 2, verb + " takes at most a number of cycles");
        if (words.size() == 1) return 1;
        const std::optional<std::uint64_t> n = Count(words[1]);
        Expect(n && *n > 0, verb + " takes a number of cycles from 1, not '" + words[1] + "'");
        return *n;
    }

    void Set(const std::vector<std::string>& words) {
        Expect(words.size() == 3, "set takes an input port and a value: set PORT VALUE");
        const CheckedInput checked = CheckInputValue(hello_, words[1], words[2]);
        Expect(checked.Refusal.empty(), checked.Refusal);
        Send("set " + words[1] + " " + checked.Word);
    }

    void Reset(const std::vector<std::string>& words) {
        Expect(words.size() == 1, "reset takes nothing");
        Expect(hello_.HasReset, "the module has no reset that can be asserted");
        Send("reset");
    }

    void RunUntil(const std::vector<std::string>& words) {
        const bool shape = (words.size() == 4 || words.size() == 6) && words[1] == "until" &&
                           words[2] == "state" && (words.size() == 4 || words[4] == "limit");
        Expect(shape, "run takes: run until state NAME [limit N]");
        const std::string& state = words[3];
        Expect(std::find(hello_.States.begin(), hello_.States.end(), state) != hello_.States.end(),
               "no state " + state);
        std::uint64_t limit = kDefaultRunLimit;
        if (words.size() == 6) {
            const std::optional<std::uint64_t> n = Count(words[5]);
            Expect(n && *n > 0, "limit takes a number of cycles from 1, not '" + words[5] + "'");
            limit = *n;
        }
        const Reply reply =
            Send("run limit " + std::to_string(limit) + " state " + EscapeWord(state));
        if (reply.Ok && reply.Detail == "limit")
            err_ << "note: state " << state << " not reached in " << limit << " cycles\n";
    }

    Reply Send(const std::string& command) {
        const Reply reply = driver_.Command(command, [this](const CycleReport& cycle) {
            out_ << "cycle " << cycle.Cycle << " state " << cycle.State;
            for (const auto& [name, value] : cycle.Values)
                out_ << ' ' << name << '=' << value;
            out_ << '\n';
        });
        out_.flush();
        if (!reply.Ok) throw UserError(reply.Detail);
        return reply;
    }

    Driver& driver_;
    const Hello& hello_;
    std::ostream& out_;
    std::ostream& err_;
};

} // namespace

int RunSession(Driver& driver, std::istream& in, std::ostream& out, std::ostream& err) {
    Session session(driver, out, err);
    try {
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!session.Handle(line)) break;
        }
        driver.Quit();
        return 0;
    } catch (const DriverError& error) {
        err << "error: " << error.what() << "\n";
        return 1;
    }
}

} // namespace kestrom::sim
