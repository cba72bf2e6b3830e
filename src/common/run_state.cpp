#include "common/run_state.h"

RunState runState;
