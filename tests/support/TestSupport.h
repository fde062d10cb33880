// Everything the tests share.
#pragma once

#include "support/AsfObjects.h"
#include "support/Files.h"
#include "support/Processes.h"
