#include "app/Simulation.h"

#include <iostream>

#include "app/BatchTool.h"
#include "sim/Build.h"
#include "sim/Session.h"

namespace kestrom {

int RunSimulation(const sim::SimDesign& design, std::FILE* err) {
    sim::BuiltDriver built;
    try {
        built = sim::BuildDriver(design, sim::BuildSettings{});
    } catch (const sim::BuildError& error) {
        std::fprintf(err, "kestrom-gen: error: %s\n%s", error.what(), error.Output.c_str());
        return kExitNotGenerated;
    }
    try {
        sim::Driver driver(built.Program);
        return sim::RunSession(driver, std::cin, std::cout, std::cerr);
    } catch (const sim::DriverError& error) {
        std::fprintf(err, "kestrom-gen: error: the simulation of %s: %s\n", built.Program.c_str(),
                     error.what());
        return kExitNotGenerated;
    }
}

} // namespace kestrom
