#pragma once

// A file of the lowest layer that reaches up: the layer check must refuse it.
#include "core/windows/MainWindowModel.h"
