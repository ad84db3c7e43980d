// Points upward: the check must refuse it.
#include "core/document/document.h"
