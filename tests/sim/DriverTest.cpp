// The driver's client against doubles written as shell scripts: answers,
// errors, a driver that crashes, hangs or writes garbage, and one that is
// not there. Nothing they start is left running.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

#include "support/TestSupport.h"
#include "sim/Driver.h"

namespace kestrom::sim {
namespace {

const char* const kHelloLine =
    "hello kestrom-sim 2 module M in go:1:u out q:1:u state A state B reset no";

class DriverDouble : public ::testing::Test {
protected:
    // A driver whose reply to every command is `reply` (shell code run with
    // the command in $line).
    std::string Double(const std::string& reply, const std::string& hello = kHelloLine) {
        const std::string path = dir_.File("driver" + std::to_string(++count_) + ".sh");
        test::WriteFileBytes(path, "#!/bin/sh\necho $$ > " + dir_.File("pid") + "\necho '" + hello +
                                       "'\nwhile read line; do\n" + reply + "\ndone\n");
        chmod(path.c_str(), 0755);
        return path;
    }

    bool DoubleStillRuns() {
        const int pid = std::stoi(test::ReadFileBytes(dir_.File("pid")));
        return kill(pid, 0) == 0;
    }

    std::string ErrorOf(const std::string& program, const std::string& command, int timeoutMs) {
        try {
            Driver driver(program, timeoutMs);
            driver.Command(command);
        } catch (const DriverError& error) {
            return error.what();
        }
        return "no error";
    }

    test::TempDir dir_;
    int count_ = 0;
};

TEST_F(DriverDouble, CyclesComeBeforeTheClosingLine) {
    Driver driver(
        Double("case $line in\n"
               "  step*) echo 'cycle 0 state A taken 0 q=0'; echo 'cycle 1 state B taken 4 "
               "q=1'; echo ok ;;\n"
               "  run*) echo 'ok limit' ;;\n"
               "  *) echo 'error no input x' ;;\nesac"));
    EXPECT_EQ(driver.Greeting().States, (std::vector<std::string>{"A", "B"}));
    std::vector<CycleReport> cycles;
    const Reply stepped =
        driver.Command("step 2", [&](const CycleReport& cycle) { cycles.push_back(cycle); });
    EXPECT_TRUE(stepped.Ok);
    ASSERT_EQ(cycles.size(), 2u);
    EXPECT_EQ(cycles[1].State, "B");
    EXPECT_EQ(cycles[1].Taken, 4);
    EXPECT_EQ(driver.Command("run limit 3 state B").Detail, "limit");
    const Reply refused = driver.Command("set x 1");
    EXPECT_FALSE(refused.Ok);
    EXPECT_EQ(refused.Detail, "no input x");
    driver.Quit();
    EXPECT_FALSE(DoubleStillRuns());
}

TEST_F(DriverDouble, CrashHangAndGarbageAreErrorsAndEndTheDriver) {
    EXPECT_EQ(ErrorOf(Double("exit 3"), "step", 5000), "the driver ended (exit status 3)");
    EXPECT_EQ(ErrorOf(Double("kill -SEGV $$"), "step", 5000),
              "the driver ended (killed by signal 11)");

    EXPECT_EQ(ErrorOf(Double("exec sleep 30"), "step", 300),
              "the driver gave no answer within 300 ms; it was ended");
    EXPECT_FALSE(DoubleStillRuns());

    EXPECT_EQ(ErrorOf(Double("echo 'cycle one state A'"), "step", 5000),
              "the driver wrote 'cycle one state A', which is no answer");
    EXPECT_FALSE(DoubleStillRuns());
}

TEST_F(DriverDouble, ABadStartIsAnError) {
    EXPECT_EQ(ErrorOf(Double("echo ok", "SystemC 2.3.3 --- copyright"), "step", 5000),
              "the driver began with 'SystemC 2.3.3 --- copyright', not its hello");
    EXPECT_EQ(ErrorOf(Double("echo ok", "hello kestrom-sim 9 module M reset no"), "step", 5000),
              "the driver speaks version 9 of the protocol, not 2");
    EXPECT_EQ(ErrorOf(dir_.File("missing"), "step", 5000),
              "cannot run " + dir_.File("missing") + ": No such file or directory");
}

TEST(ChildProcessTest, MergedErrorsAndAnUnfinishedLastLine) {
    ChildProcess::Options options;
    options.MergeErrors = true;
    options.Environment = {"KESTROM_WORD=there"};
    ChildProcess child({"sh", "-c", "echo out; echo err >&2; printf \"$KESTROM_WORD\""}, options);
    std::string all, line;
    while (child.ReadLine(line, 5000) == ChildProcess::Read::Line)
        all += line + "|";
    EXPECT_EQ(all, "out|err|there|");
    EXPECT_EQ(child.Wait(), 0);
}

} // namespace
} // namespace kestrom::sim
