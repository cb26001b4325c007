#include "core/selection.h"

ColorSelectionState ColorSelection = {"Blue", "White", "Blue", "White"};
