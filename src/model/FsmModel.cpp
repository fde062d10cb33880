#include "model/FsmModel.h"

namespace kestrom {

FsmModel& ProgramModel() {
    static FsmModel model;
    return model;
}

} // namespace kestrom
