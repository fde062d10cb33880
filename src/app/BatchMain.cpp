#include "app/BatchTool.h"
#include "app/ProgramDirectory.h"

int main(int argc, char* argv[]) {
    return kestrom::RunBatchTool(argc, argv, kestrom::ProgramDirectory());
}
